#include "test_files.h"

#include <windows.h>

#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"

namespace tarvex::testing {
namespace {

std::wstring withoutTrailingSeparator(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') {
        path.pop_back();
    }
    return path;
}

template <typename Visit> void forEachEntry(const std::wstring& directory, Visit visit) {
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(::FindFirstFileW(extendedLengthPath(directory + L"\\*").c_str(), &data));
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &data)) {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") {
            visit(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
        }
    }
}

void snapshotInto(const std::wstring& base, const std::wstring& relative,
                  std::map<std::wstring, std::string>& entries) {
    const std::wstring folder =
        relative.empty() ? base : base + L"\\" + withoutTrailingSeparator(relative);
    forEachEntry(folder, [&](const std::wstring& name, bool directory) {
        if (directory) {
            entries[relative + name + L"\\"] = {};
            snapshotInto(base, relative + name + L"\\", entries);
        } else {
            entries[relative + name] = readBytes(base + L"\\" + relative + name);
        }
    });
}

} // namespace

std::string readBytes(const std::wstring& path) {
    UniqueKernelHandle file(::CreateFileW(extendedLengthPath(path).c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (file && ::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    return bytes;
}

bool writeBytes(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(::CreateFileW(extendedLengthPath(path).c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

bool pathExists(const std::wstring& path) {
    return ::GetFileAttributesW(extendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeTree(const std::wstring& path) {
    const std::wstring directory = withoutTrailingSeparator(path);
    forEachEntry(directory, [&](const std::wstring& name, bool isDirectory) {
        const std::wstring child = directory + L"\\" + name;
        if (isDirectory) {
            removeTree(child);
        } else {
            ::SetFileAttributesW(extendedLengthPath(child).c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(extendedLengthPath(child).c_str());
        }
    });
    ::RemoveDirectoryW(extendedLengthPath(directory).c_str());
}

std::map<std::wstring, std::string> snapshot(const std::wstring& directory) {
    std::map<std::wstring, std::string> entries;
    snapshotInto(withoutTrailingSeparator(directory), L"", entries);
    return entries;
}

TempDirectory::TempDirectory(const std::wstring& prefix) {
    wchar_t base[MAX_PATH + 1]{};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, base);
    for (unsigned attempt = 0; path_.empty() && attempt < 1000; ++attempt) {
        const std::wstring candidate = std::wstring(base, length) + prefix +
                                       std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                       std::to_wstring(attempt);
        if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
            path_ = candidate;
        }
    }
}

TempDirectory::~TempDirectory() {
    if (!path_.empty()) {
        removeTree(path_);
    }
}

} // namespace tarvex::testing
