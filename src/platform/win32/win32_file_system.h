// The file-system and environment services on the real Windows calls.
#pragma once

#include "platform/file_system.h"

namespace tarvex {

class Win32FileSystem final : public FileSystem {
public:
    std::int64_t pathSize(const std::wstring& path) override;
    bool copyReplacing(const std::wstring& source, const std::wstring& target) override;
    bool renameReplacing(const std::wstring& source, const std::wstring& target) override;
    bool removeFile(const std::wstring& path) override;
    std::optional<FileFacts> fileFacts(const std::wstring& path) override;
    std::unique_ptr<DirectoryListing> newListing() override;
    std::optional<std::uint32_t> executableType(const std::wstring& path) override;
    FileTime now() override;
};

class Win32Environment final : public Environment {
public:
    std::wstring environmentValue(const std::wstring& name) override;
    std::wstring programPath() override;
};

} // namespace tarvex
