#include "fake_file_system.h"

#include <stdexcept>

#include "platform/path_parts.h"

namespace tarvex::testing {
namespace {

wchar_t foldCase(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
}

std::wstring lastComponent(const std::wstring& path) {
    const std::size_t at = path.find_last_of(L'\\');
    return at == std::wstring::npos ? path : path.substr(at + 1);
}

} // namespace

bool wildcardMatch(const std::wstring& pattern, const std::wstring& name) {
    std::size_t p = 0, n = 0, star = std::wstring::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == L'?' || foldCase(pattern[p]) == foldCase(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

std::wstring FakeFileSystem::key(const std::wstring& path) {
    std::wstring k;
    for (wchar_t c : path) {
        k += c == L'/' ? L'\\' : foldCase(c);
    }
    while (!k.empty() && k.back() == L'\\') {
        k.pop_back();
    }
    return k;
}

std::wstring FakeFileSystem::parentKey(const std::wstring& k) {
    const std::size_t at = k.find_last_of(L'\\');
    return at == std::wstring::npos ? std::wstring() : k.substr(0, at);
}

void FakeFileSystem::addDirectory(const std::wstring& path) {
    std::wstring k = key(path);
    std::wstring shown = path;
    while (!shown.empty() && (shown.back() == L'\\' || shown.back() == L'/')) {
        shown.pop_back();
    }
    while (!k.empty() && !nodes_.contains(k)) {
        nodes_[k] = Node{shown, true, {}};
        k = parentKey(k);
        shown = shown.substr(0, std::min(shown.size(), k.size()));
    }
}

void FakeFileSystem::addFile(const std::wstring& path, const std::string& content) {
    const std::wstring k = key(path);
    addDirectory(path.substr(0, path.find_last_of(L"\\/") + 1));
    nodes_[k] = Node{path, false, content};
}

void FakeFileSystem::setExecutableType(const std::wstring& path, std::uint32_t type) {
    executableTypes_[key(path)] = type;
}

bool FakeFileSystem::exists(const std::wstring& path) const {
    return nodes_.contains(key(path));
}

std::optional<std::string> FakeFileSystem::bytes(const std::wstring& path) const {
    const auto found = nodes_.find(key(path));
    if (found == nodes_.end() || found->second.directory) {
        return std::nullopt;
    }
    return found->second.content;
}

std::string FakeFileSystem::content(const std::wstring& path) const {
    auto found = bytes(path);
    if (!found) {
        throw std::runtime_error("no such file in the fake file system");
    }
    return *found;
}

std::vector<std::wstring> FakeFileSystem::entriesOf(const std::wstring& directory) const {
    std::vector<std::wstring> names;
    for (const Node* node : matches(directory, L"*")) {
        names.push_back(lastComponent(node->path));
    }
    return names;
}

std::vector<const FakeFileSystem::Node*>
FakeFileSystem::matches(const std::wstring& directory, const std::wstring& pattern) const {
    std::vector<const Node*> found;
    const std::wstring parent = key(directory);
    const std::wstring effective = pattern == L"*.*" ? L"*" : pattern; // as FindFirstFileW does
    for (const auto& [k, node] : nodes_) {
        if (parentKey(k) == parent && wildcardMatch(effective, lastComponent(node.path))) {
            found.push_back(&node);
        }
    }
    return found;
}

std::int64_t FakeFileSystem::pathSize(const std::wstring& path) {
    if (path.empty()) {
        return kMissing;
    }
    const std::wstring k = key(path);
    if ((k.size() == 2 && k[1] == L':')) {
        return nodes_.contains(k) ? kDirectory : kMissing;
    }
    const std::size_t cut = k.find_last_of(L'\\');
    const std::wstring directory = cut == std::wstring::npos ? L"" : k.substr(0, cut);
    const auto found = matches(directory, k.substr(cut == std::wstring::npos ? 0 : cut + 1));
    if (found.empty()) {
        return kMissing;
    }
    return found.front()->directory ? kDirectory
                                    : static_cast<std::int64_t>(found.front()->content.size());
}

bool FakeFileSystem::copyReplacing(const std::wstring& source, const std::wstring& target) {
    if (source.empty() || target.empty() || failingCopyTargets_.contains(key(target))) {
        return false;
    }
    const auto from = nodes_.find(key(source));
    const auto to = nodes_.find(key(target));
    const auto parent = nodes_.find(parentKey(key(target)));
    if (from == nodes_.end() || from->second.directory || parent == nodes_.end() ||
        !parent->second.directory || (to != nodes_.end() && to->second.directory)) {
        return false;
    }
    const std::wstring shown = to != nodes_.end() ? to->second.path : target;
    nodes_[key(target)] = Node{shown, false, from->second.content};
    copies_.emplace_back(source, target);
    return true;
}

std::optional<std::uint32_t> FakeFileSystem::executableType(const std::wstring& path) {
    const auto found = executableTypes_.find(key(path));
    if (found == executableTypes_.end() || !exists(path)) {
        return std::nullopt;
    }
    return found->second;
}

class FakeDirectoryListing final : public DirectoryListing {
public:
    explicit FakeDirectoryListing(const FakeFileSystem& files) : files_(files) {}

    bool open(const std::wstring& directory, const std::wstring& pattern) override {
        close();
        const std::wstring k = FakeFileSystem::key(directory);
        const auto found = files_.nodes_.find(k);
        if (files_.failingListings_.contains(k) || found == files_.nodes_.end() ||
            !found->second.directory) {
            return false;
        }
        for (const auto* node : files_.matches(directory, pattern.empty() ? L"*.*" : pattern)) {
            entries_.emplace_back(lastComponent(node->path),
                                  node->directory ? EntryKind::Directory : EntryKind::File);
        }
        return true;
    }
    bool next() override {
        if (position_ + 1 >= static_cast<long>(entries_.size())) {
            position_ = static_cast<long>(entries_.size());
            return false;
        }
        ++position_;
        return true;
    }
    std::wstring name() const override { return current() ? current()->first : L""; }
    EntryKind kind() const override { return current() ? current()->second : EntryKind::None; }
    void close() override {
        entries_.clear();
        position_ = -1;
    }

private:
    const std::pair<std::wstring, EntryKind>* current() const {
        if (position_ < 0 || position_ >= static_cast<long>(entries_.size())) {
            return nullptr;
        }
        return &entries_[static_cast<std::size_t>(position_)];
    }

    const FakeFileSystem& files_;
    std::vector<std::pair<std::wstring, EntryKind>> entries_;
    long position_ = -1;
};

std::unique_ptr<DirectoryListing> FakeFileSystem::newListing() {
    return std::make_unique<FakeDirectoryListing>(*this);
}

class FakeByteFile final : public ByteFile {
public:
    FakeByteFile(FakeFileSystem& files, std::wstring key, bool readOnly)
        : files_(files), key_(std::move(key)), readOnly_(readOnly) {}

    bool readOnly() const override { return readOnly_; }

    bool readAll(std::string& bytes) override {
        if (files_.failingReads_.contains(key_)) {
            return false;
        }
        bytes = files_.nodes_.at(key_).content;
        return true;
    }

    bool replaceAll(const std::string& bytes) override {
        if (readOnly_ || files_.failingReplaces_.contains(key_)) {
            return false;
        }
        files_.nodes_.at(key_).content = bytes;
        ++files_.replaces_;
        return true;
    }

private:
    FakeFileSystem& files_;
    std::wstring key_;
    bool readOnly_;
};

std::unique_ptr<ByteFile> FakeFileSystem::openForUpdate(const std::wstring& path) {
    const auto found = nodes_.find(key(path));
    if (found == nodes_.end() || found->second.directory) {
        return nullptr;
    }
    return std::make_unique<FakeByteFile>(*this, found->first, readOnly_.contains(found->first));
}

std::unique_ptr<ByteFile> FakeFileSystem::create(const std::wstring& path) {
    const std::wstring k = key(path);
    const auto parent = nodes_.find(parentKey(k));
    const auto existing = nodes_.find(k);
    if (parent == nodes_.end() || !parent->second.directory || readOnly_.contains(k) ||
        (existing != nodes_.end() && existing->second.directory)) {
        return nullptr;
    }
    nodes_[k] = Node{existing != nodes_.end() ? existing->second.path : path, false, {}};
    return std::make_unique<FakeByteFile>(*this, k, false);
}

} // namespace tarvex::testing
