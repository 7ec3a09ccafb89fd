// The boxes a dropped library or object gets on an x64 compiler, and the
// copies a Yes activates; the x86 library, the mixed one and the switch to a
// stored version of its own are driven through the real program.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/library_drop.h"
#include "core/library_switch.h"
#include "fakes.h"

namespace tarvex {
namespace {

std::string generated(const char* name) {
    std::ifstream file(std::string(TARVEX_COFF_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
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
