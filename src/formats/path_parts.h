// Taking Windows paths apart. Portable: "\" and "/" both separate, and the
// IDE may hand over paths in double quotes or followed by "|" and options.
#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// Everything up to and including the last separator (before any "|");
// a leading double quote is skipped. Empty when there is no separator.
std::wstring directoryPart(const std::wstring& path);

// The text after the last "." of the file name, up to a double quote.
// Empty when the name has no extension or starts with the ".".
std::wstring extensionPart(const std::wstring& path);

// The file name after the last separator, up to a double quote, optionally
// without its extension.
std::wstring fileNamePart(const std::wstring& path, bool dropExtension);

// ASCII lower case; other characters are left alone.
std::wstring asciiLowerCase(std::wstring text);

// Whether text is `lower` in any mix of ASCII case, as file names compare
// (narrow for the names in linker directives). Copies nothing.
bool sameIgnoringAsciiCase(std::wstring_view text, std::wstring_view lower);
bool sameIgnoringAsciiCase(std::string_view text, std::string_view lower);

} // namespace tarvex
