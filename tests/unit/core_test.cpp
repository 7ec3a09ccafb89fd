// The core's decisions an end-to-end run is blind to or cannot set up: first-run
// failures, the record, sounds, the IDE's text fields, and what a dropped library
// needs, read from files clang made at build time (damaged ones: the fuzz target).
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/library_drop.h"
#include "core/library_store.h"
#include "core/library_switch.h"
#include "core/linker_snippet.h"
#include "core/runtime_needs.h"
#include "core/selection_record.h"
#include "core/settings.h"
#include "core/startup.h"
#include "core/ucrt_build.h"
#include "fakes.h"
#include "test_files.h"

namespace tarvex {
namespace {

using Shown = std::vector<testing::ShownMessage>;

const std::wstring kLib = L"C:\\PB\\PureLibraries\\Windows\\Libraries\\";
const std::wstring kArch = L"C:\\Tools\\Tarvex\\x64\\";
const std::wstring kBack = L"?\n\nIf not, please change it back...";
const Shown kQuestions{
    {L"Tarvex - x64", L"Is your current 'msvcrt.lib' the original PB CRT" + kBack, 0x24},
    {L"Tarvex - x64", L"Is your current 'libpng.lib' the one that came with PB" + kBack, 0x24},
    {L"Tarvex - x64", L"Is your current 'libjpeg.lib' the one that came with PB" + kBack, 0x24},
    {L"Tarvex - x64",
     L"Do you want to copy all available UCRT libraries to PB?\n\n(" + kArch + L"_M*_msvcrt.lib)",
     0x24}};

testing::ShownMessage copyError(const std::wstring& from, const std::wstring& name) {
    return {L"Tarvex - x64",
            L"Error copying from:\n'" + from + L"'\nto:\n'" + kLib + name +
                L"'\n\n\n(Make sure that you've started the PB IDE as Administrator if UAC is "
                L"enabled!)",
            0x10};
}

// An x64 installation before its first run.
struct Installation : testing::FakeTool {
    Installation() {
        variables[L"PB_TOOL_Compiler"] = L"C:\\PB\\Compilers\\pbcompilerc.exe";
        files.executable = kWindows64BitExecutable;
        for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
            files.addFile(kLib + name, "PB");
        }
        for (const wchar_t* name : {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib",
                                    L"_MT_17_msvcrt.lib", L"_MT_16_msvcrt.lib"}) {
            files.addFile(kArch + name, "UCRT");
        }
    }
    // Replies: y or n for each question.
    bool prepare(const std::string& replies) {
        for (const char answer : replies) {
            answers.push_back(answer == 'y' ? kAnswerYes : kAnswerNo);
        }
        return prepareLibraryStore(context, services);
    }
    ToolContext context;
};

TEST(LibraryStore, DecisionsOnAnswersExistingCopiesAndFailures) {
    const std::wstring taken = L"_PB_libjpeg.lib _PB_libpng.lib _PB_msvcrt.lib _UC_libjpeg.lib "
                               L"_UC_libpng.lib ";
    const struct {
        // Stored copies there before ("\\": a folder); a copy target, or a
        // folder whose listing, fails.
        std::wstring existing, failing;
        std::string answers, asked; // the questions shown, by number
        std::wstring stored;        // what the catalogue lists; empty: the tool was ended
        std::wstring source = L"";  // of the failed copy, whose error box follows
    } cases[] = {
        {L"", L"", "n", "0", L""},
        {L"_PB_msvcrt.lib _PB_libjpeg.lib\\ _mt_msvcrt.lib", L"", "y", "1",
         taken + L"_mt_msvcrt.lib "},
        {L"", L"_PB_msvcrt.lib", "y", "0", L"", kLib + L"msvcrt.lib"},
        {L"", L"_MT_16_msvcrt.lib", "yyyy", "0123", L"", kArch + L"_MT_16_msvcrt.lib"},
        {L"", L"", "yyyn", "0123", taken},
        {L"", kArch, "yyy", "012", taken}, // nothing to copy: no UCRT question
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.existing + c.failing);
        Installation tool;
        std::wistringstream existing(c.existing);
        for (std::wstring name; existing >> name;) {
            name.ends_with(L"\\") ? tool.files.addDirectory(kLib + name)
                                  : tool.files.addFile(kLib + name, "old");
        }
        tool.files.failCopiesTo(kLib + c.failing);
        tool.files.failingListings.insert(testing::FakeFileSystem::key(c.failing));
        EXPECT_EQ(tool.prepare(c.answers), !c.stored.empty());
        Shown shown;
        for (const char question : c.asked) {
            shown.push_back(kQuestions[static_cast<std::size_t>(question - '0')]);
        }
        if (!c.source.empty()) {
            shown.push_back(copyError(c.source, c.failing));
        }
        EXPECT_EQ(tool.shown, shown);
        EXPECT_EQ(tool.ends, c.stored.empty() ? 1 : 0);
        std::wstring stored;
        for (const auto& name :
             std::set(tool.context.catalogue.begin(), tool.context.catalogue.end())) {
            stored += name + L" ";
        }
        EXPECT_EQ(tool.ends ? L"" : stored, c.stored); // an ended tool's catalogue is moot
    }
}

// Each handler confirms or refuses with its sound; a build takes in what it
// wrote only when its exit code counts the variants it built (5 to 9 are the
// script's own errors, which it has told); a failed switch ends the tool
// unrecorded.
TEST(PreparedTool, HandlersSoundBuildsTakeInOnlyWhatTheyWroteAFailedSwitchEndsTheTool) {
    Installation tool;
    testing::MemoryView view;
    tool.prepare("yyyy");
    loadSettings(tool.context, tool.services, view);
    loadSelectionRecord(tool.context, tool.services);
    refreshUcrtVersionList(tool.context, view);
    const std::wstring vs = L"C:\\VS\\", prompt = vs + L"x64 Native Tools Command Prompt.lnk";
    tool.shortcuts[prompt] = L"/k \"" + vs + L"vcvars64.bat\"";
    for (const std::wstring& dropped : {vs + L"Developer Command Prompt.lnk", prompt}) {
        registerNativeToolsShortcut(tool.context, tool.services, view, dropped);
    }
    copyLinkerDirectives(tool.services);
    const auto click = [&](Control button) { // a click flips the toggle before its handler runs
        view.setState(button, !view.state(button));
        return onCrtButtonClicked(tool.context, tool.services, view, button);
    };
    view.setState(Control::chkAutoClose, true);
    EXPECT_TRUE(click(Control::btnMT));
    view.setState(Control::btnPngJpeg, true);
    onPngJpegClicked(tool.context, tool.services, view);
    EXPECT_EQ(tool.sounds, (std::vector{Sound::Error, Sound::Default, Sound::Default,
                                        Sound::Information, Sound::Default}));

    // Each build writes _MD_18_msvcrt.lib (exit code 1: vcvarsall.bat failed
    // and wrote nothing) and gives no sound, the success or the error sound.
    const std::wstring built = L"_MD_18_msvcrt.lib";
    const std::pair<std::uint32_t, std::vector<Sound>> builds[] = {
        {2, {Sound::Default}}, {1, {Sound::Error}}, {0, {}}, {5, {}}, {9, {}},
        {3, {Sound::Default}}};
    for (const auto& [code, sounds] : builds) {
        SCOPED_TRACE(code);
        tool.sounds.clear();
        tool.shown.clear();
        tool.files.clock += 10 * kFileTimeSecond;
        const std::string bytes = "built at " + std::to_string(tool.files.clock);
        tool.build = [&, code] {
            if (code != 1) {
                tool.files.addFile(kArch + built, bytes);
            }
            return code;
        };
        buildUcrtLibraries(tool.context, tool.services, view);
        EXPECT_EQ(tool.sounds, sounds);
        EXPECT_EQ(tool.shown.size(), sounds == std::vector{Sound::Error} ? 1u : 0u);
        EXPECT_EQ(tool.files.content(kLib + built) == bytes, sounds == std::vector{Sound::Default});
    }
    // The first build made the first library of a Visual Studio the settings lacked.
    EXPECT_EQ(view.itemText(Control::cmbUcrtVersion, 0), L" VS 2026, 18");
    EXPECT_NE(tool.files.content(L"C:\\Tools\\Tarvex\\Tarvex.ini")->find("VS 2026 = 18\r\n"),
              std::string::npos);

    const auto record = tool.files.content(tool.context.statePath());
    tool.files.failCopiesTo(kLib + L"msvcrt.lib");
    EXPECT_FALSE(click(Control::btnMD));
    EXPECT_EQ(tool.shown.back(), copyError(kLib + built, L"msvcrt.lib"));
    EXPECT_EQ(tool.ends, 1);
    EXPECT_EQ(tool.files.content(tool.context.statePath()), record);
}

TEST(TextFields, PathsNumbersAndRecordFields) {
    EXPECT_EQ(directoryPart(L"\"C:\\PB\\pb.exe|C:\\Other\\x"), L"C:\\PB\\");
    EXPECT_EQ(directoryPart(L"pb.exe|C:\\Other\\x"), L"");
    EXPECT_EQ(extensionPart(L"\"C:\\Out\\app.DLL\""), L"DLL");
    for (const wchar_t* path : {L"app.", L"C:\\Out\\.hidden", L"C:/dir.d/app", L"C:\\app.d ll"}) {
        EXPECT_EQ(extensionPart(path), L"") << path;
    }
    EXPECT_EQ(asciiLowerCase(L"@AZ[\u00C4"), L"@az[\u00C4") << "A to Z only";
    EXPECT_EQ(leadingNumber(L"  65814x9"), 65814u);
    EXPECT_EQ(leadingNumber(L"18446744073709551616"), UINT64_MAX);
}

std::string generated(const testing::fs::path& name) {
    return testing::readBytes(testing::fs::path(TARVEX_COFF_TEST_DATA) / name);
}

TEST(CoffReader, FilesMadeByRealToolsGiveTheirRuntimeProcessorAndVisualStudio) {
    using N = RuntimeNeed;
    using A = Architecture;
    const std::tuple<const char*, N, A, std::string> rows[] = {
        {"mt_x64.lib", N::MT, A::X64, "17"},    {"mixed_x64.lib", N::Mixed, A::X64, "18"},
        {"mt_x86.lib", N::MT, A::X86, "16"},    {"import_x64.lib", N::None, A::X64, ""},
        {"mtd_x86.obj", N::MTd, A::X86, "15"},  {"none_x64.obj", N::None, A::X64, "14"},
        {"bigobj_x64.obj", N::MDd, A::X64, ""}, // its stamp lies beyond 65300 section symbols
    };
    for (const auto& [file, need, architecture, visualStudio] : rows) {
        testing::MemoryFileReader reader(generated(file));
        const RuntimeNeeds n = judgeRuntimeNeeds(collectCoffFacts(reader));
        EXPECT_EQ(std::tie(n.facts.scan.problem, n.runtime, n.architecture, n.visualStudio),
                  std::tuple(CoffProblem::None, need, architecture, visualStudio))
            << file;
    }
}

TEST(LibraryDrop, EachFileGetsItsBoxAndAYesActivatesTheCopiesOfItsRuntime) {
    const std::wstring lib = L"C:\\PB\\Libraries\\";
    const std::wstring mt = L"was built for x64 with /MT (static, release) by VS 2022.";
    const struct {
        std::wstring file;
        std::optional<std::string> bytes; // empty: the file clang made; none: no file
        std::wstring text;
        unsigned flags;
        std::wstring stored = L"";
        std::string active = "PB"; // what msvcrt.lib then holds: PB's own or a stored copy
        std::wstring record = L"";
        int answer = kAnswerYes;
    } rows[] = {
        {L"mt_x64.lib", "", mt + L"\n\nSwitch to /MT now?", 0x24,
         L"_MT_msvcrt.lib _MT_16_msvcrt.lib _MD_17_msvcrt.lib", "_MT_msvcrt.lib", L"17,0,3,0"},
        {L"mt_x64.lib", "", mt + L"\n\nSwitch to /MT now?", 0x24, L"_MT_msvcrt.lib", "PB", L"",
         kAnswerNo},
        {L"mt_x64.lib", "", mt + L"\n\nSwitch to /MT with VS 2022 now?", 0x24,
         L"_MT_17_msvcrt.lib _MT_msvcrt.lib", "_MT_17_msvcrt.lib", L"17,0,3,0"},
        {L"bigobj_x64.obj", "",
         L"was built for x64 with /MDd (dynamic, debug).\n\nSwitch to /MDd now?", 0x24,
         L"_MDd_msvcrt.lib _MDd_16_msvcrt.lib _MD_17_msvcrt.lib", "_MDd_msvcrt.lib", L"17,1,2,0"},
        {L"mt_x64.lib", "",
         L"needs /MT (static, release) from VS 2022 or later, which Tarvex has not stored for "
         L"this compiler.\n\nBuild it in the build pane first.",
         0x40, L"_MT_16_msvcrt.lib _MD_msvcrt.lib"},
        // A later Visual Studio's runtime links it; the lowest such one is offered.
        {L"mt_x64.lib", "", mt + L"\n\nSwitch to /MT with VS 2026 now?", 0x24,
         L"_MT_16_msvcrt.lib _MT_18_msvcrt.lib _MT_19_msvcrt.lib", "_MT_18_msvcrt.lib",
         L"18,0,3,0"},
        // Only the generic copies fit while every listed version has its own.
        {L"mt_x64.lib", "", mt + L"\n\nSwitch to /MT now?", 0x24,
         L"_MT_msvcrt.lib _MT_16_msvcrt.lib", "_MT_msvcrt.lib", L",0,3,0"},
        {L"mixed_x64.lib", "",
         L"mixes C runtimes (objects: 1 /MD, 1 /MT); no single choice fits it.\n\nRebuild it "
         L"with one runtime.",
         0x30},
        {L"mt_x86.lib", "", L"was built for x86, but the PB compiler is x64: it cannot link it.",
         0x10},
        {L"import_x64.lib", "", L"needs no particular C runtime: any choice links with it.", 0x40},
        {L"ltcg_x64.obj", "",
         L"was compiled with link-time code generation (/GL): it holds no code the PB linker can "
         L"use.\n\nRebuild it without /GL.",
         0x30},
        {L"notes.lib", "Notes on the build.\n",
         L"is not a library or object file that Tarvex can read.", 0x10},
        {L"cut.lib", "!<arch>\n/",
         L"is not a library or object file that Tarvex can read: it ends inside a header.", 0x10},
        {L"gone.obj", std::nullopt, L"cannot be opened.", 0x10},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file + L" " + row.stored);
        testing::FakeTool tool;
        testing::MemoryView view;
        ToolContext context;
        context.architectureName = L"x64";
        context.libraryDirectory = lib;
        context.vsVersions = {
            {L"16", L"VS 2019"}, {L"17", L"VS 2022"}, {L"18", L"VS 2026"}, {L"19", L"VS 20XX"}};
        tool.files.addFile(lib + L"msvcrt.lib", "PB");
        tool.files.addFile(lib + L"_PB_msvcrt.lib", "PB"); // the active runtime is PB's own
        context.catalogue.insert(L"_PB_msvcrt.lib");
        tool.files.addFile(context.statePath(), "");
        std::wistringstream stored(row.stored);
        for (std::wstring name; stored >> name; context.catalogue.insert(name)) {
            tool.files.addFile(lib + name, std::string(name.begin(), name.end()));
        }
        if (row.bytes) {
            tool.files.addFile(lib + row.file,
                               row.bytes->empty() ? generated(row.file) : *row.bytes);
        }
        refreshUcrtVersionList(context, view);
        tool.answers = {row.answer};
        EXPECT_FALSE(onLibraryDropped(context, tool.services, view, lib + row.file));
        const testing::ShownMessage box{L"Tarvex - x64", L"'" + row.file + L"' " + row.text,
                                        row.flags};
        EXPECT_EQ(tool.shown, std::vector{box});
        EXPECT_EQ(tool.files.content(lib + L"msvcrt.lib"), row.active);
        EXPECT_EQ(context.selectionRecord, row.record);
        testing::MemoryView restarted; // the record shows the same choice again
        refreshUcrtVersionList(context, restarted);
        restoreSelection(context, restarted);
        for (const Control c : {Control::btnMD, Control::btnMT, Control::chkDebug}) {
            EXPECT_EQ(restarted.state(c), view.state(c));
        }
        EXPECT_EQ(restarted.selectedItem(Control::cmbUcrtVersion),
                  view.selectedItem(Control::cmbUcrtVersion));
    }
}

} // namespace
} // namespace tarvex
