// The file-system and environment services the tool's core asks for.
// Win32 implementations live in platform/win32; tests use in-memory fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarvex {

inline constexpr std::int64_t kMissing = -1;
inline constexpr std::int64_t kDirectory = -2;

enum class EntryKind { None = 0, File = 1, Directory = 2 };

// Times as Windows file systems keep them: 100-nanosecond units since 1601.
using FileTime = std::uint64_t;
inline constexpr FileTime kFileTimeSecond = 10'000'000;

// Executable types reported for a program file (the values of GetBinaryTypeW).
inline constexpr std::uint32_t kWindows32BitExecutable = 0;
inline constexpr std::uint32_t kWindows64BitExecutable = 6;

// What a copy keeps of its source besides the bytes: a copy made by the
// system's copy call has the size and the last write time of its source.
struct FileFacts {
    std::int64_t size = kMissing;
    FileTime written = 0;
    bool operator==(const FileFacts&) const = default;
};

// One wildcard search of a directory. Releases its search when destroyed.
class DirectoryListing {
public:
    virtual ~DirectoryListing() = default;

    // An empty pattern means "*.*". A pattern that matches nothing opens an
    // empty listing; a directory that cannot be searched gives false.
    virtual bool open(const std::wstring& directory, const std::wstring& pattern) = 0;
    // Moves to the next entry ("." and ".." included when they match).
    virtual bool next() = 0;
    virtual std::wstring name() const = 0;
    virtual EntryKind kind() const = 0;
    // When the entry was last written, in the file system's time (FileTime).
    virtual FileTime writeTime() const = 0;
    // Size in bytes of a file entry, kDirectory for a directory.
    virtual std::int64_t size() const = 0;
    virtual void close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Size in bytes of a file, kDirectory for a directory or drive root,
    // kMissing for anything else. Wildcards in the path pick the first match.
    virtual std::int64_t pathSize(const std::wstring& path) = 0;
    // Copies a file over an existing target; false when either path is empty
    // or the copy fails.
    virtual bool copyReplacing(const std::wstring& source, const std::wstring& target) = 0;
    // Renames a file over an existing target in one step, written through to
    // the disk: the target is then either the old file or the new one.
    virtual bool renameReplacing(const std::wstring& source, const std::wstring& target) = 0;
    // Deletes a file; false when there was none or it stays.
    virtual bool removeFile(const std::wstring& path) = 0;
    // Size and last write time of a file; nothing for a folder or a missing
    // file. Asks for the one file, without searching its directory.
    virtual std::optional<FileFacts> fileFacts(const std::wstring& path) = 0;
    virtual std::unique_ptr<DirectoryListing> newListing() = 0;
    // The executable type of a program file, nothing when it cannot be told.
    virtual std::optional<std::uint32_t> executableType(const std::wstring& path) = 0;
    // The time now, as write times are given.
    virtual FileTime now() = 0;
};

class Environment {
public:
    virtual ~Environment() = default;

    // The variable's value; empty when it is not set.
    virtual std::wstring environmentValue(const std::wstring& name) = 0;
    // Full path of the running executable, without a "\\?\" prefix.
    virtual std::wstring programPath() = 0;
};

} // namespace tarvex
