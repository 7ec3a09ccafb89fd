#include "formats/ini_file.h"

#include <algorithm>
#include <new>
#include <utility>

#include "formats/utf8.h"

namespace tarvex {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view withoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view withoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view withoutBlanks(std::string_view text) {
    return withoutTrailingBlanks(withoutLeadingBlanks(text));
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Only ASCII letters fold: the files are UTF-8, and folding other bytes would
// join unrelated characters.
bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::string utf8FromLatin1(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (b >> 6)));
            text.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return text;
}

// A line with its leading blanks already gone and at least one character.
IniNode parseLine(std::string_view line) {
    if (line.front() == ';') {
        line.remove_prefix(1);
        if (!line.empty() && line.front() == ' ') {
            line.remove_prefix(1);
        }
        return {IniNode::Kind::Comment, std::string(line), {}};
    }
    if (line.front() == '[') {
        line.remove_prefix(1);
        return {IniNode::Kind::Group, std::string(line.substr(0, line.find(']'))), {}};
    }
    const std::size_t equals = line.find('=');
    const std::string_view name = withoutTrailingBlanks(line.substr(0, equals));
    const std::string_view value = equals == std::string_view::npos
                                       ? std::string_view{}
                                       : withoutLeadingBlanks(line.substr(equals + 1));
    return {IniNode::Kind::Key, std::string(name), std::string(value)};
}

std::vector<IniNode> parseText(std::string_view text) {
    std::vector<IniNode> nodes;
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '\r' || text[at] == '\n') {
            ++at;
            continue;
        }
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = withoutLeadingBlanks(text.substr(at, end - at));
        if (!line.empty()) {
            nodes.push_back(parseLine(line));
        }
        at = end;
    }
    return nodes;
}

// Reads as a C runtime would: blanks, a sign, then digits up to the first
// other character. Values past the 32-bit range stop at its ends.
std::int32_t parseInteger(std::string_view text) {
    while (!text.empty() &&
           (isBlank(text.front()) || text.front() == '\v' || text.front() == '\f')) {
        text.remove_prefix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; !text.empty() && isDigit(text.front()); text.remove_prefix(1)) {
        magnitude = std::min(magnitude * 10 + (text.front() - '0'), kLimit);
    }
    const std::int64_t number = negative ? -magnitude : std::min(magnitude, kLimit - 1);
    return static_cast<std::int32_t>(number);
}

} // namespace

std::vector<IniNode> parseIniBytes(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        return parseText(bytes.substr(kByteOrderMark.size()));
    }
    return parseText(utf8FromLatin1(bytes));
}

std::string iniFileBytes(const std::vector<IniNode>& nodes) {
    std::string bytes(kByteOrderMark);
    bytes += kLineEnd;
    for (const IniNode& node : nodes) {
        switch (node.kind) {
        case IniNode::Kind::Group:
            bytes += '[';
            bytes += node.name;
            bytes += ']';
            break;
        case IniNode::Kind::Comment:
            bytes += "; ";
            bytes += node.name;
            break;
        case IniNode::Kind::Key:
            bytes += node.name;
            bytes += " = ";
            bytes += node.value;
            break;
        }
        bytes += kLineEnd;
    }
    return bytes;
}

bool IniFile::open(const std::wstring& path) {
    close();
    std::unique_ptr<ByteFile> file = files_.openForUpdate(path);
    if (!file) {
        return false;
    }
    // A file that cannot be read whole is not opened at all: taken as empty,
    // the next write would put a near-empty file over the user's settings.
    try {
        std::string bytes;
        if (!file->readAll(bytes)) {
            return false;
        }
        nodes_ = parseIniBytes(bytes);
    } catch (const std::bad_alloc&) {
        nodes_.clear();
        return false;
    }
    return takeFile(std::move(file), false);
}

bool IniFile::create(const std::wstring& path) {
    close();
    std::unique_ptr<ByteFile> file = files_.create(path);
    if (!file) {
        return false;
    }
    return takeFile(std::move(file), true);
}

bool IniFile::takeFile(std::unique_ptr<ByteFile> file, bool changed) {
    file_ = std::move(file);
    group_ = kTopLevel;
    pendingGroup_.reset();
    cursorStart_.reset();
    cursorKey_.reset();
    changed_ = changed;
    return true;
}

bool IniFile::close() {
    bool written = true;
    if (file_ && changed_ && !file_->readOnly()) {
        try {
            written = file_->replaceAll(iniFileBytes(nodes_));
        } catch (const std::bad_alloc&) {
            written = false;
        }
    }
    file_.reset();
    nodes_ = {};
    takeFile(nullptr, false);
    return written;
}

bool IniFile::selectGroup(const std::wstring& name) {
    if (!file_) {
        return false;
    }
    cursorStart_.reset();
    cursorKey_.reset();
    pendingGroup_.reset();
    if (name.empty()) {
        group_ = kTopLevel;
        return true;
    }
    std::string wanted = utf8FromUtf16(name);
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].kind == IniNode::Kind::Group && sameName(nodes_[i].name, wanted)) {
            group_ = i;
            return true;
        }
    }
    pendingGroup_ = std::move(wanted);
    return false;
}

std::size_t IniFile::groupEnd() const {
    const auto next =
        std::find_if(nodes_.begin() + static_cast<std::ptrdiff_t>(groupStart()), nodes_.end(),
                     [](const IniNode& node) { return node.kind == IniNode::Kind::Group; });
    return static_cast<std::size_t>(next - nodes_.begin());
}

std::optional<std::size_t> IniFile::findKey(std::string_view name) const {
    const std::size_t end = groupEnd();
    for (std::size_t i = groupStart(); i < end; ++i) {
        if (nodes_[i].kind == IniNode::Kind::Key && sameName(nodes_[i].name, name)) {
            return i;
        }
    }
    return std::nullopt;
}

std::wstring IniFile::readString(const std::wstring& key, const std::wstring& defaultValue) const {
    if (!file_ || pendingGroup_) {
        return defaultValue;
    }
    const std::optional<std::size_t> found = findKey(utf8FromUtf16(key));
    return found ? utf16FromUtf8(withoutBlanks(nodes_[*found].value)) : defaultValue;
}

std::int32_t IniFile::readInteger(const std::wstring& key, std::int32_t defaultValue) const {
    if (!file_ || pendingGroup_) {
        return defaultValue;
    }
    const std::optional<std::size_t> found = findKey(utf8FromUtf16(key));
    return found ? parseInteger(nodes_[*found].value) : defaultValue;
}

void IniFile::writeString(const std::wstring& key, const std::wstring& value) {
    if (!file_) {
        return;
    }
    if (pendingGroup_) {
        nodes_.push_back({IniNode::Kind::Group, std::move(*pendingGroup_), {}});
        pendingGroup_.reset();
        group_ = nodes_.size() - 1;
    }
    std::string name = utf8FromUtf16(key);
    std::string text = utf8FromUtf16(value);
    if (const std::optional<std::size_t> found = findKey(name)) {
        nodes_[*found].name = std::move(name);
        nodes_[*found].value = std::move(text);
    } else {
        // New keys go after the group's last line, so keys keep the order in
        // which they were first written.
        nodes_.insert(nodes_.begin() + static_cast<std::ptrdiff_t>(groupEnd()),
                      {IniNode::Kind::Key, std::move(name), std::move(text)});
    }
    changed_ = true;
}

void IniFile::writeInteger(const std::wstring& key, std::int32_t number) {
    writeString(key, std::to_wstring(number));
}

bool IniFile::examineKeys() {
    cursorKey_.reset();
    cursorStart_.reset();
    if (!file_ || pendingGroup_) {
        return false;
    }
    cursorStart_ = groupStart();
    return true;
}

bool IniFile::nextKey() {
    if (!cursorStart_) {
        return false;
    }
    std::size_t at = cursorKey_ ? *cursorKey_ + 1 : *cursorStart_;
    while (at < nodes_.size() && nodes_[at].kind == IniNode::Kind::Comment) {
        ++at;
    }
    if (at >= nodes_.size() || nodes_[at].kind == IniNode::Kind::Group) {
        return false;
    }
    cursorKey_ = at;
    return true;
}

std::wstring IniFile::keyName() const {
    return cursorKey_ ? utf16FromUtf8(nodes_[*cursorKey_].name) : std::wstring();
}

std::wstring IniFile::keyValue() const {
    return cursorKey_ ? utf16FromUtf8(withoutBlanks(nodes_[*cursorKey_].value)) : std::wstring();
}

} // namespace tarvex
