// The clipboard service on the Windows clipboard.
#pragma once

#include "platform/clipboard.h"

namespace tarvex {

class Win32Clipboard final : public Clipboard {
public:
    // Places the text as CF_UNICODETEXT only; the system derives the other
    // text formats from it.
    bool setClipboardText(const std::wstring& text) override;
};

} // namespace tarvex
