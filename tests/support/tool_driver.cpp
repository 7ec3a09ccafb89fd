#include "tool_driver.h"

#include <algorithm>
#include <thread>

#include "ui/main_window.h"

namespace tarvex::e2e {
namespace {

bool isIdeVariable(const std::wstring& entry) {
    return entry.size() >= 8 && _wcsnicmp(entry.c_str(), L"PB_TOOL_", 8) == 0;
}

// A Unicode environment block: the inherited variables without the IDE's,
// then the given ones, sorted as Windows expects.
std::vector<wchar_t> environmentBlock(const std::map<std::wstring, std::wstring>& variables) {
    std::vector<std::wstring> entries;
    if (wchar_t* inherited = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = inherited; *entry; entry += wcslen(entry) + 1) {
            if (!isIdeVariable(entry)) {
                entries.emplace_back(entry);
            }
        }
        ::FreeEnvironmentStringsW(inherited);
    }
    for (const auto& [name, value] : variables) {
        entries.push_back(name + L"=" + value);
    }
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    std::vector<wchar_t> block;
    for (const auto& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

struct WindowSearch {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK findProcessWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == search.process && ::IsWindowVisible(window) &&
        className(window) == search.className) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

ToolProcess::~ToolProcess() {
    if (running()) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

bool ToolProcess::start(const std::wstring& program,
                        const std::map<std::wstring, std::wstring>& variables) {
    std::vector<wchar_t> block = environmentBlock(variables);
    std::wstring commandLine = L"\"" + program + L"\"";
    const std::wstring directory = program.substr(0, program.find_last_of(L'\\') + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_UNICODE_ENVIRONMENT, block.data(), directory.c_str(), &startup,
                          &info)) {
        return false;
    }
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

HWND ToolProcess::waitForWindow(const wchar_t* windowClass, std::chrono::milliseconds timeout,
                                std::chrono::milliseconds poll) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        WindowSearch search{id_, windowClass, nullptr};
        ::EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            return search.found;
        }
        if (!running()) {
            return nullptr;
        }
        std::this_thread::sleep_for(poll);
    } while (std::chrono::steady_clock::now() < deadline);
    return nullptr;
}

HWND ToolProcess::waitForMessageBox(std::chrono::milliseconds timeout) const {
    HWND box = waitForWindow(L"#32770", timeout);
    // The box is shown before its buttons are ready for clicks.
    if (box) {
        std::this_thread::sleep_for(50ms);
    }
    return box;
}

HWND ToolProcess::waitForMainWindow(std::chrono::milliseconds timeout) const {
    return waitForWindow(kMainWindowClass, timeout);
}

std::optional<DWORD> ToolProcess::waitForExit(std::chrono::milliseconds timeout) const {
    if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) !=
        WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool ToolProcess::running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::wstring windowText(HWND window) {
    const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[256]{};
    const int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

MessageBoxView readMessageBox(HWND box) {
    MessageBoxView view{windowText(box), {}, {}};
    if (HWND text = ::GetDlgItem(box, 0xFFFF)) {
        view.text = windowText(text);
    }
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::IsWindowVisible(child) && className(child) == L"Button") {
            view.buttons.push_back(::GetDlgCtrlID(child));
        }
    }
    std::sort(view.buttons.begin(), view.buttons.end());
    return view;
}

void answer(HWND box, int button) {
    if (HWND control = ::GetDlgItem(box, button)) {
        ::PostMessageW(control, BM_CLICK, 0, 0);
    }
}

int screenDpi() {
    static const bool aware = ::SetProcessDPIAware() != FALSE;
    (void)aware;
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

int scaled(int logical) {
    return ::MulDiv(logical, screenDpi(), 96);
}

WindowDriver::WindowDriver(HWND window) : window_(window) {
    screenDpi();
}

HWND WindowDriver::control(Control id) const {
    return ::GetDlgItem(window_, static_cast<int>(id));
}

bool WindowDriver::click(Control id) const {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(control(id), BM_CLICK, 0, 0, SMTO_NORMAL,
                                 static_cast<UINT>(kPatience / 1ms), &result) != 0;
}

void WindowDriver::postClick(Control id) const {
    ::PostMessageW(control(id), BM_CLICK, 0, 0);
}

bool WindowDriver::select(Control list, int index) const {
    HWND combo = control(list);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_NORMAL,
                          static_cast<UINT>(kPatience / 1ms), &result);
    return ::SendMessageTimeoutW(window_, WM_COMMAND,
                                 MAKEWPARAM(static_cast<int>(list), CBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(combo), SMTO_NORMAL,
                                 static_cast<UINT>(kPatience / 1ms), &result) != 0;
}

int WindowDriver::state(Control id) const {
    HWND window = control(id);
    const UINT message = className(window) == L"ComboBox" ? CB_GETCURSEL : BM_GETCHECK;
    return static_cast<int>(::SendMessageW(window, message, 0, 0));
}

std::vector<std::wstring> WindowDriver::items(Control list) const {
    HWND combo = control(list);
    std::vector<std::wstring> texts;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (WPARAM index = 0; static_cast<LRESULT>(index) < count; ++index) {
        const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
        std::wstring item(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const auto copied =
            ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
        item.resize(static_cast<std::size_t>(std::max<LRESULT>(copied, 0)));
        texts.push_back(item);
    }
    return texts;
}

RECT WindowDriver::rect(Control id) const {
    RECT area{};
    ::GetWindowRect(control(id), &area);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

SIZE WindowDriver::clientSize() const {
    RECT area{};
    ::GetClientRect(window_, &area);
    return {area.right, area.bottom};
}

POINT WindowDriver::position() const {
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    return {frame.left, frame.top};
}

std::wstring WindowDriver::hover(Control id, const std::wstring& expected,
                                 std::chrono::milliseconds patience) const {
    HWND target = control(id);
    RECT area{};
    ::GetClientRect(target, &area);
    return pointAt(target, {area.right / 2, area.bottom / 2}, expected, patience);
}

std::wstring WindowDriver::hoverAt(POINT client, const std::wstring& expected,
                                   std::chrono::milliseconds patience) const {
    return pointAt(window_, client, expected, patience);
}

std::wstring WindowDriver::pointAt(HWND target, POINT client, const std::wstring& expected,
                                   std::chrono::milliseconds patience) const {
    POINT onScreen = client;
    ::ClientToScreen(target, &onScreen);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    std::wstring shown;
    do {
        // Under Wine the X server's echo of an earlier pointer warp can put
        // the pointer back after the move was posted; the window then sees
        // no change. Moving again is harmless, as an unchanged control
        // leaves txtStatus alone.
        ::SetCursorPos(onScreen.x, onScreen.y);
        ::PostMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
        const auto round = std::min(deadline, std::chrono::steady_clock::now() + 250ms);
        while ((shown = text(Control::txtStatus)) != expected &&
               std::chrono::steady_clock::now() < round) {
            std::this_thread::sleep_for(10ms);
        }
    } while (shown != expected && std::chrono::steady_clock::now() < deadline);
    return shown;
}

bool saveWindowPicture(HWND window, const std::wstring& path) {
    RECT frame{};
    if (!::GetWindowRect(window, &frame)) {
        return false;
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const bool copied =
        ::BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY) != FALSE;
    ::GdiFlush();
    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{
        0x4D42,
        static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes), 0, 0,
        sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::string file(reinterpret_cast<const char*>(&header), sizeof(header));
    file.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(BITMAPINFOHEADER));
    file.append(static_cast<const char*>(bits), imageBytes);
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!copied) {
        return false;
    }
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        ::WriteFile(out, file.data(), static_cast<DWORD>(file.size()), &written, nullptr) &&
        written == file.size();
    ::CloseHandle(out);
    return ok;
}

} // namespace tarvex::e2e
