#include "platform/win32/long_path.h"

#include <windows.h>

#include <algorithm>

namespace tarvex {

std::wstring extendedLengthPath(const std::wstring& path) {
    // Search strings get a pattern appended by the callers' own calls, so keep
    // a margin below MAX_PATH rather than switch forms at exactly 260.
    if (path.size() < MAX_PATH - 12) {
        return path;
    }
    std::wstring normal = path;
    std::replace(normal.begin(), normal.end(), L'/', L'\\');
    if (normal.rfind(L"\\\\?\\", 0) == 0) {
        return normal;
    }
    const bool driveAbsolute = normal.size() >= 3 && normal[1] == L':' && normal[2] == L'\\';
    if (driveAbsolute) {
        // The extended form skips the usual ".." and "." resolution.
        const DWORD needed = ::GetFullPathNameW(normal.c_str(), 0, nullptr, nullptr);
        if (needed > 0) {
            std::wstring full(needed, L'\0');
            const DWORD length = ::GetFullPathNameW(normal.c_str(), needed, full.data(), nullptr);
            if (length > 0 && length < needed) {
                full.resize(length);
                normal = full;
            }
        }
        return L"\\\\?\\" + normal;
    }
    if (normal.rfind(L"\\\\", 0) == 0 && normal.find(L"\\..") == std::wstring::npos) {
        return L"\\\\?\\UNC\\" + normal.substr(2);
    }
    return path;
}

} // namespace tarvex
