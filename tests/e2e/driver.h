// Drives the real Tarvex.exe as the PB IDE, the shell and a user would, on a
// sandbox installation with a stand-in Visual Studio. Every wait is bounded.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "core/control_view.h"
#include "platform/win32/unique_handle.h"
#include "test_files.h"

namespace tarvex::e2e {

using namespace std::chrono_literals;
using namespace testing;
using Clock = std::chrono::steady_clock;

inline constexpr auto kPatience = 15s;

enum class Bitness { X86, X64 };

inline std::wstring architectureName(Bitness bitness) {
    return bitness == Bitness::X86 ? L"x86" : L"x64";
}

// The content the sandbox gives a file: each one differs, so any wrong copy
// shows in the bytes.
inline std::string sandboxContent(const std::wstring& owner, const std::wstring& name) {
    return "library " + fs::path(name).string() + " of " + fs::path(owner).string() + "\r\n";
}

// Where the build puts Tarvex.exe and the stubs.
inline std::wstring buildDirectory() {
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path().wstring() + L"\\";
}

// The libraries PB links with, and the copies in the sandbox's x86 and x64 folders.
inline const wchar_t* const kActive[] = {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"};
inline const wchar_t* const kBuilt[] = {
    L"_UC_libpng.lib",  L"_UC_libjpeg.lib", L"_MD_msvcrt.lib",    L"_MT_msvcrt.lib",
    L"_MDd_msvcrt.lib", L"_MTd_msvcrt.lib", L"_MD_17_msvcrt.lib", L"_MT_16_msvcrt.lib"};

// Copies a folder's content into another; the shell's copy, as std::filesystem's
// recursive copy left the target empty on Wine's Z: drive.
inline bool copyFolder(const std::wstring& from, const std::wstring& to) {
    const std::wstring source = from + L"\\*" + L'\0', target = to + L'\0';
    SHFILEOPSTRUCTW copy{nullptr,   FO_COPY, source.c_str(), target.c_str(),
                         FOF_NO_UI, FALSE,   nullptr,        nullptr};
    return ::SHFileOperationW(&copy) == 0;
}

// A PB compiler installation with the tool installed beside it.
class Sandbox {
public:
    // In folder when one is given (it is kept), else in a temporary folder.
    // The tool is the build's, with distinct stand-in libraries, or an
    // unpacked release folder's as it stands.
    explicit Sandbox(Bitness compiler = Bitness::X64, const std::wstring& folder = {},
                     const std::wstring& release = {}) {
        root_ = (folder.empty() ? temp_.emplace(L"tarvex-sandbox-").path() : folder) + L"\\";
        for (const auto& directory :
             {libraryDirectory(), architectureDirectory(Bitness::X86),
              architectureDirectory(Bitness::X64), root_ + L"PB\\Compilers"}) {
            fs::create_directories(directory);
        }
        fs::copy_file(buildDirectory() + L"pe_stub_" + architectureName(compiler) + L".exe",
                      compilerPath());
        for (const wchar_t* name : kActive) {
            writeBytes(libraryDirectory() + name, sandboxContent(L"PB", name));
        }
        if (!release.empty()) {
            copyFolder(release, toolDirectory());
            return;
        }
        for (const wchar_t* name : {L"Tarvex.exe", L"TarvexC.exe", L"Tarvex.cmd"}) {
            fs::copy_file(buildDirectory() + name, toolDirectory() + name);
        }
        for (Bitness bitness : {Bitness::X86, Bitness::X64}) {
            for (const wchar_t* name : kBuilt) {
                writeBytes(architectureDirectory(bitness) + name,
                           sandboxContent(architectureName(bitness), name));
            }
        }
    }
    const std::wstring& root() const { return root_; }
    std::wstring compilerPath() const { return root_ + L"PB\\Compilers\\pbcompilerc.exe"; }
    std::wstring libraryDirectory() const {
        return root_ + L"PB\\PureLibraries\\Windows\\Libraries\\";
    }
    std::wstring toolDirectory() const { return root_ + L"Tool\\"; }
    std::wstring toolExecutable() const { return toolDirectory() + L"Tarvex.exe"; }
    std::wstring architectureDirectory(Bitness bitness) const {
        return toolDirectory() + architectureName(bitness) + L"\\";
    }
    // The IDE's variables; the build script then never waits for a key.
    std::map<std::wstring, std::wstring> ideEnvironment() const {
        return {{L"PB_TOOL_Compiler", compilerPath()},
                {L"PB_TOOL_Executable", root_ + L"Project\\Game.exe"},
                {L"TARVEX_NO_PAUSE", L"1"}};
    }

private:
    std::optional<TempDirectory> temp_;
    std::wstring root_;
};

inline std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)),
                      L' ');
    ::SendMessageW(window, WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

struct MessageBoxView {
    std::wstring title, text;
    bool operator==(const MessageBoxView&) const = default;
};

inline bool waitUntil(const std::function<bool()>& holds, std::chrono::milliseconds patience,
                      std::chrono::milliseconds poll = 20ms) {
    for (const auto deadline = Clock::now() + patience; !holds();
         std::this_thread::sleep_for(poll)) {
        if (Clock::now() > deadline) {
            return false;
        }
    }
    return true;
}

// Reads a box, clicks a button and waits till the box goes. The click is
// posted: a sent one would wait for the box.
inline MessageBoxView answerBox(HWND box, int button) {
    const MessageBoxView view{windowText(box), windowText(::GetDlgItem(box, 0xFFFF))};
    ::PostMessageW(::GetDlgItem(box, button), BM_CLICK, 0, 0);
    waitUntil([&] { return !::IsWindow(box); }, 10s);
    return view;
}

class ToolProcess {
public:
    // A process still running is ended, so no test leaves one behind.
    ~ToolProcess() {
        if (running()) {
            ::TerminateProcess(process_.get(), 99);
            ::WaitForSingleObject(process_.get(), 5000);
        }
    }
    // In the program's folder, with the variables given set for this start only.
    bool start(const std::wstring& program, const std::map<std::wstring, std::wstring>& variables) {
        for (const auto& [name, value] : variables) {
            ::SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
        }
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        const bool started =
            ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, fs::path(program).parent_path().c_str(), &startup, &info);
        for (const auto& [name, value] : variables) {
            ::SetEnvironmentVariableW(name.c_str(), nullptr);
        }
        if (started) {
            ::CloseHandle(info.hThread);
            process_.reset(info.hProcess);
        }
        return started;
    }
    // Null after the timeout or when the process ended first.
    HWND waitForWindow(const wchar_t* windowClass, std::chrono::milliseconds timeout,
                       std::chrono::milliseconds poll = 20ms) const {
        HWND w = nullptr;
        const auto shown = [&] {
            for (w = nullptr; (w = ::FindWindowExW(nullptr, w, windowClass, nullptr));) {
                DWORD process = 0;
                ::GetWindowThreadProcessId(w, &process);
                if (process == ::GetProcessId(process_.get()) && ::IsWindowVisible(w)) {
                    return true;
                }
            }
            return !running();
        };
        return waitUntil(shown, timeout, poll) ? w : nullptr;
    }
    HWND waitForMessageBox(std::chrono::milliseconds timeout = kPatience) const {
        HWND box = waitForWindow(L"#32770", timeout);
        std::this_thread::sleep_for(box ? 50ms : 0ms); // shown before its buttons take clicks
        return box;
    }
    HWND waitForMainWindow(std::chrono::milliseconds timeout = kPatience) const {
        return waitForWindow(L"TarvexMainWindow", timeout);
    }
    std::optional<DWORD> waitForExit(std::chrono::milliseconds timeout = kPatience) const {
        DWORD code = 0;
        const bool ended = !::WaitForSingleObject(process_.get(), DWORD(timeout.count())) &&
                           ::GetExitCodeProcess(process_.get(), &code);
        return ended ? std::optional(code) : std::nullopt;
    }
    bool running() const { return process_ && ::WaitForSingleObject(process_.get(), 0); }

private:
    UniqueKernelHandle process_;
};

// A logical 96-dpi length in the screen's pixels, read DPI aware: Windows
// reports the unscaled coordinates of an aware window only to aware callers.
inline int scaled(int logical) {
    static const int dpi = [] {
        ::SetProcessDPIAware();
        HDC screen = ::GetDC(nullptr);
        const int value = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        return value;
    }();
    return ::MulDiv(logical, dpi, 96);
}

// Works the main window's controls by identifier. Clicks and choices are
// sent, so they return once the window has handled them.
class WindowDriver {
public:
    // Made DPI aware before any rectangle is read.
    explicit WindowDriver(HWND window = nullptr) : window_(window) { scaled(0); }
    HWND handle() const { return window_; }
    HWND control(Control id) const { return ::GetDlgItem(window_, static_cast<int>(id)); }
    bool click(Control id) const { return send(control(id), BM_CLICK, 0, 0); }
    // For a click that opens a message box, which would block a sent one.
    void postClick(Control id) const { ::PostMessageW(control(id), BM_CLICK, 0, 0); }
    // Selects an item and notifies the window as a user's choice does.
    bool select(Control list, int index) const {
        return send(control(list), CB_SETCURSEL, static_cast<WPARAM>(index), 0) &&
               send(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(list), CBN_SELCHANGE),
                    reinterpret_cast<LPARAM>(control(list)));
    }
    // Check state of a button, selected index of a list.
    int state(Control id) const {
        const bool list = id == Control::cmbUcrtVersion || id == Control::cmbVsVersion;
        return static_cast<int>(
            ::SendMessageW(control(id), list ? CB_GETCURSEL : BM_GETCHECK, 0, 0));
    }
    std::wstring text(Control id) const { return windowText(control(id)); }
    std::vector<std::wstring> items(Control list) const {
        std::vector<std::wstring> texts;
        for (WPARAM i = 0; ::SendMessageW(control(list), CB_GETLBTEXTLEN, i, 0) > 0; ++i) {
            wchar_t item[256]{};
            ::SendMessageW(control(list), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            texts.push_back(item);
        }
        return texts;
    }
    // In the main window's client coordinates.
    RECT rect(Control id) const {
        RECT area{};
        ::GetWindowRect(control(id), &area);
        ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
        return area;
    }
    // Posted events are handled in order: once a marker posted after them has
    // arrived, they are done. Sends time out while the tool waits for a build.
    bool settle() const {
        static WPARAM marker = 4000;
        const HWND edit = control(Control::edtSdkVersion);
        ::PostMessageW(edit, EM_SETLIMITTEXT, ++marker, 0);
        const auto arrived = [&] {
            DWORD_PTR limit = 0;
            return !::IsWindow(edit) ||
                   (::SendMessageTimeoutW(edit, EM_GETLIMITTEXT, 0, 0, 0, 100, &limit) &&
                    limit == marker);
        };
        // A window that is gone (the tool ended or crashed) settles nothing.
        return waitUntil(arrived, 60s) && ::IsWindow(edit);
    }
    // Points at a control until txtStatus shows expected; returns what it shows.
    std::wstring hover(Control id, const std::wstring& expected,
                       std::chrono::milliseconds patience = 5s) const {
        const RECT area = rect(id);
        const POINT client{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        POINT screen = client;
        ::ClientToScreen(window_, &screen);
        // Under Wine the X server's echo of an earlier pointer warp can put
        // the pointer back after the move; moving again is harmless.
        const auto shown = [&] {
            if (text(Control::txtStatus) == expected) {
                return true;
            }
            ::SetCursorPos(screen.x, screen.y);
            ::PostMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
            return false;
        };
        waitUntil(shown, patience, 50ms);
        return text(Control::txtStatus);
    }

private:
    bool send(HWND target, UINT message, WPARAM wParam, LPARAM lParam) const {
        DWORD_PTR result = 0;
        return ::SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, 15000, &result);
    }

    HWND window_;
};

struct RunUntilWindow {
    std::vector<MessageBoxView> boxes;
    HWND window = nullptr;
};

// Answers the boxes with the given buttons in turn (the last one again once
// they run out), until the window shows or the process ends; seen gets each.
inline RunUntilWindow answerUntilWindow(const ToolProcess& tool, std::vector<int> buttons,
                                        const std::function<void(HWND)>& seen = {}) {
    RunUntilWindow run;
    waitUntil(
        [&] {
            if (HWND box = tool.waitForMessageBox(0ms)) {
                if (seen) {
                    seen(box);
                }
                run.boxes.push_back(
                    answerBox(box, buttons[std::min(run.boxes.size(), buttons.size() - 1)]));
            }
            return (run.window = tool.waitForMainWindow(0ms)) || !tool.running();
        },
        kPatience);
    return run;
}

// As the window's close button does.
inline std::optional<DWORD> closeWindow(const ToolProcess& tool, HWND window) {
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    return tool.waitForExit();
}

inline std::string stateFile(const std::string& record) {
    return "\xEF\xBB\xBF\r\n[Settings]\r\nlast = " + record + "\r\n";
}

inline std::string settingsFile(const std::string& autoClose) {
    return "\xEF\xBB\xBF\r\n[Settings]\r\nAutoClose = " + autoClose +
           "\r\n[VSver]\r\nVS 2022 = 17\r\nVS 2019 = 16\r\nVS 2017 = 15\r\nVS 2015 = 14\r\n";
}

// One sandbox and the tool started on it as often as a scenario needs; the
// first start answers the first-run questions with Yes.
struct ToolSession {
    explicit ToolSession(Bitness compiler = Bitness::X64, const std::wstring& release = {})
        : sandbox(compiler, {}, release) {}
    // target: the file the IDE builds, which decides btnPngJpeg.
    WindowDriver start(const std::wstring& target = L"Game.exe") {
        // A window that appears under the pointer would get a mouse move,
        // whose help text would then stand in txtStatus from the start.
        ::SetCursorPos(0, 0);
        auto environment = sandbox.ideEnvironment();
        environment[L"PB_TOOL_Executable"] = sandbox.root() + L"Project\\" + target;
        tool.emplace();
        const bool started = tool->start(sandbox.toolExecutable(), environment);
        const RunUntilWindow run = started ? answerUntilWindow(*tool, {IDYES}) : RunUntilWindow{};
        boxes = run.boxes;
        window = WindowDriver(run.window);
        if (run.window) {
            window.settle(); // once the window handles messages, it also takes drops
        }
        return window;
    }
    std::optional<DWORD> close() { return closeWindow(*tool, window.handle()); }
    std::string library(const std::wstring& name) const {
        return readBytes(sandbox.libraryDirectory() + name);
    }
    std::string settings() const { return readBytes(sandbox.toolDirectory() + L"Tarvex.ini"); }
    MessageBoxView nextBox(int button = IDOK) const {
        return answerBox(tool->waitForMessageBox(), button);
    }
    Sandbox sandbox;
    std::optional<ToolProcess> tool;
    WindowDriver window;
    std::vector<MessageBoxView> boxes; // answered before the window showed
};

// Drops once the drag has been polled a few times: Wine polls on a timer,
// so no mouse button is needed.
struct DropAfterAFewPolls final : IDropSource {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = id == IID_IUnknown || id == IID_IDropSource ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override {
        return ++polls > 3 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    int polls = 0;
};

// The build tree's stand-in Visual Studio, copied to the sandbox; its folder.
inline std::wstring addStandInVisualStudio(const Sandbox& sandbox) {
    const std::wstring tools = sandbox.root() + L"VS 2022 (x86)\\";
    return copyFolder(buildDirectory() + L"stand-in-vs", tools) ? tools : L"";
}

// Saves a read-only shortcut to cmd.exe with the given arguments.
inline bool saveShortcut(const std::wstring& path, const std::wstring& arguments) {
    ::OleInitialize(nullptr); // once per thread; a later call only counts
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    return SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_PPV_ARGS(&link))) &&
           SUCCEEDED(link->SetPath(L"C:\\windows\\system32\\cmd.exe")) &&
           SUCCEEDED(link->SetArguments(arguments.c_str())) && SUCCEEDED(link.As(&file)) &&
           SUCCEEDED(file->Save(path.c_str(), TRUE)) &&
           ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

// Drags files of one folder from the shell onto the window; returns the effect.
inline DWORD dragFiles(HWND target, const std::vector<std::wstring>& paths, DWORD allowedEffects) {
    ::OleInitialize(nullptr);
    std::vector<PIDLIST_ABSOLUTE> items;
    std::vector<PCUITEMID_CHILD> children;
    for (const std::wstring& path : paths) {
        items.push_back(::ILCreateFromPathW(path.c_str()));
        children.push_back(items.back() ? ::ILFindLastID(items.back()) : nullptr);
    }
    Microsoft::WRL::ComPtr<IShellFolder> folder;
    Microsoft::WRL::ComPtr<IDataObject> data;
    DWORD effect = 0xFF; // no drop effect: the drag never started
    if (std::count(children.begin(), children.end(), nullptr) == 0 &&
        SUCCEEDED(::SHBindToParent(items[0], IID_PPV_ARGS(&folder), nullptr)) &&
        SUCCEEDED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(children.size()),
                                        children.data(), IID_IDataObject, nullptr, &data))) {
        RECT frame{};
        ::GetWindowRect(target, &frame);
        ::SetCursorPos((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
        DropAfterAFewPolls source;
        ::DoDragDrop(data.Get(), &source, allowedEffects, &effect);
    }
    std::for_each(items.begin(), items.end(), ::ILFree);
    return effect;
}

// The clipboard's Unicode text up to its zero; empty when there is none.
inline std::wstring clipboardText() {
    std::wstring text;
    if (::OpenClipboard(nullptr)) {
        HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        if (const auto* chars = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr) {
            text.assign(chars, ::wcsnlen(chars, ::GlobalSize(data) / sizeof(wchar_t)));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
    }
    return text;
}

// The colour the screen shows at a client point of a window (0x00BBGGRR).
inline COLORREF screenPixel(HWND window, int x, int y) {
    POINT at{x, y};
    ::ClientToScreen(window, &at);
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, at.x, at.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

} // namespace tarvex::e2e
