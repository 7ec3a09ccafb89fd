#include "ui/message_box.h"

#include <string_view>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace tarvex {
namespace {

// Windows puts the message box icon in a static control with id 20. Wine
// uses id 1088 instead; that one is used only when no id-20 child exists and
// it is the icon static of a dialog box, so the program icon also shows
// under Wine.
constexpr int kMessageBoxIconId = 20;
constexpr int kWineMessageBoxIconId = 1088;

HWND iconStaticOf(HWND box) {
    if (HWND icon = ::GetDlgItem(box, kMessageBoxIconId)) {
        return icon;
    }
    wchar_t className[8]{};
    ::GetClassNameW(box, className, 8);
    HWND wineIcon = ::GetDlgItem(box, kWineMessageBoxIconId);
    if (wineIcon && std::wstring_view(className) == L"#32770" &&
        (::GetWindowLongW(wineIcon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        return wineIcon;
    }
    return nullptr;
}

LRESULT CALLBACK replaceBoxIcon(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        if (HWND icon = iconStaticOf(reinterpret_cast<HWND>(wParam))) {
            ::SendMessageW(icon, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(programIcon()));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The windows whose state a box changed, so that exactly those are restored.
struct ModalState {
    std::vector<HWND> disabled;
    std::vector<HWND> topmost;
};

BOOL CALLBACK collectThreadWindow(HWND window, LPARAM param) {
    auto& state = *reinterpret_cast<ModalState*>(param);
    if (::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId() ||
        !::IsWindowVisible(window)) {
        return TRUE;
    }
    if (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) {
        state.topmost.push_back(window);
    }
    if (::IsWindowEnabled(window) && window != ::GetForegroundWindow()) {
        ::EnableWindow(window, FALSE);
        state.disabled.push_back(window);
    }
    return TRUE;
}

void setTopmost(const std::vector<HWND>& windows, HWND band) {
    for (HWND window : windows) {
        ::SetWindowPos(window, band, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

ModalState enterModal() {
    ModalState state;
    ::EnumWindows(collectThreadWindow, reinterpret_cast<LPARAM>(&state));
    setTopmost(state.topmost, HWND_NOTOPMOST);
    return state;
}

void leaveModal(const ModalState& state) {
    for (HWND window : state.disabled) {
        ::EnableWindow(window, TRUE);
    }
    setTopmost(state.topmost, HWND_TOPMOST);
}

HWND ownerForBox() {
    HWND foreground = ::GetForegroundWindow();
    DWORD process = 0;
    if (foreground) {
        ::GetWindowThreadProcessId(foreground, &process);
    }
    return process == ::GetCurrentProcessId() ? foreground : nullptr;
}

} // namespace

HICON programIcon() {
    // Icons loaded by LoadIcon are shared with the module and never destroyed.
    static const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    return icon;
}

int showMessage(const std::wstring& title, const std::wstring& text, unsigned flags) {
    UniqueHook hook(::SetWindowsHookExW(WH_CBT, replaceBoxIcon, nullptr, ::GetCurrentThreadId()));
    HWND owner = ownerForBox();
    const ModalState state = enterModal();
    const int result = ::MessageBoxW(owner, text.c_str(), title.c_str(), flags);
    leaveModal(state);
    return result;
}

} // namespace tarvex
