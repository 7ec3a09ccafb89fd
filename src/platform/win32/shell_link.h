// Shortcut files read through the shell-link object.
#pragma once

#include "platform/shortcut_reader.h"

namespace tarvex {

class Win32ShortcutReader final : public ShortcutReader {
public:
    std::optional<std::wstring> readShortcutArguments(const std::wstring& path) override;
};

} // namespace tarvex
