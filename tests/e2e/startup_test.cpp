#include <gtest/gtest.h>

#include "tool_steps.h"

namespace tarvex::e2e {
namespace {

TEST(Startup, StartedByHandShowsOnlyTheIdeNoticeAndCreatesNoFile) {
    Sandbox sandbox;
    const auto before = snapshot(sandbox.root());
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), {}));

    const auto run = answerUntilWindow(tool, IDOK);

    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].title, L"Tarvex");
    EXPECT_EQ(run.boxes[0].text, L"This program can only run inside the PB IDE!\n\nHowto:\t'Tools"
                                 L"\\Configure Tools...\\New'\n\n\n" +
                                     kAdministratorLine);
    EXPECT_EQ(run.boxes[0].buttons, std::vector{IDOK});
    EXPECT_EQ(run.window, nullptr);
    EXPECT_EQ(tool.waitForExit(), 0u);
    EXPECT_EQ(snapshot(sandbox.root()), before);
}

TEST(Startup, ASecondCopyEndsAtOnceAndLeavesTheFirstRunning) {
    Sandbox sandbox;
    ASSERT_TRUE(completeFirstRun(sandbox));
    ToolProcess first;
    ASSERT_TRUE(first.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));
    HWND window = first.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    const auto before = snapshot(sandbox.root());

    ToolProcess second;
    ASSERT_TRUE(second.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));

    EXPECT_EQ(second.waitForExit(), 0u);
    EXPECT_TRUE(first.running());
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(snapshot(sandbox.root()), before);
    EXPECT_EQ(closeWindow(first, window), 0u);
}

TEST(Startup, TheWindowIsOwnedByTheIdeWindowAndClosingItWritesNothing) {
    Sandbox sandbox;
    ASSERT_TRUE(completeFirstRun(sandbox));
    UniqueWindow ide(::CreateWindowExW(0, L"STATIC", L"IDE", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(ide);
    auto environment = sandbox.ideEnvironment();
    environment[L"PB_TOOL_MainWindow"] =
        std::to_wstring(reinterpret_cast<std::uintptr_t>(ide.get()));
    const auto before = snapshot(sandbox.root());
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), environment));

    HWND window = tool.waitForMainWindow();

    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), ide.get());
    EXPECT_EQ(windowText(window), L"Tarvex - x64");
    EXPECT_EQ(closeWindow(tool, window), 0u);
    EXPECT_EQ(snapshot(sandbox.root()), before);
}

TEST(Startup, AnOwnerNumberThatIsNoWindowEndsTheToolSilently) {
    Sandbox sandbox;
    ASSERT_TRUE(completeFirstRun(sandbox));
    for (const wchar_t* owner : {L"987654321", L"18446744073709551613", L"99999999999999999999"}) {
        auto environment = sandbox.ideEnvironment();
        environment[L"PB_TOOL_MainWindow"] = owner;
        ToolProcess tool;
        ASSERT_TRUE(tool.start(sandbox.toolExecutable(), environment));

        EXPECT_EQ(tool.waitForExit(), 0u) << owner;
        EXPECT_EQ(tool.waitForMessageBox(0ms), nullptr);
    }
}

TEST(Startup, AnOwnerThatIsNoNumberLeavesTheWindowUnowned) {
    Sandbox sandbox;
    ASSERT_TRUE(completeFirstRun(sandbox));
    auto environment = sandbox.ideEnvironment();
    environment[L"PB_TOOL_MainWindow"] = L"main window";
    ToolProcess tool;
    ASSERT_TRUE(tool.start(sandbox.toolExecutable(), environment));

    HWND window = tool.waitForMainWindow();

    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
    EXPECT_EQ(closeWindow(tool, window), 0u);
}

} // namespace
} // namespace tarvex::e2e
