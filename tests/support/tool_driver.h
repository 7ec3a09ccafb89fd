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

// Saves what the screen shows of a window as a 24-bit BMP file.
bool saveWindowPicture(HWND window, const std::wstring& path);

} // namespace tarvex::e2e
