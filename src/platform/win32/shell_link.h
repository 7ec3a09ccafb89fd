// Shortcut files read through the shell-link object.
#pragma once

#include "platform/shortcut_reader.h"

namespace tarvex {

// Used on the window's thread, where OLE, and with it COM, is initialised
// from start-up to the end.
class Win32ShortcutReader final : public ShortcutReader {
public:
    std::optional<std::wstring> readShortcutArguments(const std::wstring& path) override;
};

} // namespace tarvex
