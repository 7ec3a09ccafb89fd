// The clipboard's text and the colours the screen shows.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>

namespace tarvex::e2e {

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
