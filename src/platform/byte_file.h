// Whole-file access for the INI files: a file is held while it is open, read
// in one piece and replaced in one piece; and reading in pieces, for files
// too large to hold. Win32 implementation in platform/win32; tests use an
// in-memory one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tarvex {

// One held file. Releases it when destroyed.
class ByteFile {
public:
    virtual ~ByteFile() = default;

    // True when the file could only be opened for reading.
    virtual bool readOnly() const = 0;
    // The whole content, or false when any of it cannot be read.
    virtual bool readAll(std::string& bytes) = 0;
    // Makes the file hold exactly these bytes. On failure the old content
    // stays whole. The file is released either way, so this is the last call.
    virtual bool replaceAll(const std::string& bytes) = 0;
};

// A file read in pieces, for formats whose headers say where to look.
class FileReader {
public:
    virtual ~FileReader() = default;

    virtual std::uint64_t size() const = 0;
    // Exactly `count` bytes at `offset`; false on any shortfall or error.
    virtual bool readAt(std::uint64_t offset, char* buffer, std::size_t count) = 0;
};

class ByteFileService {
public:
    virtual ~ByteFileService() = default;

    // Holds an existing file, for writing if possible, else for reading only.
    // Nothing when the file is missing or cannot be opened at all.
    virtual std::unique_ptr<ByteFile> openForUpdate(const std::wstring& path) = 0;
    // Creates the file, or empties an existing one, and holds it for writing.
    virtual std::unique_ptr<ByteFile> create(const std::wstring& path) = 0;
    // Opens an existing file for reading while others may read, write or
    // delete it. Nothing when it cannot be opened.
    virtual std::unique_ptr<FileReader> openForReading(const std::wstring& path) = 0;
};

} // namespace tarvex
