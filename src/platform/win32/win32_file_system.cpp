#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"

namespace tarvex {
namespace {

constexpr DWORD kNoRootDirectory = DRIVE_NO_ROOT_DIR;

std::int64_t driveRootSize(std::wstring root) {
    if (root.size() == 2) {
        root += L'\\';
    }
    return ::GetDriveTypeW(root.c_str()) > kNoRootDirectory ? kDirectory : kMissing;
}

std::int64_t sizeOf(const WIN32_FIND_DATAW& data) {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return kDirectory;
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                     data.nFileSizeLow);
}

// Network roots ("\\server\share") and relative parent paths are not found
// by a search; ask for their attributes instead.
std::int64_t sizeOfUnsearchable(const std::wstring& path) {
    const std::wstring full = extendedLengthPath(path);
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kDirectory : kMissing;
    }
    return ::GetDriveTypeW(full.c_str()) > kNoRootDirectory ? kDirectory : kMissing;
}

FileTime fileTime(const FILETIME& time) {
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class Win32DirectoryListing final : public DirectoryListing {
public:
    bool open(const std::wstring& directory, const std::wstring& pattern) override {
        close();
        std::wstring search = directory;
        if (!search.empty() && search.back() != L'\\') {
            search += L'\\';
        }
        search += pattern.empty() ? L"*.*" : pattern;
        search = extendedLengthPath(search);
        find_.reset(::FindFirstFileW(search.c_str(), &data_));
        if (find_) {
            firstPending_ = true;
            return true;
        }
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) {
            return true; // a valid search that matched nothing: an empty listing
        }
        return false;
    }

    bool next() override {
        if (!find_) {
            return false;
        }
        if (firstPending_) {
            firstPending_ = false;
            return true;
        }
        return ::FindNextFileW(find_.get(), &data_) != FALSE;
    }

    std::wstring name() const override { return find_ ? data_.cFileName : L""; }

    EntryKind kind() const override {
        if (!find_) {
            return EntryKind::None;
        }
        return (data_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Directory
                                                                   : EntryKind::File;
    }

    FileTime writeTime() const override { return find_ ? fileTime(data_.ftLastWriteTime) : 0; }

    std::int64_t size() const override { return find_ ? sizeOf(data_) : kMissing; }

    void close() override {
        find_.reset();
        firstPending_ = false;
    }

private:
    UniqueFindHandle find_;
    WIN32_FIND_DATAW data_{};
    bool firstPending_ = false;
};

} // namespace

std::int64_t Win32FileSystem::pathSize(const std::wstring& path) {
    if (path.empty()) {
        return kMissing;
    }
    if ((path.size() == 2 || path.size() == 3) && path[1] == L':') {
        return driveRootSize(path);
    }
    std::wstring trimmed = path;
    while (!trimmed.empty() && (trimmed.back() == L'\\' || trimmed.back() == L'/')) {
        trimmed.pop_back();
    }
    WIN32_FIND_DATAW data{};
    UniqueFindHandle find(::FindFirstFileW(extendedLengthPath(trimmed).c_str(), &data));
    if (find) {
        return sizeOf(data);
    }
    if (path.starts_with(L"\\\\") || path.starts_with(L"//") || path.starts_with(L"..")) {
        return sizeOfUnsearchable(trimmed);
    }
    return kMissing;
}

bool Win32FileSystem::copyReplacing(const std::wstring& source, const std::wstring& target) {
    if (source.empty() || target.empty()) {
        return false;
    }
    return ::CopyFileW(extendedLengthPath(source).c_str(), extendedLengthPath(target).c_str(),
                       FALSE) != FALSE;
}

// MOVEFILE_WRITE_THROUGH returns once the new name is on the disk, so a
// power cut after a switch cannot bring the old library back.
bool Win32FileSystem::renameReplacing(const std::wstring& source, const std::wstring& target) {
    if (source.empty() || target.empty()) {
        return false;
    }
    return ::MoveFileExW(extendedLengthPath(source).c_str(), extendedLengthPath(target).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool Win32FileSystem::removeFile(const std::wstring& path) {
    return !path.empty() && ::DeleteFileW(extendedLengthPath(path).c_str()) != FALSE;
}

std::optional<FileFacts> Win32FileSystem::fileFacts(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() ||
        !::GetFileAttributesExW(extendedLengthPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    const auto size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return FileFacts{static_cast<std::int64_t>(size), fileTime(data.ftLastWriteTime)};
}

FileTime Win32FileSystem::now() {
    FILETIME time{};
    ::GetSystemTimeAsFileTime(&time);
    return fileTime(time);
}

std::unique_ptr<DirectoryListing> Win32FileSystem::newListing() {
    return std::make_unique<Win32DirectoryListing>();
}

std::optional<std::uint32_t> Win32FileSystem::executableType(const std::wstring& path) {
    DWORD type = 0;
    if (!::GetBinaryTypeW(extendedLengthPath(path).c_str(), &type)) {
        return std::nullopt;
    }
    return type;
}

std::wstring Win32Environment::environmentValue(const std::wstring& name) {
    std::wstring value;
    DWORD needed = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    while (needed > 0) {
        value.resize(needed);
        const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value.data(), needed);
        if (length < needed) {
            value.resize(length);
            return value;
        }
        needed = length; // the variable grew in between
    }
    return {};
}

std::wstring Win32Environment::programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0) {
            return {};
        }
        if (length < size) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path.erase(0, 8).insert(0, L"\\\\"); // "\\?\UNC\server\..." is "\\server\..."
    } else if (path.starts_with(L"\\\\?\\")) {
        path.erase(0, 4);
    }
    return path;
}

} // namespace tarvex
