// An in-memory file system with the Windows rules the tool relies on:
// case-insensitive names, "*" and "?" wildcards, "\" and "/" as separators,
// copies and new files that need an existing directory. Copies, listings,
// whole-file reads and replaces can be made to fail, and files read-only.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/byte_file.h"
#include "platform/file_system.h"

namespace tarvex::testing {

// Windows wildcard match, ignoring ASCII case.
bool wildcardMatch(const std::wstring& pattern, const std::wstring& name);

class FakeFileSystem final : public FileSystem, public ByteFileService {
public:
    // Adds a file (and its parent directories) with the given content.
    void addFile(const std::wstring& path, const std::string& content);
    void addDirectory(const std::wstring& path);
    void setExecutableType(const std::wstring& path, std::uint32_t type);
    void failCopiesTo(const std::wstring& target) { failingCopyTargets_.insert(key(target)); }
    void failListingsOf(const std::wstring& directory) { failingListings_.insert(key(directory)); }
    void failReadsOf(const std::wstring& path) { failingReads_.insert(key(path)); }
    void failReplacesOf(const std::wstring& path) { failingReplaces_.insert(key(path)); }
    void makeReadOnly(const std::wstring& path) { readOnly_.insert(key(path)); }

    bool exists(const std::wstring& path) const;
    // The content of a file; nothing when there is no such file.
    std::optional<std::string> bytes(const std::wstring& path) const;
    // The content of a file; throws when there is none, so a test fails loudly.
    std::string content(const std::wstring& path) const;
    // Names of the entries directly in a directory, as stored.
    std::vector<std::wstring> entriesOf(const std::wstring& directory) const;
    const std::vector<std::pair<std::wstring, std::wstring>>& copies() const { return copies_; }
    // Successful whole-file replaces so far.
    std::size_t replaces() const { return replaces_; }

    std::int64_t pathSize(const std::wstring& path) override;
    bool copyReplacing(const std::wstring& source, const std::wstring& target) override;
    std::unique_ptr<DirectoryListing> newListing() override;
    std::optional<std::uint32_t> executableType(const std::wstring& path) override;

    std::unique_ptr<ByteFile> openForUpdate(const std::wstring& path) override;
    std::unique_ptr<ByteFile> create(const std::wstring& path) override;

private:
    struct Node {
        std::wstring path; // as given, without trailing separator
        bool directory = false;
        std::string content;
    };
    friend class FakeDirectoryListing;
    friend class FakeByteFile;

    static std::wstring key(const std::wstring& path);
    static std::wstring parentKey(const std::wstring& key);
    std::vector<const Node*> matches(const std::wstring& directory,
                                     const std::wstring& pattern) const;

    std::map<std::wstring, Node> nodes_;
    std::map<std::wstring, std::uint32_t> executableTypes_;
    std::set<std::wstring> failingCopyTargets_;
    std::set<std::wstring> failingListings_;
    std::set<std::wstring> failingReads_;
    std::set<std::wstring> failingReplaces_;
    std::set<std::wstring> readOnly_;
    std::size_t replaces_ = 0;
    std::vector<std::pair<std::wstring, std::wstring>> copies_;
};

} // namespace tarvex::testing
