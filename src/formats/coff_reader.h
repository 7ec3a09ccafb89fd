// The objects of a library (.lib) or object file (.obj) that Visual Studio's
// linker takes: their processor, linker directives and compiler stamp, read
// from the headers alone so that large libraries cost a few reads per member.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_file.h"

namespace tarvex {

enum class CoffProblem {
    None,
    Empty,
    NotLibraryOrObject,
    ReadFailed,
    // A header cut short by the end of the file or of its archive member.
    Truncated,
    // An archive member header without its end mark or with a size that is
    // not a decimal number.
    BadMemberHeader,
    MemberPastEnd,
    // An archive member that is neither an object nor an import member.
    UnknownMember,
    SectionTablePastEnd,
    // A section header with no name: no compiler writes one, but the holes of
    // a damaged or sparse file read as such.
    UnnamedSection,
    SectionPastEnd,
    SymbolTablePastEnd,
    DirectiveTooLarge,
};

enum class CoffKind {
    Coff,
    BigObj,
    // Code generation left to the linker: cl /GL's objects and LLVM bitcode.
    // Their directives are inside the compiler's own data.
    Ltcg,
    // An import library's short member, naming one function of a DLL.
    Import,
    // An anonymous object of a kind not known here.
    OtherAnonymous,
};

// One object as the reader meets it.
struct CoffObject {
    CoffKind kind = CoffKind::Coff;
    // IMAGE_FILE_MACHINE_*; 0 when the object does not say.
    std::uint16_t machine = 0;
    // The tokens of every .drectve section, quotes removed.
    std::vector<std::string> directives;
    // The value of the symbol @comp.id: the compiler's product id in the high
    // half and its build number in the low half.
    std::optional<std::uint32_t> compId;
};

struct CoffScan {
    CoffProblem problem = CoffProblem::None;
    // Where the problem lies: the offset of the archive member's header, or
    // of the file's own header (0).
    std::uint64_t problemAt = 0;
};

using CoffObjectVisitor = std::function<void(const CoffObject&)>;

// Calls `visit` for each object in file order, member by member, then
// reports the first problem, which ends the reading.
CoffScan readCoff(FileReader& file, const CoffObjectVisitor& visit);

// The tokens of linker directives: blank-separated, double quotes group blanks
// and are dropped.
void splitDirectives(std::string_view text, std::vector<std::string>& tokens);

} // namespace tarvex
