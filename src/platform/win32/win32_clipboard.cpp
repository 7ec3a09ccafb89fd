#include "platform/win32/win32_clipboard.h"

#include <windows.h>

#include <cstring>
#include <limits>

#include "platform/win32/unique_handle.h"

namespace tarvex {
namespace {

// The clipboard is open for one replacement at a time, and closed on every
// way out.
class OpenClipboardSession {
public:
    OpenClipboardSession() : open_(::OpenClipboard(nullptr) != FALSE) {}
    OpenClipboardSession(const OpenClipboardSession&) = delete;
    OpenClipboardSession& operator=(const OpenClipboardSession&) = delete;
    ~OpenClipboardSession() {
        if (open_) {
            ::CloseClipboard();
        }
    }
    bool open() const { return open_; }

private:
    bool open_;
};

// A movable, shareable block holding the text and its terminating zero.
UniqueGlobalMemory textBlock(const std::wstring& text) {
    if (text.size() >= std::numeric_limits<SIZE_T>::max() / sizeof(wchar_t) - 1) {
        return UniqueGlobalMemory();
    }
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes));
    if (!block) {
        return block;
    }
    void* target = ::GlobalLock(block.get());
    if (!target) {
        return UniqueGlobalMemory();
    }
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(block.get());
    return block;
}

} // namespace

bool Win32Clipboard::setClipboardText(const std::wstring& text) {
    // The block is made and filled before the clipboard is emptied, so a
    // failed allocation or lock leaves the user's clipboard as it was.
    UniqueGlobalMemory block = textBlock(text);
    if (!block) {
        return false;
    }
    const OpenClipboardSession clipboard;
    if (!clipboard.open() || !::EmptyClipboard()) {
        return false;
    }
    if (!::SetClipboardData(CF_UNICODETEXT, block.get())) {
        return false; // still ours: freed on the way out
    }
    block.release(); // the clipboard owns it now
    return true;
}

} // namespace tarvex
