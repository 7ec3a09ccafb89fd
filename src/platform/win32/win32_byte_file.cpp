#include "platform/win32/win32_byte_file.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <utility>

#include "platform/win32/long_path.h"
#include "platform/win32/unique_handle.h"

namespace tarvex {
namespace {

constexpr DWORD kChunk = 1u << 20;

struct OpenAttempt {
    DWORD access;
    DWORD share;
    bool readOnly;
};

constexpr OpenAttempt kOpenAttempts[] = {
    {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, false},
    {GENERIC_READ, FILE_SHARE_READ, true},
    // Another program has the file open for writing and lets others read.
    {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
};

HANDLE openFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    return ::CreateFileW(extendedLengthPath(path).c_str(), access, share, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Reads exactly count bytes at the offset; a read of nothing before the
// expected end is a short file. Each handle is read by one thread only, so
// moving its file pointer is safe: under Wine a read that carries its offset
// in an OVERLAPPED costs a round trip to the wine server (about 33
// microseconds against 4 for a seek and a plain read), and a dropped library
// is read in thousands of pieces.
bool readAt(HANDLE file, std::uint64_t offset, char* buffer, std::size_t count) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!::SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) {
        return false;
    }
    for (std::size_t at = 0; at < count;) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count - at, kChunk));
        DWORD got = 0;
        if (!::ReadFile(file, buffer + at, wanted, &got, nullptr) || got == 0) {
            return false;
        }
        at += got;
    }
    return true;
}

bool writeAll(HANDLE file, const std::string& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, kChunk));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + at, wanted, &written, nullptr) || written == 0) {
            return false;
        }
        at += written;
    }
    return true;
}

// A new, unused file beside the target, so that the final rename never
// crosses volumes and is atomic.
UniqueKernelHandle createTemporaryBeside(const std::wstring& path, std::wstring& temporary) {
    const std::wstring stem = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-";
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = stem + std::to_wstring(attempt) + L".tmp";
        UniqueKernelHandle file(openFile(temporary, GENERIC_WRITE, 0, CREATE_NEW));
        if (file) {
            return file;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    temporary.clear();
    return {};
}

bool writeTemporary(const std::wstring& path, const std::string& bytes, std::wstring& temporary) {
    UniqueKernelHandle file = createTemporaryBeside(path, temporary);
    if (!file) {
        return false;
    }
    // Flushed before the rename, so a crash cannot leave a renamed but empty file.
    if (writeAll(file.get(), bytes) && ::FlushFileBuffers(file.get())) {
        return true;
    }
    file.reset();
    ::DeleteFileW(extendedLengthPath(temporary).c_str());
    return false;
}

bool moveIntoPlace(const std::wstring& temporary, const std::wstring& path) {
    const std::wstring target = extendedLengthPath(path);
    const std::wstring source = extendedLengthPath(temporary);
    // ReplaceFileW keeps the original's attributes and security; it fails on
    // some file systems where a plain rename works.
    if (::ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                       nullptr, nullptr)) {
        return true;
    }
    if (::MoveFileExW(source.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    // Without a backup name, a ReplaceFileW that fails to move the new file in
    // may already have removed the old one; then the new file is the only copy
    // of the settings and must stay.
    if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ::DeleteFileW(source.c_str());
    }
    return false;
}

class Win32ByteFile final : public ByteFile {
public:
    Win32ByteFile(std::wstring path, UniqueKernelHandle handle, bool readOnly)
        : path_(std::move(path)), handle_(std::move(handle)), readOnly_(readOnly) {}

    bool readOnly() const override { return readOnly_; }

    bool readAll(std::string& bytes) override {
        LARGE_INTEGER size{};
        if (!handle_ || !::GetFileSizeEx(handle_.get(), &size) || size.QuadPart < 0 ||
            static_cast<unsigned long long>(size.QuadPart) > bytes.max_size()) {
            return false;
        }
        try {
            bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
        } catch (const std::bad_alloc&) {
            return false;
        }
        return readAt(handle_.get(), 0, bytes.data(), bytes.size());
    }

    bool replaceAll(const std::string& bytes) override {
        if (readOnly_ || !handle_) {
            handle_.reset();
            return false;
        }
        std::wstring temporary;
        const bool written = writeTemporary(path_, bytes, temporary);
        // Our own handle shares for reading only, so it would block the rename.
        handle_.reset();
        return written && moveIntoPlace(temporary, path_);
    }

private:
    std::wstring path_;
    UniqueKernelHandle handle_;
    bool readOnly_;
};

class Win32FileReader final : public FileReader {
public:
    Win32FileReader(UniqueKernelHandle handle, std::uint64_t size)
        : handle_(std::move(handle)), size_(size) {}

    std::uint64_t size() const override { return size_; }

    bool readAt(std::uint64_t offset, char* buffer, std::size_t count) override {
        return offset <= size_ && count <= size_ - offset &&
               tarvex::readAt(handle_.get(), offset, buffer, count);
    }

private:
    UniqueKernelHandle handle_;
    std::uint64_t size_;
};

} // namespace

std::unique_ptr<ByteFile> Win32ByteFileService::openForUpdate(const std::wstring& path) {
    for (const OpenAttempt& attempt : kOpenAttempts) {
        UniqueKernelHandle handle(openFile(path, attempt.access, attempt.share, OPEN_EXISTING));
        if (handle) {
            return std::make_unique<Win32ByteFile>(path, std::move(handle), attempt.readOnly);
        }
    }
    return nullptr;
}

std::unique_ptr<ByteFile> Win32ByteFileService::create(const std::wstring& path) {
    UniqueKernelHandle handle(
        openFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
    if (!handle) {
        return nullptr;
    }
    return std::make_unique<Win32ByteFile>(path, std::move(handle), false);
}

std::unique_ptr<FileReader> Win32ByteFileService::openForReading(const std::wstring& path) {
    UniqueKernelHandle handle(openFile(
        path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
    LARGE_INTEGER size{};
    if (!handle || !::GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0) {
        return nullptr;
    }
    return std::make_unique<Win32FileReader>(std::move(handle),
                                             static_cast<std::uint64_t>(size.QuadPart));
}

} // namespace tarvex
