// In-memory files for the INI file's tests, with the failures the real files
// can have: unreadable content, a failing replace, files that can only be
// opened for reading, and folders that do not exist.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/byte_file.h"

namespace tarvex::testing {

class MemoryByteFiles final : public ByteFileService {
public:
    void put(const std::wstring& path, const std::string& bytes) { files_[path] = bytes; }
    // The file's bytes; nothing when it does not exist.
    std::optional<std::string> bytes(const std::wstring& path) const;
    // Successful replaces of any file so far.
    std::size_t replaces() const { return replaces_; }

    void failReadsOf(const std::wstring& path) { failingReads_.insert(path); }
    void failReplacesOf(const std::wstring& path) { failingReplaces_.insert(path); }
    void makeReadOnly(const std::wstring& path) { readOnly_.insert(path); }
    // Paths in this folder ("C:\Missing\") cannot be created.
    void removeFolder(const std::wstring& folder) { missingFolders_.insert(folder); }

    std::unique_ptr<ByteFile> openForUpdate(const std::wstring& path) override;
    std::unique_ptr<ByteFile> create(const std::wstring& path) override;

private:
    friend class MemoryByteFile;

    std::map<std::wstring, std::string> files_;
    std::set<std::wstring> failingReads_;
    std::set<std::wstring> failingReplaces_;
    std::set<std::wstring> readOnly_;
    std::set<std::wstring> missingFolders_;
    std::size_t replaces_ = 0;
};

} // namespace tarvex::testing
