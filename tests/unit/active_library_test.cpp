// Active libraries that changed under the tool: the files win over the record,
// an unknown one is asked about before anything replaces it, a failed copy
// leaves it whole.
#include <gtest/gtest.h>

#include "core/library_store.h"
#include "core/library_switch.h"
#include "core/selection_record.h"
#include "core/startup.h"
#include "fakes.h"

namespace tarvex {
namespace {

using Files = std::map<std::wstring, std::optional<std::string>>; // none: missing

const std::wstring kLib = L"C:\\PB\\PureLibraries\\Windows\\Libraries\\";
const Files kSettled{{L"msvcrt.lib", "PB crt"},       {L"_PB_msvcrt.lib", "PB crt"},
                     {L"libpng.lib", "PB png"},       {L"_PB_libpng.lib", "PB png"},
                     {L"libjpeg.lib", "PB jpeg"},     {L"_PB_libjpeg.lib", "PB jpeg"},
                     {L"_UC_libpng.lib", "UC png"},   {L"_UC_libjpeg.lib", "UC jpeg"},
                     {L"_MT_17_msvcrt.lib", "MT crt"}};

std::string state(const std::string& record) {
    return "\xEF\xBB\xBF\r\n[Settings]\r\nlast = " + record + "\r\n";
}

TEST(ActiveLibraries, FilesWinOverTheRecordUnknownOnesAreAskedAboutCopiesLeaveThemWhole) {
    const struct {
        std::string record, answers; // the record before the start; y or n to each question
        Files changed, after;        // written a second after the settled folder; then, besides it
        std::wstring asked, failing; // the library asked about; a copy target failing on /MT
        std::string recordAfter;     // empty: the tool ended
    } rows[] = {
        // PB's msvcrt.lib put back by hand under a /MT record
        {"17,0,3,0", "", Files{{L"msvcrt.lib", "PB crt"}, {L"libpng.lib", "UC png"}}, Files{}, L"",
         L"", "0,0,1,0"},
        {"0,0,1,0", "n", Files{{L"msvcrt.lib", "new PB crt"}}, Files{{L"_PB_msvcrt.lib.old", {}}},
         L"msvcrt.lib", L"", ""},
        // The size of a stored copy, other bytes
        {"0,0,1,0", "y", Files{{L"libpng.lib", "PB pnG"}},
         Files{{L"_PB_libpng.lib", "PB pnG"}, {L"_PB_libpng.lib.old", "PB png"}}, L"libpng.lib",
         L"", "0,0,1,0"},
        // The copy fails halfway; the rename fails
        {"0,0,1,0", "", Files{{L"msvcrt.lib.tarvex", "MT"}}, Files{{L"msvcrt.lib.tarvex", {}}}, L"",
         L"msvcrt.lib.tarvex", ""},
        {"0,0,1,0", "", Files{}, Files{{L"msvcrt.lib.tarvex", {}}}, L"", L"msvcrt.lib", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.record + " " + row.answers);
        testing::FakeTool tool;
        tool.variables[L"PB_TOOL_Compiler"] = L"C:\\PB\\Compilers\\pbcompilerc.exe";
        tool.files.executable = kWindows64BitExecutable;
        tool.files.addFile(kLib + L"Tarvex.cfg", state(row.record));
        for (const auto& [name, bytes] : kSettled) {
            tool.files.addFile(kLib + name, *bytes);
        }
        tool.files.clock += kFileTimeSecond;
        Files expected = kSettled;
        for (const auto& [name, bytes] : row.changed) {
            tool.files.addFile(kLib + name, *(expected[name] = bytes));
        }
        for (const auto& [name, bytes] : row.after) {
            expected[name] = bytes;
        }
        for (const char answer : row.answers) {
            tool.answers.push_back(answer == 'y' ? kAnswerYes : kAnswerNo);
        }
        tool.files.failCopiesTo(kLib + row.failing);
        ToolContext context;
        testing::MemoryView view;
        if (prepareTool(context, tool.services)) {
            context.vsVersions = {{L"17", L"VS 2022"}};
            refreshUcrtVersionList(context, view);
            restoreSelection(context, view);
            EXPECT_TRUE(view.state(Control::btnPB) && !view.state(Control::btnMT));
        }
        std::vector<testing::ShownMessage> shown;
        if (!row.asked.empty()) {
            shown.push_back({L"Tarvex - x64",
                             L"'" + row.asked +
                                 L"' is none of the copies Tarvex keeps, for example after PB was "
                                 L"updated or reinstalled.\n\n" +
                                 backupQuestion(row.asked),
                             0x24});
        }
        if (!row.failing.empty()) {
            view.setState(Control::btnMT, true);
            onCrtButtonClicked(context, tool.services, view, Control::btnMT);
            shown.push_back({L"Tarvex - x64",
                             copyErrorText(kLib + L"_MT_17_msvcrt.lib", kLib + L"msvcrt.lib"),
                             0x10});
            expected[L"libpng.lib"] = "UC png"; // copied before msvcrt.lib failed
            expected[L"libjpeg.lib"] = "UC jpeg";
        }
        EXPECT_EQ(tool.shown, shown);
        EXPECT_EQ(tool.ends, row.recordAfter.empty() ? 1 : 0);
        for (const auto& [name, bytes] : expected) {
            EXPECT_EQ(tool.files.content(kLib + name), bytes) << name;
        }
        const std::string record = row.recordAfter.empty() ? row.record : row.recordAfter;
        EXPECT_EQ(tool.files.content(kLib + L"Tarvex.cfg"), state(record));
    }
}

} // namespace
} // namespace tarvex
