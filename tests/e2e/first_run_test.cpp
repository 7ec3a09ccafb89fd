// Start-up of the real Tarvex.exe: the first-run questions and copies, the
// single-instance lock, the IDE's variables and the owner window.
#include <gtest/gtest.h>

#include "driver.h"

namespace tarvex::e2e {
namespace {

std::vector<MessageBoxView> firstRunQuestions(const Sandbox& sandbox, Bitness bitness) {
    const std::wstring back = L"?\n\nIf not, please change it back...";
    std::vector<MessageBoxView> boxes;
    for (const auto& text : {L"Is your current 'msvcrt.lib' the original PB CRT" + back,
                             L"Is your current 'libpng.lib' the one that came with PB" + back,
                             L"Is your current 'libjpeg.lib' the one that came with PB" + back,
                             L"Do you want to copy all available UCRT libraries to PB?\n\n(" +
                                 sandbox.architectureDirectory(bitness) + L"_M*_msvcrt.lib)"}) {
        boxes.push_back({L"Tarvex - " + architectureName(bitness), text, {IDYES, IDNO}});
    }
    return boxes;
}

class FirstRun : public ::testing::TestWithParam<Bitness> {};

TEST_P(FirstRun, YesToEveryQuestionStoresByteIdenticalCopiesAndLaterStartsAskNothing) {
    const Bitness bitness = GetParam();
    const std::wstring architecture = architectureName(bitness);
    Sandbox sandbox({.compiler = bitness});
    fs::create_directory(sandbox.architectureDirectory(bitness) + L"_MTd_17_msvcrt.lib");
    for (const auto& answers : {std::vector{IDYES}, std::vector{IDNO}}) {
        const auto before = snapshot(sandbox.root());
        ToolProcess tool;
        ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));
        const auto run = answerUntilWindow(tool, answers);
        ASSERT_NE(run.window, nullptr);
        EXPECT_EQ(windowText(run.window), L"Tarvex - " + architecture);
        EXPECT_EQ(closeWindow(tool, run.window), 0u);
        if (answers[0] == IDNO) {
            EXPECT_TRUE(run.boxes.empty());
            EXPECT_EQ(snapshot(sandbox.root()), before) << "a later start writes nothing";
            break;
        }
        EXPECT_EQ(run.boxes, firstRunQuestions(sandbox, bitness));
        std::map<std::wstring, std::string> library{{L"Tarvex.cfg", stateFile("0,0,1,0")}};
        for (const wchar_t* name : {L"msvcrt.lib", L"libpng.lib", L"libjpeg.lib"}) {
            library[name] = library[std::wstring(L"_PB_") + name] = sandboxContent(L"PB", name);
        }
        for (const wchar_t* name :
             {L"_UC_libpng.lib", L"_UC_libjpeg.lib", L"_MD_msvcrt.lib", L"_MT_msvcrt.lib",
              L"_MDd_msvcrt.lib", L"_MTd_msvcrt.lib", L"_MD_17_msvcrt.lib", L"_MT_16_msvcrt.lib"}) {
            library[name] = sandboxContent(architecture, name);
        }
        EXPECT_EQ(snapshot(sandbox.libraryDirectory()), library) << "folders are not copied";
        EXPECT_EQ(readBytes(sandbox.toolDirectory() + L"Tarvex.ini"), settingsFile("0"));
    }
}

INSTANTIATE_TEST_SUITE_P(Compilers, FirstRun, ::testing::Values(Bitness::X86, Bitness::X64));

TEST(FirstRunAnswers, NoEndsTheToolNoToTheUcrtQuestionAsksAgainAndAFailedCopyEnds) {
    const struct {
        std::vector<int> answers;
        std::size_t boxes;
        bool window;
    } starts[] = {{{IDNO}, 1, false}, {{IDYES, IDYES, IDYES, IDNO}, 4, true}, {{IDNO}, 1, true}};
    Sandbox sandbox;
    const auto untouched = snapshot(sandbox.root());
    const auto questions = firstRunQuestions(sandbox, Bitness::X64);
    for (const auto& start : starts) {
        ToolProcess tool;
        ASSERT_TRUE(tool.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));
        const auto run = answerUntilWindow(tool, start.answers);
        ASSERT_EQ(run.boxes.size(), start.boxes);
        EXPECT_EQ(run.boxes.back(), questions[start.window ? 3 : 0]);
        EXPECT_EQ(run.window ? closeWindow(tool, run.window) : tool.waitForExit(), 0u);
        EXPECT_EQ(run.window != nullptr, start.window);
        EXPECT_TRUE(start.window || snapshot(sandbox.root()) == untouched);
    }
    EXPECT_FALSE(pathExists(sandbox.libraryDirectory() + L"_MD_msvcrt.lib"));

    Sandbox failing;
    fs::remove(failing.architectureDirectory(Bitness::X64) + L"_UC_libpng.lib");
    ToolProcess tool;
    ASSERT_TRUE(tool.start(failing.toolExecutable(), failing.ideEnvironment()));
    const auto run = answerUntilWindow(tool, IDYES);
    ASSERT_EQ(run.boxes.size(), 4u);
    EXPECT_EQ(run.boxes[3].text,
              copyErrorText(failing.architectureDirectory(Bitness::X64) + L"_UC_libpng.lib",
                            failing.libraryDirectory() + L"_UC_libpng.lib"));
    EXPECT_EQ(run.boxes[3].buttons, std::vector{IDOK});
    EXPECT_EQ(tool.waitForExit(), 0u);
    EXPECT_EQ(snapshot(failing.libraryDirectory()).size(), 6u) << "the three backups stay";
}

TEST(Startup, HostileVariablesTheIdeNoticeTheSingleInstanceLockAndTheOwnerWindow) {
    Sandbox sandbox;
    const auto untouched = snapshot(sandbox.root());
    const std::wstring compiler = sandbox.compilerPath();
    for (const std::map<std::wstring, std::wstring>& variables :
         {std::map<std::wstring, std::wstring>{},
          {{L"PB_TOOL_Compiler", std::wstring(32000, L'\\')}},
          {{L"PB_TOOL_Compiler", L"\""}},
          {{L"PB_TOOL_Compiler", compiler + L"|" + compiler + L"|x"},
           {L"PB_TOOL_Executable", std::wstring(32000, L'.')},
           {L"PB_TOOL_MainWindow", std::wstring(32000, L'7')}}}) {
        ToolProcess tool;
        ASSERT_TRUE(tool.start(sandbox.toolExecutable(), variables));
        const auto run = answerUntilWindow(tool, IDNO);
        EXPECT_EQ(run.window, nullptr);
        EXPECT_EQ(tool.waitForExit(), 0u);
        EXPECT_EQ(snapshot(sandbox.root()), untouched);
        if (variables.empty()) {
            EXPECT_EQ(run.boxes, (std::vector<MessageBoxView>{
                                     {L"Tarvex",
                                      L"This program can only run inside the PB IDE!\n\nHowto:\t'"
                                      L"Tools\\Configure Tools...\\New'\n\n\n(Make sure that "
                                      L"you've started the PB IDE as Administrator if UAC is "
                                      L"enabled!)",
                                      {IDOK}}}));
        }
    }

    UniqueWindow ide(::CreateWindowExW(0, L"STATIC", L"IDE", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr));
    // The owner the window gets; HWND_BOTTOM: a number that names no window
    // ends the tool silently.
    const std::pair<std::wstring, HWND> owners[] = {
        {std::to_wstring(reinterpret_cast<std::uintptr_t>(ide.get())), ide.get()},
        {L"main window", nullptr},
        {L"987654321", HWND_BOTTOM},
        {L"99999999999999999999", HWND_BOTTOM}};
    for (const auto& [owner, expected] : owners) {
        auto variables = sandbox.ideEnvironment();
        variables[L"PB_TOOL_MainWindow"] = owner;
        ToolProcess tool;
        ASSERT_TRUE(tool.start(sandbox.toolExecutable(), variables));
        const auto run = answerUntilWindow(tool, IDYES);
        if (!run.window) {
            EXPECT_EQ(expected, HWND_BOTTOM);
            EXPECT_EQ(tool.waitForExit(), 0u);
            continue;
        }
        EXPECT_EQ(::GetWindow(run.window, GW_OWNER), expected);
        const auto state = snapshot(sandbox.root());
        ToolProcess second;
        ASSERT_TRUE(second.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));
        EXPECT_EQ(second.waitForExit(), 0u) << "a second copy ends at once";
        EXPECT_TRUE(tool.running());
        EXPECT_EQ(closeWindow(tool, run.window), 0u);
        EXPECT_EQ(snapshot(sandbox.root()), state);
    }
}

} // namespace
} // namespace tarvex::e2e
