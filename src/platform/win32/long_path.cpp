#include "platform/win32/long_path.h"

#include <windows.h>

namespace tarvex {
namespace {

// The absolute, normalised form: ".", ".." and doubled separators resolved,
// "/" turned into "\", relative paths completed from the current directory.
std::wstring fullPath(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return {};
    }
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return {};
    }
    full.resize(length);
    return full;
}

} // namespace

std::wstring extendedLengthPath(const std::wstring& path) {
    // Search strings get a pattern appended by the callers' own calls, so keep
    // a margin below MAX_PATH rather than switch forms at exactly 260.
    if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\") ||
        path.starts_with(L"\\\\.\\")) {
        return path;
    }
    // The extended form skips all normalisation, so normalise first.
    const std::wstring full = fullPath(path);
    if (full.starts_with(L"\\\\.\\") || full.starts_with(L"\\\\?\\")) {
        return full;
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\') {
        return L"\\\\?\\" + full;
    }
    return path;
}

} // namespace tarvex
