#include <gtest/gtest.h>

#include "tool_steps.h"

namespace tarvex::e2e {
namespace {

// Runs the tool to its end whatever it shows: boxes get No (or OK), the
// window is closed. Returns the exit code.
std::optional<DWORD> runToTheEnd(const Sandbox& sandbox,
                                 const std::map<std::wstring, std::wstring>& environment) {
    ToolProcess tool;
    if (!tool.start(sandbox.toolExecutable(), environment)) {
        return std::nullopt;
    }
    const auto run = answerUntilWindow(tool, IDNO);
    return run.window ? closeWindow(tool, run.window) : tool.waitForExit();
}

TEST(BadInput, HostileIdeVariablesNeverCrashOrTouchTheLibraries) {
    Sandbox sandbox;
    const auto before = snapshot(sandbox.libraryDirectory());
    const std::wstring compiler = sandbox.compilerPath();
    const std::vector<std::map<std::wstring, std::wstring>> environments{
        {{L"PB_TOOL_Compiler", L"\"" + compiler + L"\""}},
        {{L"PB_TOOL_Compiler", compiler + L"|" + compiler + L"|x"}},
        {{L"PB_TOOL_Compiler", compiler + L"   "}},
        {{L"PB_TOOL_Compiler", std::wstring(32000, L'\\')}},
        {{L"PB_TOOL_Compiler", L"C:\\" + std::wstring(31990, L'a') + L"\\pbcompilerc.exe"}},
        {{L"PB_TOOL_Compiler", L"C:\\\u00C4rger\\\u65E5\u672C\\pbcompilerc.exe"}},
        {{L"PB_TOOL_Compiler", L"\""}},
        {{L"PB_TOOL_Compiler", compiler},
         {L"PB_TOOL_Executable", std::wstring(32000, L'.')},
         {L"PB_TOOL_MainWindow", std::wstring(32000, L'7')}},
        {{L"PB_TOOL_Compiler", compiler},
         {L"PB_TOOL_Executable", L"\"C:\\out\\\u00E9t\u00E9.DLL\" | trailing  "},
         {L"PB_TOOL_MainWindow", L"-1"}},
    };
    for (const auto& environment : environments) {
        EXPECT_EQ(runToTheEnd(sandbox, environment), 0u)
            << "PB_TOOL_Compiler of " << environment.at(L"PB_TOOL_Compiler").size()
            << " characters";
        EXPECT_EQ(snapshot(sandbox.libraryDirectory()), before);
    }
}

TEST(BadInput, OddEntriesInTheLibraryDirectoryAreTakenAsTheyAre) {
    Sandbox sandbox;
    const std::wstring library = sandbox.libraryDirectory();
    // Directories named like the backups count as backups: nothing is asked.
    for (const wchar_t* name : {L"_PB_msvcrt.lib", L"_PB_libpng.lib", L"_PB_libjpeg.lib"}) {
        ASSERT_TRUE(::CreateDirectoryW((library + name).c_str(), nullptr));
    }
    const std::wstring longest = L"_MD_" + std::wstring(255 - 4 - 11, L'x') + L"_msvcrt.lib";
    ASSERT_EQ(longest.size(), 255u);
    ASSERT_TRUE(writeBytes(library + longest, "longest name"));
    ASSERT_TRUE(writeBytes(library + L"_MD_\u00FC\u65E5_msvcrt.lib", "non-ASCII name"));
    const auto before = snapshot(sandbox.root());
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    const auto run = answerUntilWindow(tool, IDNO);

    EXPECT_TRUE(run.boxes.empty()) << "only the _UC_ copies, which need no question";
    ASSERT_NE(run.window, nullptr);
    EXPECT_EQ(closeWindow(tool, run.window), 0u);
    auto expected = before;
    const std::wstring libraries = L"PB\\PureLibraries\\Windows\\Libraries\\";
    for (const wchar_t* name : {L"_UC_libpng.lib", L"_UC_libjpeg.lib"}) {
        expected[libraries + name] = sandboxContent(L"x64", name);
    }
    expected[libraries + L"Tarvex.cfg"] = kFreshStateFile;
    expected[L"Tool\\Tarvex.ini"] =
        "\xEF\xBB\xBF\r\n[Settings]\r\nAutoClose = 0\r\n[VSver]\r\n"
        "VS 2022 = 17\r\nVS 2019 = 16\r\nVS 2017 = 15\r\nVS 2015 = 14\r\n";
    EXPECT_EQ(snapshot(sandbox.root()), expected);
}

TEST(BadInput, ALibraryDirectoryThatVanishesDuringAQuestionGivesTheCopyError) {
    Sandbox sandbox;
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));
    HWND question = tool.waitForMessageBox();
    ASSERT_NE(question, nullptr);

    removeTree(sandbox.libraryDirectory());
    answer(question, IDYES);
    const auto run = answerUntilWindow(tool, IDOK);

    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_TRUE(run.boxes[0].text.starts_with(L"Error copying from:\n'" +
                                              sandbox.libraryDirectory() + L"msvcrt.lib'"));
    EXPECT_EQ(run.window, nullptr);
    EXPECT_EQ(tool.waitForExit(), 0u);
}

} // namespace
} // namespace tarvex::e2e
