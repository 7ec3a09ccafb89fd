// Reading shell shortcut files (.lnk).
#pragma once

#include <optional>
#include <string>

namespace tarvex {

// The longest argument text read from a shortcut; a longer one is cut.
inline constexpr std::size_t kShortcutArgumentLimit = 521;

class ShortcutReader {
public:
    virtual ~ShortcutReader() = default;
    // The shortcut's argument text, nothing when the file cannot be read as a
    // shortcut.
    virtual std::optional<std::wstring> readShortcutArguments(const std::wstring& path) = 0;
};

} // namespace tarvex
