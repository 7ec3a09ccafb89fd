// The core's decisions where an end-to-end run is blind or cannot set the
// case up: failures inside the first run, the selection record, the sounds
// and the text fields the IDE hands over.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "core/library_store.h"
#include "core/library_switch.h"
#include "core/linker_snippet.h"
#include "core/record_fields.h"
#include "core/selection_record.h"
#include "core/startup.h"
#include "fakes.h"

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
        files.executableTypes[L"c:\\pb\\compilers\\pbcompilerc.exe"] = kWindows64BitExecutable;
        for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
            files.addFile(kLib + name, "PB");
        }
        for (const wchar_t* name : {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib",
                                    L"_MT_17_msvcrt.lib", L"_MT_16_msvcrt.lib"}) {
            files.addFile(kArch + name, "UCRT");
        }
    }
    // Answers: y or n for each question.
    bool prepare(const std::string& answers) {
        for (const char answer : answers) {
            messages.answers.push_back(answer == 'y' ? kAnswerYes : kAnswerNo);
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
        {L"_PB_msvcrt.lib _PB_libjpeg.lib\\ _m_msvcrt.lib", L"", "y", "1",
         taken + L"_m_msvcrt.lib "},
        {L"", L"_PB_msvcrt.lib", "y", "0", L"", kLib + L"msvcrt.lib"},
        {L"", L"_MT_16_msvcrt.lib", "yyyy", "0123", L"", kArch + L"_MT_16_msvcrt.lib"},
        {L"", L"", "yyyn", "0123", taken},
        {L"", kArch, "yyyy", "0123", taken},
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
        EXPECT_EQ(tool.messages.shown, shown);
        EXPECT_EQ(tool.ends, c.stored.empty() ? 1 : 0);
        std::wstring stored;
        for (const auto& name :
             std::set(tool.context.catalogue.begin(), tool.context.catalogue.end())) {
            stored += name + L" ";
        }
        EXPECT_EQ(stored, c.stored);
    }
}

TEST(PreparedTool, SoundsAndAFailedSwitchEndingTheToolUnrecorded) {
    Installation tool;
    testing::MemoryView view;
    tool.prepare("yyyy");
    tool.context.vsVersions = {{L"17", L"VS 2022"}};
    loadSelectionRecord(tool.context, tool.services);
    refreshUcrtVersionList(tool.context, view);
    const auto click = [&](Control button) { // a click flips the toggle before its handler runs
        view.setState(button, !view.state(button));
        return onCrtButtonClicked(tool.context, tool.services, view, button);
    };
    view.setState(Control::chkAutoClose, true);
    EXPECT_TRUE(click(Control::btnMT));
    view.setState(Control::btnPngJpeg, true);
    onPngJpegClicked(tool.context, tool.services, view);
    // The snippet's sound confirms the click even when the clipboard is held.
    for (const bool refusing : {false, true}) {
        tool.refusing = refusing;
        copyLinkerDirectives(tool.services);
    }
    EXPECT_FALSE(switchLibraries(tool.context, tool.services, view, 3));

    const auto record = tool.files.content(tool.context.statePath());
    tool.files.failCopiesTo(kLib + L"msvcrt.lib");
    EXPECT_FALSE(click(Control::btnMD));
    EXPECT_EQ(tool.messages.shown.back(), copyError(kLib + L"_MD_msvcrt.lib", L"msvcrt.lib"));
    EXPECT_EQ(tool.ends, 1);
    EXPECT_EQ(tool.files.content(tool.context.statePath()), record);
    EXPECT_EQ(tool.sounds,
              (std::vector{Sound::Information, Sound::Default, Sound::Default, Sound::Default}));
}

TEST(TextFields, PathsNumbersAndRecordFields) {
    EXPECT_EQ(directoryPart(L"\"C:\\PB\\pb.exe|C:\\Other\\x"), L"C:\\PB\\");
    EXPECT_EQ(directoryPart(L"pb.exe|C:\\Other\\x"), L"");
    EXPECT_EQ(extensionPart(L"\"C:\\Out\\app.DLL\""), L"DLL");
    for (const wchar_t* path : {L"app.", L"C:\\Out\\.hidden", L"C:/dir.d/app", L"C:\\app.d ll"}) {
        EXPECT_EQ(extensionPart(path), L"") << path;
    }
    EXPECT_EQ(leadingNumber(L"  65814x9"), 65814u);
    EXPECT_EQ(leadingNumber(L"18446744073709551616"), UINT64_MAX);
    EXPECT_EQ(decimalValue(L" \t-99999999999"), INT32_MIN);
    EXPECT_EQ(vsVersionNumber(L" VS 2022,  17 "), L"17");
}

} // namespace
} // namespace tarvex
