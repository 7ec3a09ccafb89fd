// What the user sees of the tool beyond its controls' state: the clipboard's
// text and the pixels the screen shows of a window.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tarvex::e2e {

// The clipboard's Unicode text up to its terminating zero; nothing when it
// holds none or stays held by another program for a second.
inline std::optional<std::wstring> clipboardText() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (!::OpenClipboard(nullptr)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::optional<std::wstring> text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text.emplace(chars, ::wcsnlen(chars, ::GlobalSize(data) / sizeof(wchar_t)));
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// A copy of what the screen shows of a window's client area.
struct ScreenPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0x00RRGGBB, rows top to bottom

    std::uint32_t at(int x, int y) const {
        return 0xFFFFFFu & pixels.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                     static_cast<std::size_t>(x));
    }
};

inline ScreenPicture captureClient(HWND window) {
    ScreenPicture picture;
    RECT client{};
    POINT origin{0, 0};
    if (!::GetClientRect(window, &client) || !::ClientToScreen(window, &origin)) {
        return picture;
    }
    picture.width = client.right;
    picture.height = client.bottom;
    picture.pixels.resize(static_cast<std::size_t>(picture.width) *
                          static_cast<std::size_t>(picture.height));
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, picture.width, picture.height);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, picture.width, picture.height, screen, origin.x, origin.y, SRCCOPY);
    ::SelectObject(memory, previous);
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(picture.height), picture.pixels.data(), &info,
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return picture;
}

} // namespace tarvex::e2e
