// wndMain with the keyboard alone: where the focus starts and where it comes
// back to, Tab and Shift+Tab in reading order, and Enter and Esc, which the
// dialog manager reports with the identifiers of btnMD and btnMT.
#pragma once

#include <windows.h>

namespace tarvex {

class Keyboard {
public:
    void attach(HWND window) { window_ = window; }

    // Tab and Shift+Tab: the focus moves to the next enabled, visible control
    // in reading order, which is returned. Null for every other message.
    HWND moveOnTab(const MSG& message) const;
    // The dialog manager's share: Space presses the focused button, the
    // arrows move in the lists, Enter and Esc come back to takeDialogKey.
    // False for a message the window should translate and dispatch itself.
    bool passToDialogManager(MSG& message);
    // For each command wndMain gets: true when it was Enter or Esc, which
    // have then been handled.
    bool takeDialogKey(WORD command);
    // Keeps the focused control while the window is inactive and gives the
    // focus back to it (at first to the start control) when it is active.
    void activated(bool active);

private:
    HWND startControl() const;
    HWND nextInTabOrder(HWND from, bool backwards) const;
    void focus(HWND control) const;
    void pressFocusedButton() const;

    HWND window_ = nullptr;
    HWND savedFocus_ = nullptr;
    bool inKeyDown_ = false;
};

} // namespace tarvex
