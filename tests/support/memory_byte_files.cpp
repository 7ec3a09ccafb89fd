#include "memory_byte_files.h"

#include <utility>

namespace tarvex::testing {

class MemoryByteFile final : public ByteFile {
public:
    MemoryByteFile(MemoryByteFiles& files, std::wstring path, bool readOnly)
        : files_(files), path_(std::move(path)), readOnly_(readOnly) {}

    bool readOnly() const override { return readOnly_; }

    bool readAll(std::string& bytes) override {
        if (files_.failingReads_.contains(path_)) {
            return false;
        }
        bytes = files_.files_.at(path_);
        return true;
    }

    bool replaceAll(const std::string& bytes) override {
        if (readOnly_ || files_.failingReplaces_.contains(path_)) {
            return false;
        }
        files_.files_[path_] = bytes;
        ++files_.replaces_;
        return true;
    }

private:
    MemoryByteFiles& files_;
    std::wstring path_;
    bool readOnly_;
};

std::optional<std::string> MemoryByteFiles::bytes(const std::wstring& path) const {
    const auto found = files_.find(path);
    return found == files_.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::unique_ptr<ByteFile> MemoryByteFiles::openForUpdate(const std::wstring& path) {
    if (!files_.contains(path)) {
        return nullptr;
    }
    return std::make_unique<MemoryByteFile>(*this, path, readOnly_.contains(path));
}

std::unique_ptr<ByteFile> MemoryByteFiles::create(const std::wstring& path) {
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    if (missingFolders_.contains(folder) || readOnly_.contains(path)) {
        return nullptr;
    }
    files_[path].clear();
    return std::make_unique<MemoryByteFile>(*this, path, false);
}

} // namespace tarvex::testing
