// A push button that shows a picture instead of a caption (btnCoffee). It
// stays a standard button, so it sends its click like any other; only its
// painting is taken over.
#pragma once

#include <windows.h>

#include <optional>

#include "formats/png_image.h"
#include "platform/win32/unique_handle.h"

namespace tarvex {

class ImageButton {
public:
    ImageButton() = default;
    ImageButton(const ImageButton&) = delete;
    ImageButton& operator=(const ImageButton&) = delete;
    ~ImageButton();

    // Takes over the painting of an existing push button. With no image, or
    // one that cannot be made a bitmap, the button is drawn empty.
    void attach(HWND button, const std::optional<Image>& image);

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    void paint(HDC dc) const;
    void drawPicture(HDC dc, const RECT& client, int inset, bool pressed) const;

    HWND button_ = nullptr;
    UniqueBitmap picture_; // premultiplied 32-bit, for AlphaBlend
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
};

} // namespace tarvex
