// The INI files' whole-file access on the real Windows calls.
#pragma once

#include "platform/byte_file.h"

namespace tarvex {

class Win32ByteFileService final : public ByteFileService {
public:
    // Tries, in order: reading and writing while others may only read; reading
    // while others may only read; reading while others may read and write.
    std::unique_ptr<ByteFile> openForUpdate(const std::wstring& path) override;
    std::unique_ptr<ByteFile> create(const std::wstring& path) override;
    std::unique_ptr<FileReader> openForReading(const std::wstring& path) override;
};

} // namespace tarvex
