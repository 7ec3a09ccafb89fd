// The COFF reader, the runtime decision and the box a dropped file gets, on
// libraries that clang and LLVM's librarian made at build time and on damaged
// files made here. The x86 library, the mixed one and the switch to a stored
// version of its own are driven through the real program.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/library_drop.h"
#include "core/library_switch.h"
#include "core/runtime_needs.h"
#include "fakes.h"

namespace tarvex {
namespace {

using P = CoffProblem;

std::string generated(const std::string& name) {
    std::ifstream file(std::string(TARVEX_COFF_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

RuntimeNeeds judgeFile(const std::string& name) {
    testing::MemoryFileReader reader(generated(name));
    return judgeRuntimeNeeds(collectCoffFacts(reader));
}

TEST(RuntimeNeeds, OfLibrariesAndObjectsMadeByRealTools) {
    using N = RuntimeNeed;
    using A = Architecture;
    struct Row {
        const char* file;
        N need;
        std::array<std::uint64_t, 4> perVariant; // MD, MT, MDd, MTd
        std::uint64_t objects, imports, ltcg;
        A architecture;
        const char* visualStudio;
    };
    const Row rows[] = {
        {"mt_x64.lib", N::MT, {0, 3, 0, 0}, 3, 0, 0, A::X64, "17"},
        {"mixed_x64.lib", N::Mixed, {1, 1, 0, 0}, 4, 0, 1, A::X64, "16"},
        {"mt_x86.lib", N::MT, {0, 2, 0, 0}, 2, 0, 0, A::X86, "15"},
        {"import_x64.lib", N::None, {}, 6, 3, 0, A::X64, ""},
        {"mtd_x86.obj", N::MTd, {0, 0, 0, 1}, 1, 0, 0, A::X86, "14"},
        {"none_x64.obj", N::None, {}, 1, 0, 0, A::X64, "18"},
        // Its stamp lies beyond the section symbols of 65300 sections.
        {"bigobj_x64.obj", N::MDd, {0, 0, 1, 0}, 1, 0, 0, A::X64, ""},
    };
    for (const Row& row : rows) {
        const RuntimeNeeds n = judgeFile(row.file);
        EXPECT_EQ(std::tie(n.facts.scan.problem, n.runtime, n.facts.objectsPerVariant,
                           n.facts.objects, n.facts.importMembers, n.facts.ltcgObjects,
                           n.architecture, n.visualStudio),
                  std::make_tuple(P::None, row.need, row.perVariant, row.objects, row.imports,
                                  row.ltcg, row.architecture, std::string(row.visualStudio)))
            << row.file;
    }
}

std::string le(std::uint64_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i, value >>= 8) {
        text += static_cast<char>(value & 0xFF);
    }
    return text;
}

std::string member(std::string name, std::string size, const std::string& data) {
    name.resize(16, ' ');
    size.resize(10, ' ');
    return name + std::string(32, ' ') + size + "`\n" + data;
}

std::string coff(std::uint64_t sections, std::uint64_t symbols = 0, std::uint64_t at = 0) {
    return le(0x8664, 2) + le(sections, 2) + le(0, 4) + le(at, 4) + le(symbols, 4) + le(0, 4);
}

std::string bigObj(std::uint64_t sections) {
    const char kClass[] = "\xc7\xa1\xba\xd1\xee\xba\xa9\x4b\xaf\x20\xfa\xf6\x6a\xa4\xdc\xb8";
    return le(0xFFFF0000, 4) + le(2, 2) + le(0x8664, 2) + le(0, 4) + std::string(kClass, 16) +
           std::string(16, '\0') + le(sections, 4) + le(0, 8);
}

std::string section(std::uint64_t size, std::uint64_t at, const char* name = ".drectve") {
    return std::string(name, 8) + le(0, 8) + le(size, 4) + le(at, 4) + std::string(16, '\0');
}

TEST(CoffReader, DamagedOrForeignFilesGiveTheirProblemFromAFewReads) {
    const std::string arch = "!<arch>\n", linker = member("/", "4", "abcd");
    const std::uint64_t k4GiB = 1ull << 32;
    struct Row {
        std::string bytes;
        std::uint64_t declaredSize;
        P problem;
        std::uint64_t at;
    };
    const Row rows[] = {
        {"", 0, P::Empty, 0},
        {"Notes on the build, saved as a .lib by mistake.\n", 0, P::NotLibraryOrObject, 0},
        {arch + "/    ", 0, P::Truncated, 8},
        {arch + linker + member("a.obj/", "1x", coff(0)), 0, P::BadMemberHeader, 72},
        {arch + member("a.obj/", "9999999999", coff(0)), 0, P::MemberPastEnd, 8},
        {arch + linker + member("/0", "7", "garbage"), 0, P::UnknownMember, 72},
        {coff(0).substr(0, 12), 0, P::Truncated, 0},
        {coff(3), 0, P::SectionTablePastEnd, 0},
        {bigObj(0xFFFFFFFF), 0, P::SectionTablePastEnd, 0},
        {coff(1) + section(0xFFFFFFF0, 60), 0, P::SectionPastEnd, 0},
        {coff(1) + section(0xFFFFFFF0, 0x20), 0, P::SectionPastEnd, 0}, // wraps in 32 bits
        {coff(1) + section(0xFFFFFFFF, 0xFFFFFFFF), ~0ull, P::DirectiveTooLarge, 0},
        {coff(1, 0xFFFFFFFF, 0xFFFFFFFF) + section(0, 0), 0, P::SymbolTablePastEnd, 0},
        // Sparse: sizes that fit, over holes that read as zeros.
        {coff(1) + section(2u << 20, 60), k4GiB, P::DirectiveTooLarge, 0},
        {bigObj(100'000'000), k4GiB, P::UnnamedSection, 0},
        {arch + member("a.obj/", "4000000000", coff(0)), k4GiB, P::BadMemberHeader, 4'000'000'068},
    };
    for (const Row& row : rows) {
        testing::MemoryFileReader reader(row.bytes, row.declaredSize);
        const CoffScan scan = collectCoffFacts(reader).scan;
        EXPECT_EQ(std::tie(scan.problem, scan.problemAt), std::tie(row.problem, row.at))
            << ::testing::PrintToString(row.bytes);
        EXPECT_LT(reader.bytesRead, 16u << 10) << ::testing::PrintToString(row.bytes);
    }
}

TEST(LibraryDrop, EachFileGetsItsBoxAndAYesActivatesTheCopiesOfItsRuntime) {
    const std::wstring lib = L"C:\\PB\\Libraries\\";
    const std::wstring mt =
        L"'mt_x64.lib' was built for x64 with /MT (static, release) by VS 2022.";
    const struct {
        std::wstring file;
        std::optional<std::string> bytes; // none: the file is missing
        std::wstring stored;
        int answer;
        std::wstring text;
        unsigned flags;
        std::wstring active; // the copy a Yes made msvcrt.lib
        std::string record;
    } rows[] = {
        {L"mt_x64.lib", generated("mt_x64.lib"),
         L"_MT_msvcrt.lib _MT_16_msvcrt.lib _MD_17_msvcrt.lib", kAnswerYes,
         mt + L"\n\nSwitch to /MT now?", 0x24, L"_MT_msvcrt.lib", "17,0,3,0"},
        {L"mt_x64.lib", generated("mt_x64.lib"), L"_MT_msvcrt.lib", kAnswerNo,
         mt + L"\n\nSwitch to /MT now?", 0x24, L"", ""},
        {L"bigobj_x64.obj", generated("bigobj_x64.obj"),
         L"_MDd_msvcrt.lib _MDd_16_msvcrt.lib _MD_17_msvcrt.lib", kAnswerYes,
         L"'bigobj_x64.obj' was built for x64 with /MDd (dynamic, debug).\n\nSwitch to /MDd now?",
         0x24, L"_MDd_msvcrt.lib", "17,1,2,0"},
        {L"mt_x64.lib", generated("mt_x64.lib"), L"_MT_16_msvcrt.lib _MD_msvcrt.lib", kAnswerYes,
         L"'mt_x64.lib' needs /MT (static, release), which Tarvex has not stored for this "
         L"compiler.\n\nBuild it in the build pane first.",
         0x40, L"", ""},
        {L"import_x64.lib", generated("import_x64.lib"), L"_MT_msvcrt.lib", kAnswerYes,
         L"'import_x64.lib' needs no particular C runtime: any choice links with it.", 0x40, L"",
         ""},
        {L"ltcg_x64.obj", generated("ltcg_x64.obj"), L"_MT_msvcrt.lib", kAnswerYes,
         L"'ltcg_x64.obj' was compiled with link-time code generation (/GL): it holds no code the "
         L"PB linker can use.\n\nRebuild it without /GL.",
         0x30, L"", ""},
        {L"notes.lib", "Notes on the build.\n", L"", kAnswerYes,
         L"'notes.lib' is not a library or object file that Tarvex can read.", 0x10, L"", ""},
        {L"cut.lib", "!<arch>\n/", L"", kAnswerYes,
         L"'cut.lib' is not a library or object file that Tarvex can read: it ends inside a "
         L"header.",
         0x10, L"", ""},
        {L"gone.obj", std::nullopt, L"", kAnswerYes, L"'gone.obj' cannot be opened.", 0x10, L"",
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file + L" " + row.stored);
        testing::FakeTool tool;
        testing::MemoryView view;
        ToolContext context;
        context.architectureName = L"x64";
        context.libraryDirectory = lib;
        context.vsVersions = {{L"16", L"VS 2019"}, {L"17", L"VS 2022"}};
        tool.files.addFile(lib + L"msvcrt.lib", "PB");
        tool.files.addFile(context.statePath(), "");
        std::wistringstream stored(row.stored);
        for (std::wstring name; stored >> name; context.catalogue.insert(name)) {
            tool.files.addFile(lib + name, std::string(name.begin(), name.end()));
        }
        if (row.bytes) {
            tool.files.addFile(lib + row.file, *row.bytes);
        }
        refreshUcrtVersionList(context, view);
        tool.messages.answers = {row.answer};
        EXPECT_FALSE(onLibraryDropped(context, tool.services, view, lib + row.file));
        const testing::ShownMessage box{L"Tarvex - x64", row.text, row.flags};
        EXPECT_EQ(tool.messages.shown, std::vector{box});
        const std::wstring active = row.active.empty() ? L"PB" : row.active;
        EXPECT_EQ(tool.files.content(lib + L"msvcrt.lib"),
                  std::string(active.begin(), active.end()));
        const std::string state = *tool.files.content(context.statePath());
        EXPECT_EQ(state.find("last = " + row.record) != std::string::npos, !row.record.empty());
    }
}

} // namespace
} // namespace tarvex
