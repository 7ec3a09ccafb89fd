// Starts the real Tarvex.exe as the PB IDE would and drives it from outside:
// finds its message boxes and window, reads and answers them, waits for the
// exit code.
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/control_view.h"
#include "platform/win32/unique_handle.h"

namespace tarvex::e2e {

using namespace std::chrono_literals;

inline constexpr auto kPatience = 15s;

struct MessageBoxView {
    std::wstring title;
    std::wstring text;
    std::vector<int> buttons; // identifiers of the visible buttons
};

class ToolProcess {
public:
    ToolProcess() = default;
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;
    // Ends a process that is still running, so no test leaves one behind.
    ~ToolProcess();

    // Starts the program with the caller's environment, less any PB_TOOL_
    // variable, plus the given variables.
    bool start(const std::wstring& program, const std::map<std::wstring, std::wstring>& variables);

    // The next visible message box of the process, or null after the timeout
    // or when the process ended first.
    HWND waitForMessageBox(std::chrono::milliseconds timeout = kPatience) const;
    // The visible main window of the process, or null.
    HWND waitForMainWindow(std::chrono::milliseconds timeout = kPatience) const;
    // A visible top-level window of the given class, looked for every poll.
    HWND waitForWindow(const wchar_t* windowClass, std::chrono::milliseconds timeout,
                       std::chrono::milliseconds poll = 20ms) const;
    std::optional<DWORD> waitForExit(std::chrono::milliseconds timeout = kPatience) const;
    bool running() const;
    DWORD id() const { return id_; }

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

MessageBoxView readMessageBox(HWND box);
// Clicks a button of a message box without waiting for the box to go.
void answer(HWND box, int button);
std::wstring windowText(HWND window);
std::wstring className(HWND window);

// The screen's dots per inch. Makes the process DPI aware first, as Windows
// reports unscaled coordinates of an aware window only to aware callers.
int screenDpi();
// A logical 96-dpi length in the screen's pixels.
int scaled(int logical);

// Works the main window's controls by identifier. Clicks and list choices are
// sent, so they return once the window has handled them.
class WindowDriver {
public:
    // Makes the process DPI aware, so every size read is in the screen's pixels.
    explicit WindowDriver(HWND window = nullptr);
    HWND handle() const { return window_; }
    HWND control(Control id) const;

    bool click(Control id) const;
    // For a click that opens a message box, which would block a sent one.
    void postClick(Control id) const;
    // Selects an item and notifies the window as a user's choice does.
    bool select(Control list, int index) const;

    // Check state of a button, selected index of a list.
    int state(Control id) const;
    std::wstring text(Control id) const { return windowText(control(id)); }
    bool enabled(Control id) const { return ::IsWindowEnabled(control(id)); }
    bool visible(Control id) const { return ::IsWindowVisible(control(id)); }
    LONG style(Control id) const { return ::GetWindowLongW(control(id), GWL_STYLE); }
    std::vector<std::wstring> items(Control list) const;
    // In the main window's client coordinates.
    RECT rect(Control id) const;
    SIZE clientSize() const;
    POINT position() const;

    // Moves the pointer to the middle of a control (or to a client point) and
    // tells the window, then waits until txtStatus shows expected or patience
    // runs out. Returns what txtStatus shows at the end.
    std::wstring hover(Control id, const std::wstring& expected,
                       std::chrono::milliseconds patience = 5s) const;
    std::wstring hoverAt(POINT client, const std::wstring& expected,
                         std::chrono::milliseconds patience = 5s) const;

private:
    std::wstring pointAt(HWND target, POINT client, const std::wstring& expected,
                         std::chrono::milliseconds patience) const;

    HWND window_;
};

// Saves what the screen shows of a window as a 24-bit BMP file.
bool saveWindowPicture(HWND window, const std::wstring& path);

} // namespace tarvex::e2e
