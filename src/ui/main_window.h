// wndMain, the tool's one window. Its controls are added by the control table
// of the window; until then it is an empty frame with the event loop.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace tarvex {

inline constexpr const wchar_t* kMainWindowClass = L"TarvexMainWindow";

class MainWindow {
public:
    // Creates the window invisible, owned by owner (may be null). False when
    // the window cannot be created, for example for an owner that is no
    // window.
    bool create(HINSTANCE instance, const std::wstring& title, HWND owner);
    void show();
    HWND handle() const { return window_.get(); }
    // Runs until the close request for the window arrives.
    void runEventLoop();
    void destroy() { window_.reset(); }

private:
    UniqueWindow window_;
};

} // namespace tarvex
