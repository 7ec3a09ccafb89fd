#include "ui/image_button.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <cstring>

namespace tarvex {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// The face clips the picture this far inside the button's edge: the classic
// edge is 2 pixels wide, a themed one takes up to 4.
constexpr int kClassicInset = 2;
constexpr int kThemedInset = 4;

// AlphaBlend wants the colour channels already multiplied by alpha; a picture
// without alpha becomes fully opaque.
UniqueBitmap premultipliedBitmap(const Image& image) {
    if (image.width == 0 || image.height == 0 ||
        (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)) {
        return UniqueBitmap();
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(image.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(image.height); // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        return UniqueBitmap();
    }
    auto* target = static_cast<std::uint8_t*>(bits);
    const std::uint32_t step = image.bytesPerPixel();
    const std::size_t count = std::size_t{image.width} * image.height;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* source = image.pixels.data() + i * step;
        const unsigned alpha = step == 4 ? source[3] : 255u;
        for (std::size_t channel = 0; channel < 3; ++channel) {
            target[i * 4 + channel] =
                static_cast<std::uint8_t>((source[channel] * alpha + 127) / 255);
        }
        target[i * 4 + 3] = static_cast<std::uint8_t>(alpha);
    }
    ::GdiFlush();
    return bitmap;
}

// The visual-styles theme of a window, closed when done.
using UniqueTheme = UniqueHandle<HTHEME, NullHandleTraits<HTHEME, ::CloseThemeData>>;

int themedState(LRESULT state, bool enabled) {
    if (!enabled) {
        return PBS_DISABLED;
    }
    if (state & BST_PUSHED) {
        return PBS_PRESSED;
    }
    if (state & BST_HOT) {
        return PBS_HOT;
    }
    return (state & BST_FOCUS) ? PBS_DEFAULTED : PBS_NORMAL;
}

} // namespace

ImageButton::~ImageButton() {
    if (button_ && ::IsWindow(button_)) {
        ::RemoveWindowSubclass(button_, subclassProc, kSubclassId);
    }
}

void ImageButton::attach(HWND button, const std::optional<Image>& image) {
    if (image) {
        picture_ = premultipliedBitmap(*image);
        pictureWidth_ = static_cast<int>(image->width);
        pictureHeight_ = static_cast<int>(image->height);
    }
    if (button &&
        ::SetWindowSubclass(button, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        button_ = button;
        ::InvalidateRect(button, nullptr, TRUE);
    }
}

LRESULT CALLBACK ImageButton::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self) {
    const auto* button = reinterpret_cast<const ImageButton*>(self);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        if (HDC dc = ::BeginPaint(window, &paint)) {
            button->paint(dc);
            ::EndPaint(window, &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        button->paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the face is painted whole
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(window, subclassProc, kSubclassId);
        break;
    default:
        break;
    }
    const LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    // The standard button may paint these changes at once, outside WM_PAINT:
    // paint over it with the picture.
    switch (message) {
    case BM_SETSTATE:
    case WM_ENABLE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
    case WM_MOUSELEAVE:
    case BM_SETSTYLE:
        ::InvalidateRect(window, nullptr, FALSE);
        break;
    default:
        break;
    }
    return result;
}

void ImageButton::paint(HDC dc) const {
    RECT client{};
    ::GetClientRect(button_, &client);
    const LRESULT state = ::SendMessageW(button_, BM_GETSTATE, 0, 0);
    const bool pressed = (state & BST_PUSHED) != 0;
    const bool enabled = ::IsWindowEnabled(button_) != FALSE;
    int inset = kClassicInset;
    const UniqueTheme theme(::OpenThemeData(button_, L"Button"));
    if (theme) {
        ::DrawThemeParentBackground(button_, dc, &client);
        ::DrawThemeBackground(theme.get(), dc, BP_PUSHBUTTON, themedState(state, enabled), &client,
                              nullptr);
        inset = kThemedInset;
    } else {
        RECT face = client;
        ::DrawFrameControl(dc, &face, DFC_BUTTON,
                           DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u) |
                               (enabled ? 0u : DFCS_INACTIVE));
    }
    drawPicture(dc, client, inset, pressed);
    const bool focusShown = (::SendMessageW(button_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
    if ((state & BST_FOCUS) && focusShown) {
        RECT focus{client.left + inset, client.top + inset, client.right - inset,
                   client.bottom - inset};
        ::DrawFocusRect(dc, &focus);
    }
}

void ImageButton::drawPicture(HDC dc, const RECT& client, int inset, bool pressed) const {
    if (!picture_) {
        return;
    }
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    // Centred with truncating division: a picture taller than the button
    // starts above its top edge. Positions scale with the screen, the
    // picture keeps its pixels.
    const int shift = pressed ? 1 : 0;
    const int left = client.left + (width - pictureWidth_) / 2 + shift;
    const int top = client.top + (height - pictureHeight_) / 2 + shift;

    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, client.left + inset, client.top + inset, client.right - inset,
                        client.bottom - inset);
    if (HDC source = ::CreateCompatibleDC(dc)) {
        const HGDIOBJ previous = ::SelectObject(source, picture_.get());
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(dc, left, top, pictureWidth_, pictureHeight_, source, 0, 0, pictureWidth_,
                     pictureHeight_, blend);
        ::SelectObject(source, previous);
        ::DeleteDC(source);
    }
    ::RestoreDC(dc, saved);
}

} // namespace tarvex
