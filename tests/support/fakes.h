// In-memory stand-ins for the core's services. The file system keeps the
// Windows rules the tool relies on: names ignore case, a file needs its folder.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "core/control_view.h"
#include "core/memory_view.h"
#include "core/tool_services.h"
#include "formats/path_parts.h"

namespace tarvex::testing {

// Bytes read in pieces, counting what is read.
struct MemoryFileReader final : FileReader {
    explicit MemoryFileReader(std::string content) : bytes(std::move(content)) {}
    std::uint64_t size() const override { return bytes.size(); }
    bool readAt(std::uint64_t offset, char* buffer, std::size_t count) override {
        const bool inside = offset <= bytes.size() && count <= bytes.size() - offset;
        bytesRead += inside ? bytes.copy(buffer, count, static_cast<std::size_t>(offset)) : 0;
        return inside;
    }
    std::string bytes;
    std::uint64_t bytesRead = 0;
};

class FakeFileSystem final : public FileSystem, public ByteFileService {
public:
    // Keys: lower-case paths with no trailing backslash.
    std::set<std::wstring> failingCopies, failingListings, failingReads;
    std::optional<std::uint32_t> executable; // the type of any program asked about
    FileTime clock = 100 * kFileTimeSecond;  // what files are written at

    static std::wstring key(const std::wstring& path) {
        return asciiLowerCase(path.substr(0, path.find_last_not_of(L'\\') + 1));
    }
    void failCopiesTo(const std::wstring& target) { failingCopies.insert(key(target)); }
    void addDirectory(const std::wstring& path) {
        for (std::wstring k = key(path); k.size() > 2; k = key(directoryPart(k))) {
            nodes_.try_emplace(k, Node{path.substr(0, k.size()), std::nullopt});
        }
    }
    void addFile(const std::wstring& path, const std::string& content) {
        addDirectory(directoryPart(path));
        nodes_.insert_or_assign(key(path), Node{path, content, clock});
    }
    // The file's bytes; nothing for a folder or a missing file.
    std::optional<std::string> content(const std::wstring& path) const {
        return nodes_.contains(key(path)) ? nodes_.at(key(path)).content : std::nullopt;
    }
    bool exists(const std::wstring& path) const { return nodes_.contains(key(path)); }
    bool isFolder(const std::wstring& path) const { return exists(path) && !content(path); }

    std::int64_t pathSize(const std::wstring& path) override {
        return !exists(path) ? kMissing : isFolder(path) ? kDirectory : std::ssize(*content(path));
    }
    bool copyReplacing(const std::wstring& source, const std::wstring& target) override {
        const bool copies = content(source) && !failingCopies.contains(key(target)) &&
                            isFolder(directoryPart(target)) && !isFolder(target);
        if (copies) {
            addFile(target, *content(source));
        }
        return copies;
    }
    std::unique_ptr<DirectoryListing> newListing() override {
        return std::make_unique<Listing>(*this);
    }
    std::optional<std::uint32_t> executableType(const std::wstring&) override { return executable; }
    FileTime now() override { return clock; }
    std::unique_ptr<ByteFile> openForUpdate(const std::wstring& path) override {
        return content(path) ? std::make_unique<File>(*this, key(path)) : nullptr;
    }
    std::unique_ptr<ByteFile> create(const std::wstring& path) override {
        if (!isFolder(directoryPart(path)) || isFolder(path)) {
            return nullptr;
        }
        addFile(path, "");
        return std::make_unique<File>(*this, key(path));
    }
    std::unique_ptr<FileReader> openForReading(const std::wstring& path) override {
        return content(path) ? std::make_unique<MemoryFileReader>(*content(path)) : nullptr;
    }

private:
    struct Node {
        std::wstring path;
        std::optional<std::string> content; // none for a folder
        FileTime written = 0;
    };
    // The tool's patterns hold one star; each listing is opened once.
    struct Listing final : DirectoryListing {
        explicit Listing(const FakeFileSystem& owner) : files(owner) {}
        bool open(const std::wstring& directory, const std::wstring& pattern) override {
            const std::wstring k = key(directory), p = key(pattern);
            const std::size_t star = p.find(L'*');
            for (const auto& [name, node] : files.nodes_) {
                const std::wstring entry = fileNamePart(name, false);
                if (key(directoryPart(name)) == k && entry.size() + 1 >= p.size() &&
                    entry.starts_with(p.substr(0, star)) && entry.ends_with(p.substr(star + 1))) {
                    nodes.push_back(&node);
                }
            }
            return files.isFolder(directory) && !files.failingListings.contains(k);
        }
        bool next() override { return ++at < static_cast<int>(nodes.size()); }
        std::wstring name() const override { return fileNamePart(node().path, false); }
        EntryKind kind() const override {
            return node().content ? EntryKind::File : EntryKind::Directory;
        }
        FileTime writeTime() const override { return node().written; }
        void close() override { nodes.clear(); }
        const Node& node() const { return *nodes.at(static_cast<std::size_t>(at)); }
        const FakeFileSystem& files;
        std::vector<const Node*> nodes;
        int at = -1;
        std::int64_t size() const override {
            return node().content ? std::ssize(*node().content) : kDirectory;
        }
    };
    struct File final : ByteFile {
        File(FakeFileSystem& owner, std::wstring path) : files(owner), k(std::move(path)) {}
        bool readOnly() const override { return false; }
        bool readAll(std::string& bytes) override {
            bytes = *files.nodes_.at(k).content;
            return !files.failingReads.contains(k);
        }
        bool replaceAll(const std::string& bytes) override {
            files.nodes_.at(k).content = bytes;
            return true;
        }
        FakeFileSystem& files;
        std::wstring k;
    };

    std::map<std::wstring, Node> nodes_;

public:
    // A rename onto a target whose copies fail fails too; it keeps the write time.
    bool renameReplacing(const std::wstring& from, const std::wstring& to) override {
        if (!copyReplacing(from, to)) {
            return false;
        }
        nodes_[key(to)].written = nodes_[key(from)].written;
        return removeFile(from);
    }
    bool removeFile(const std::wstring& path) override {
        return content(path) && nodes_.erase(key(path));
    }
    std::optional<FileFacts> fileFacts(const std::wstring& path) override {
        return content(path) ? std::optional(FileFacts{pathSize(path), nodes_[key(path)].written})
                             : std::nullopt;
    }
};

// Title, text and flags.
using ShownMessage = std::tuple<std::wstring, std::wstring, unsigned>;

// Runs a build when given one, else starts no program; reads shortcuts from
// a table, takes every text for the clipboard, and answers boxes from a
// script (OK, 1, once it runs out).
struct FakeTool : Environment,
                  SoundPlayer,
                  ToolEnd,
                  ProgramLauncher,
                  ShortcutReader,
                  Clipboard,
                  MessagePresenter {
    std::deque<int> answers;
    std::vector<ShownMessage> shown;
    std::map<std::wstring, std::wstring> variables;
    std::vector<Sound> sounds;
    int ends = 0;
    std::function<std::uint32_t()> build; // its exit code
    std::map<std::wstring, std::wstring> shortcuts;
    struct Ended final : ProgramHandle {
        explicit Ended(std::uint32_t c) : code(c) {}
        std::int64_t processId() const override { return 1; }
        std::uint32_t exitCode() const override { return code; }
        std::uint32_t code;
    };
    StartedProgram startProgram(const std::wstring&, const std::wstring&, const std::wstring&,
                                StartOptions) override {
        return build ? StartedProgram{true, std::make_unique<Ended>(build())} : StartedProgram{};
    }
    std::optional<std::wstring> readShortcutArguments(const std::wstring& path) override {
        return shortcuts.contains(path) ? std::optional(shortcuts[path]) : std::nullopt;
    }
    std::wstring environmentValue(const std::wstring& name) override { return variables[name]; }
    std::wstring programPath() override { return L"C:\\Tools\\Tarvex\\Tarvex.exe"; }
    void play(Sound sound) override { sounds.push_back(sound); }
    void endTool() override { ++ends; }
    bool setClipboardText(const std::wstring&) override { return true; }
    int showMessage(const std::wstring& title, const std::wstring& text, unsigned flags) override {
        shown.push_back({title, text, flags});
        const int answer = answers.empty() ? 1 : answers.front();
        answers.erase(answers.begin(), answers.begin() + (answers.empty() ? 0 : 1));
        return answer;
    }

    FakeFileSystem files;
    ToolServices services{files, files, *this, *this, *this, *this, *this, *this, *this};
};

// The controls as plain values, as the console program holds them.
using MemoryView = tarvex::MemoryView;

} // namespace tarvex::testing
