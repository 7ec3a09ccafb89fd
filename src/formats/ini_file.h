// The one reader and writer of the tool's INI files. The whole file is read
// on open, kept as an ordered list of lines, and written back whole on close,
// so groups, keys and comments the tool does not use survive a rewrite.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_file.h"

namespace tarvex {

// One line of an INI file. Texts are UTF-8.
struct IniNode {
    enum class Kind { Group, Comment, Key };
    Kind kind;
    std::string name; // group or key name, comment text
    std::string value;
    bool operator==(const IniNode&) const = default;
};

// The lines of a file's bytes: UTF-8 after a byte order mark, else Latin-1.
std::vector<IniNode> parseIniBytes(std::string_view bytes);
// The bytes a list of lines is written as: UTF-8 with a byte order mark, every
// line ended by CR LF.
std::string iniFileBytes(const std::vector<IniNode>& nodes);

class IniFile {
public:
    explicit IniFile(ByteFileService& files) : files_(files) {}
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;
    ~IniFile() { close(); }

    bool open(const std::wstring& path);
    bool create(const std::wstring& path);
    // An empty name selects the keys before the first group. A missing group
    // becomes pending: reads give their defaults until a write creates it.
    bool selectGroup(const std::wstring& name);
    std::wstring readString(const std::wstring& key, const std::wstring& defaultValue) const;
    std::int32_t readInteger(const std::wstring& key, std::int32_t defaultValue) const;
    void writeString(const std::wstring& key, const std::wstring& value);
    void writeInteger(const std::wstring& key, std::int32_t number);
    bool examineKeys();
    bool nextKey();
    std::wstring keyName() const;
    std::wstring keyValue() const;
    // Writes the file back if it changed and may be written, then releases
    // it. False only when a needed write failed (the old file is then kept).
    bool close();

private:
    static constexpr std::size_t kTopLevel = static_cast<std::size_t>(-1);

    std::size_t groupStart() const { return group_ == kTopLevel ? 0 : group_ + 1; }
    std::size_t groupEnd() const;
    std::optional<std::size_t> findKey(std::string_view name) const;
    bool takeFile(std::unique_ptr<ByteFile> file, bool changed);

    ByteFileService& files_;
    std::unique_ptr<ByteFile> file_;
    std::vector<IniNode> nodes_;
    std::size_t group_ = kTopLevel;
    std::optional<std::string> pendingGroup_;
    std::optional<std::size_t> cursorStart_; // set by examineKeys
    std::optional<std::size_t> cursorKey_;
    bool changed_ = false;
};

} // namespace tarvex
