#include "formats/coff_reader.h"

#include "formats/block_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarvex {
namespace {

constexpr std::string_view kArchiveMagic = "!<arch>\n";
constexpr std::uint64_t kMemberHeaderSize = 60;
constexpr std::uint64_t kCoffHeaderSize = 20;
constexpr std::uint64_t kBigObjHeaderSize = 56;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kHeadBytes = 4096;
// More directives than this in one object exist only in damaged files; the
// cap keeps one member from costing more memory than a handful of real ones.
constexpr std::uint64_t kDirectiveLimit = 1u << 20;
// cl writes @comp.id as the first symbol; other tools put it after their
// section symbols. The bound keeps a huge symbol table from being read whole.
constexpr std::uint64_t kSymbolScanBytes = 64u << 10;

// The ClassIDs of anonymous objects, as stored: /bigobj's and /GL's.
constexpr std::array<unsigned char, 16> kBigObjClass = {
    0xc7, 0xa1, 0xba, 0xd1, 0xee, 0xba, 0xa9, 0x4b, 0xaf, 0x20, 0xfa, 0xf6, 0x6a, 0xa4, 0xdc, 0xb8};
constexpr std::array<unsigned char, 16> kLtcgClass = {
    0x38, 0xfe, 0xb3, 0x0c, 0xa5, 0xd9, 0xab, 0x4d, 0xac, 0x9b, 0xd6, 0xb6, 0x22, 0x26, 0x53, 0xc2};

// The machines a plain object may name; any other number in a file's first
// two bytes means it is no object (a text file, say).
constexpr std::array<std::uint16_t, 12> kKnownMachines = {
    0x014c, 0x8664, 0x01c0, 0x01c2, 0x01c4, 0xaa64, 0xa641, 0xa64e, 0x0200, 0x0166, 0x5064, 0x0ebc};

// Thrown inside this file only: readCoff turns it into its result.
struct Fault {
    CoffProblem problem;
};

[[noreturn]] void fail(CoffProblem problem) {
    throw Fault{problem};
}

std::uint16_t u16(const char* at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(at[0]) |
                                      static_cast<unsigned char>(at[1]) << 8);
}

std::uint32_t u32(const char* at) {
    return static_cast<std::uint32_t>(u16(at) | static_cast<std::uint32_t>(u16(at + 2)) << 16);
}

bool sameBytes(const char* at, const std::array<unsigned char, 16>& expected) {
    return std::memcmp(at, expected.data(), expected.size()) == 0;
}

// A stretch of the file, an archive member's data or the whole file; reads
// past its end fail with the problem the caller names. Reads within `head`,
// its first bytes when already read, cost no call.
class Region {
public:
    Region(FileReader& file, std::uint64_t start, std::uint64_t size, std::string_view head = {})
        : file_(file), start_(start), size_(size), head_(head) {}

    std::uint64_t size() const { return size_; }
    bool holds(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }
    void read(std::uint64_t offset, char* buffer, std::uint64_t count, CoffProblem pastEnd) const {
        if (!holds(offset, count)) {
            fail(pastEnd);
        }
        if (count <= head_.size() && offset <= head_.size() - count) {
            head_.copy(buffer, static_cast<std::size_t>(count), static_cast<std::size_t>(offset));
        } else if (!file_.readAt(start_ + offset, buffer, static_cast<std::size_t>(count))) {
            fail(CoffProblem::ReadFailed);
        }
    }

private:
    FileReader& file_;
    std::uint64_t start_;
    std::uint64_t size_;
    std::string_view head_;
};

// Where a plain or big object keeps its tables, relative to its start.
struct ObjectLayout {
    std::uint64_t sectionTable, sections, symbolTable, symbols, symbolSize;
};

// `budget` is what the object's directive sections may still hold together:
// section headers may all point at the same bytes, and reading those again
// for each would multiply a small file's cost.
void readDirectiveSection(const Region& object, const char* header, std::uint64_t& budget,
                          CoffObject& facts) {
    const std::uint64_t size = u32(header + 16), at = u32(header + 20);
    if (size == 0) {
        return;
    }
    if (!object.holds(at, size)) {
        fail(CoffProblem::SectionPastEnd);
    }
    if (size > budget) {
        fail(CoffProblem::DirectiveTooLarge);
    }
    budget -= size;
    std::string text(static_cast<std::size_t>(size), '\0');
    object.read(at, text.data(), size, CoffProblem::SectionPastEnd);
    splitDirectives(text, facts.directives);
}

void readSections(const Region& object, const ObjectLayout& layout, CoffObject& facts) {
    if (!object.holds(layout.sectionTable, layout.sections * kSectionHeaderSize)) {
        fail(CoffProblem::SectionTablePastEnd);
    }
    constexpr std::uint64_t kBatch = 64;
    std::array<char, kBatch * kSectionHeaderSize> headers;
    std::uint64_t budget = std::min(kDirectiveLimit, object.size());
    for (std::uint64_t first = 0; first < layout.sections; first += kBatch) {
        const std::uint64_t count = std::min(kBatch, layout.sections - first);
        object.read(layout.sectionTable + first * kSectionHeaderSize, headers.data(),
                    count * kSectionHeaderSize, CoffProblem::SectionTablePastEnd);
        for (std::uint64_t i = 0; i < count; ++i) {
            const char* header = headers.data() + i * kSectionHeaderSize;
            if (header[0] == '\0') {
                fail(CoffProblem::UnnamedSection);
            }
            if (std::memcmp(header, ".drectve", 8) == 0) {
                readDirectiveSection(object, header, budget, facts);
            }
        }
    }
}

std::optional<std::uint32_t> findCompId(const Region& object, const ObjectLayout& layout) {
    if (!object.holds(layout.symbolTable, layout.symbols * layout.symbolSize)) {
        fail(CoffProblem::SymbolTablePastEnd);
    }
    const std::uint64_t scanned = std::min(layout.symbols, kSymbolScanBytes / layout.symbolSize);
    constexpr std::uint64_t kBatch = 200;
    std::array<char, kBatch * 20> records;
    // A symbol's auxiliary records may run into the next batch.
    for (std::uint64_t first = 0, next = 0; first < scanned; first += kBatch) {
        const std::uint64_t count = std::min(kBatch, scanned - first);
        object.read(layout.symbolTable + first * layout.symbolSize, records.data(),
                    count * layout.symbolSize, CoffProblem::SymbolTablePastEnd);
        for (; next < first + count; ++next) {
            const char* record = records.data() + (next - first) * layout.symbolSize;
            if (std::memcmp(record, "@comp.id", 8) == 0) {
                return u32(record + 8);
            }
            next += static_cast<unsigned char>(record[layout.symbolSize - 1]);
        }
    }
    return std::nullopt;
}

CoffObject readLaidOutObject(const Region& object, const ObjectLayout& layout, CoffKind kind,
                             std::uint16_t machine) {
    CoffObject facts{kind, machine, {}, std::nullopt};
    readSections(object, layout, facts);
    if (layout.symbols != 0) {
        facts.compId = findCompId(object, layout);
    }
    return facts;
}

CoffObject readAnonymousObject(const Region& object, const char* header, std::uint64_t got) {
    const std::uint16_t version = u16(header + 4), machine = u16(header + 6);
    if (got < 8) {
        fail(CoffProblem::Truncated);
    }
    if (version == 0) {
        return {CoffKind::Import, machine, {}, std::nullopt};
    }
    if (got < 28) {
        fail(CoffProblem::Truncated);
    }
    if (sameBytes(header + 12, kLtcgClass)) {
        return {CoffKind::Ltcg, machine, {}, std::nullopt};
    }
    if (version < 2 || !sameBytes(header + 12, kBigObjClass)) {
        return {CoffKind::OtherAnonymous, machine, {}, std::nullopt};
    }
    if (got < kBigObjHeaderSize) {
        fail(CoffProblem::Truncated);
    }
    return readLaidOutObject(
        object, {kBigObjHeaderSize, u32(header + 44), u32(header + 48), u32(header + 52), 20},
        CoffKind::BigObj, machine);
}

bool isBitcode(const char* header, std::uint64_t got) {
    return got >= 4 && (std::memcmp(header, "BC\xC0\xDE", 4) == 0 ||
                        std::memcmp(header, "\xDE\xC0\x17\x0B", 4) == 0);
}

CoffObject readObject(const Region& object, CoffProblem unknown) {
    std::array<char, kBigObjHeaderSize> header{};
    const std::uint64_t got = std::min<std::uint64_t>(header.size(), object.size());
    object.read(0, header.data(), got, CoffProblem::Truncated);
    if (isBitcode(header.data(), got)) {
        return {CoffKind::Ltcg, 0, {}, std::nullopt};
    }
    if (got >= 4 && u16(header.data()) == 0 && u16(header.data() + 2) == 0xFFFF) {
        return readAnonymousObject(object, header.data(), got);
    }
    const std::uint16_t machine = got >= 2 ? u16(header.data()) : 0;
    if (std::find(kKnownMachines.begin(), kKnownMachines.end(), machine) == kKnownMachines.end()) {
        fail(unknown);
    }
    if (got < kCoffHeaderSize) {
        fail(CoffProblem::Truncated);
    }
    const ObjectLayout layout{kCoffHeaderSize + u16(header.data() + 16), u16(header.data() + 2),
                              u32(header.data() + 8), u32(header.data() + 12), 18};
    return readLaidOutObject(object, layout, CoffKind::Coff, machine);
}

// The member's size: decimal digits, then blanks.
std::uint64_t memberSize(const char* field) {
    std::uint64_t size = 0;
    std::size_t i = 0;
    for (; i < 10 && field[i] >= '0' && field[i] <= '9'; ++i) {
        size = size * 10 + static_cast<std::uint64_t>(field[i] - '0');
    }
    if (i == 0 || std::any_of(field + i, field + 10, [](char c) { return c != ' '; })) {
        fail(CoffProblem::BadMemberHeader);
    }
    return size;
}

// Every archive walk goes member header to member header, so a library of
// thousands of members costs a few small reads for each.
class ArchiveWalk {
public:
    ArchiveWalk(FileReader& file, const CoffObjectVisitor& visit) : file_(file), visit_(visit) {}

    void run(std::uint64_t& at) {
        for (at = kArchiveMagic.size(); at < file_.size();) {
            at = readMember(at);
        }
    }

private:
    std::uint64_t readMember(std::uint64_t at) {
        // The member header and the start of its object in one call: an
        // object's header, section table and directives usually lie there.
        std::array<char, kMemberHeaderSize + kHeadBytes> block;
        const std::uint64_t got = std::min<std::uint64_t>(block.size(), file_.size() - at);
        Region(file_, at, file_.size() - at)
            .read(0, block.data(), std::max(got, kMemberHeaderSize), CoffProblem::Truncated);
        const char* header = block.data();
        if (header[58] != '`' || header[59] != '\n') {
            fail(CoffProblem::BadMemberHeader);
        }
        const std::uint64_t size = memberSize(header + 48);
        const std::uint64_t start = at + kMemberHeaderSize;
        if (size > file_.size() - start) {
            fail(CoffProblem::MemberPastEnd);
        }
        // "/", "//" and the like are the linker's indexes and the long
        // names; "/123" is a member whose name is among the long names.
        if (header[0] != '/' || (header[1] >= '0' && header[1] <= '9')) {
            const std::string_view head(
                block.data() + kMemberHeaderSize,
                static_cast<std::size_t>(std::min(got - kMemberHeaderSize, size)));
            visit_(readObject(Region(file_, start, size, head), CoffProblem::UnknownMember));
        }
        // Member data starts on an even offset.
        return start + size + (size & 1);
    }

    FileReader& file_;
    const CoffObjectVisitor& visit_;
};

bool isArchive(FileReader& file) {
    std::array<char, kArchiveMagic.size()> magic;
    return file.size() >= magic.size() && file.readAt(0, magic.data(), magic.size()) &&
           std::string_view(magic.data(), magic.size()) == kArchiveMagic;
}

} // namespace

void splitDirectives(std::string_view text, std::vector<std::string>& tokens) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::string token;
    bool quoted = false, inToken = false;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
        if (blank && !quoted) {
            if (inToken) {
                tokens.push_back(std::move(token));
                token.clear();
            }
            inToken = false;
        } else {
            inToken = true;
            if (c == '"') {
                quoted = !quoted;
            } else {
                token += c;
            }
        }
    }
    if (inToken) {
        tokens.push_back(std::move(token));
    }
}

CoffScan readCoff(FileReader& unblocked, const CoffObjectVisitor& visit) {
    BlockReader file(unblocked);
    CoffScan scan;
    if (file.size() == 0) {
        scan.problem = CoffProblem::Empty;
        return scan;
    }
    std::uint64_t at = 0;
    try {
        if (isArchive(file)) {
            ArchiveWalk(file, visit).run(at);
        } else {
            visit(readObject(Region(file, 0, file.size()), CoffProblem::NotLibraryOrObject));
        }
    } catch (const Fault& fault) {
        scan = {fault.problem, at};
    }
    return scan;
}

} // namespace tarvex
