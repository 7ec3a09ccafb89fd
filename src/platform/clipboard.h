// The clipboard as the tool uses it: one Unicode text that replaces whatever
// it held. The Win32 implementation lives in platform/win32.
#pragma once

#include <string>

namespace tarvex {

class Clipboard {
public:
    virtual ~Clipboard() = default;

    // True when the clipboard now holds exactly this text. On false it keeps
    // what it held before.
    virtual bool setClipboardText(const std::wstring& text) = 0;
};

} // namespace tarvex
