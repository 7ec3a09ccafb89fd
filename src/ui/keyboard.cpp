#include "ui/keyboard.h"

#include "ui/control_table.h"

namespace tarvex {
namespace {

bool takesFocus(HWND control) {
    return control && ::IsWindowVisible(control) && ::IsWindowEnabled(control);
}

bool pressed(HWND toggle) {
    return ::SendMessageW(toggle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Push buttons and the push-like toggles: what Enter presses. A check box
// keeps Enter from changing it, as in a dialog.
bool looksLikeButton(HWND control) {
    const LRESULT code = ::SendMessageW(control, WM_GETDLGCODE, 0, 0);
    return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 ||
           ((code & DLGC_BUTTON) && (::GetWindowLongPtrW(control, GWL_STYLE) & BS_PUSHLIKE));
}

// A control that handles the key itself, as a dialog lets it.
bool wantsKey(const MSG& message) {
    const LRESULT code = ::SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                        reinterpret_cast<LPARAM>(&message));
    return (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0;
}

} // namespace

// The dialog manager would follow the sibling order, in which each small
// corner button lies before the toggle it covers.
HWND Keyboard::moveOnTab(const MSG& message) const {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB ||
        (message.hwnd != window_ && !::IsChild(window_, message.hwnd)) ||
        ::GetKeyState(VK_CONTROL) < 0 || wantsKey(message)) {
        return nullptr;
    }
    HWND next = nextInTabOrder(::GetFocus(), ::GetKeyState(VK_SHIFT) < 0);
    if (next) {
        focus(next);
        ::SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    }
    return next;
}

// The dialog manager sends Enter and Esc as WM_COMMAND with IDOK and
// IDCANCEL, the identifiers of btnMD and btnMT, from inside IsDialogMessageW.
// No button clicks while a key goes down (Space clicks when it comes up), so
// such a command during a key-down is the key's.
bool Keyboard::passToDialogManager(MSG& message) {
    inKeyDown_ = message.message == WM_KEYDOWN;
    const bool taken = ::IsDialogMessageW(window_, &message) != FALSE;
    inKeyDown_ = false;
    return taken;
}

bool Keyboard::takeDialogKey(WORD command) {
    if (!inKeyDown_ || (command != IDOK && command != IDCANCEL)) {
        return false;
    }
    inKeyDown_ = false; // the button Enter presses sends a real click
    if (command == IDCANCEL) {
        ::SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        pressFocusedButton();
    }
    return true;
}

// A window that is no dialog gets the focus itself on activation (from
// DefWindowProc), where no key reaches a control.
void Keyboard::activated(bool active) {
    if (!active) {
        HWND focused = ::GetFocus();
        savedFocus_ = ::IsChild(window_, focused) ? focused : nullptr;
        return;
    }
    focus(takesFocus(savedFocus_) ? savedFocus_ : startControl());
}

HWND Keyboard::startControl() const {
    for (Control toggle : {Control::btnMD, Control::btnMT, Control::btnPB}) {
        HWND control = ::GetDlgItem(window_, static_cast<int>(toggle));
        if (takesFocus(control) && pressed(control)) {
            return control;
        }
    }
    return nextInTabOrder(nullptr, false);
}

// From a window that is no control in the order (wndMain itself), the first
// control is next, or the last one going back.
HWND Keyboard::nextInTabOrder(HWND from, bool backwards) const {
    const std::size_t count = kTabOrder.size();
    std::size_t at = backwards ? 0 : count - 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (::GetDlgItem(window_, static_cast<int>(kTabOrder[i])) == from) {
            at = i;
        }
    }
    for (std::size_t step = 1; step <= count; ++step) {
        const std::size_t index = (at + (backwards ? count - step : step)) % count;
        HWND control = ::GetDlgItem(window_, static_cast<int>(kTabOrder[index]));
        if (takesFocus(control)) {
            return control;
        }
    }
    return nullptr;
}

// As a dialog does, an edit field that gets the focus has its text selected.
void Keyboard::focus(HWND control) const {
    if (!control) {
        return;
    }
    if (::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        ::SendMessageW(control, EM_SETSEL, 0, -1);
    }
    ::SetFocus(control);
}

void Keyboard::pressFocusedButton() const {
    HWND focused = ::GetFocus();
    if (::IsChild(window_, focused) && looksLikeButton(focused)) {
        ::SendMessageW(focused, BM_CLICK, 0, 0);
    }
}

} // namespace tarvex
