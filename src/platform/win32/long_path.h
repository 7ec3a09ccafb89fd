// Paths longer than MAX_PATH reach the file calls only in their
// extended-length form ("\\?\C:\..." or "\\?\UNC\server\share\...").
#pragma once

#include <string>

namespace tarvex {

// The form of an absolute path that every wide file call accepts whatever its
// length; short or relative paths are returned unchanged.
std::wstring extendedLengthPath(const std::wstring& path);

} // namespace tarvex
