// Whole-file access for the INI files: a file is held while it is open, read
// in one piece and replaced in one piece. Win32 implementation in
// platform/win32; tests use an in-memory one.
#pragma once

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

class ByteFileService {
public:
    virtual ~ByteFileService() = default;

    // Holds an existing file, for writing if possible, else for reading only.
    // Nothing when the file is missing or cannot be opened at all.
    virtual std::unique_ptr<ByteFile> openForUpdate(const std::wstring& path) = 0;
    // Creates the file, or empties an existing one, and holds it for writing.
    virtual std::unique_ptr<ByteFile> create(const std::wstring& path) = 0;
};

} // namespace tarvex
