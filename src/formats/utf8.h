// UTF-8 <-> UTF-16 for the INI files. The wide side always holds UTF-16 code
// units, also where wchar_t is 32 bits wide, so character positions are the
// same on every platform.
#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// Unpaired surrogates become U+FFFD. Where wchar_t is 32 bits, a unit above
// 0xFFFF that is a Unicode scalar value is taken as that character.
std::string utf8FromUtf16(std::wstring_view text);
// Each invalid or truncated sequence becomes one U+FFFD.
std::wstring utf16FromUtf8(std::string_view text);

} // namespace tarvex
