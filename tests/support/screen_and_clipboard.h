// The clipboard's text and the pixels the screen shows of a window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

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

// A window's client area as the screen shows it: 0x??RRGGBB, rows top down.
inline std::vector<std::uint32_t> screenPixels(HWND window, SIZE& size) {
    RECT client{};
    POINT origin{0, 0};
    ::GetClientRect(window, &client);
    ::ClientToScreen(window, &origin);
    size = {client.right, client.bottom};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.cx * size.cy));
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, size.cx, size.cy, screen, origin.x, origin.y, SRCCOPY);
    ::SelectObject(memory, previous);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &info,
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

} // namespace tarvex::e2e
