// Start-up of the real Tarvex.exe: the IDE's variables, the first-run
// questions and copies, the owner window and the single-instance lock; and
// a new user's first hour with the release.
#include <gtest/gtest.h>

#include "driver.h"

namespace tarvex::e2e {
namespace {

using C = Control;

class Startup : public ::testing::TestWithParam<Bitness> {};

TEST_P(Startup, OnlyFromTheIdeYesToTheFirstRunStoresExactCopiesLaterStartsAskAndWriteNothing) {
    const Bitness bitness = GetParam();
    const std::wstring title = L"Tarvex - " + architectureName(bitness);
    Sandbox sandbox(bitness);
    fs::create_directory(sandbox.architectureDirectory(bitness) + L"_MTd_17_msvcrt.lib");
    const auto untouched = snapshot(sandbox.root());
    ToolProcess byHand; // no IDE variables at all
    ASSERT_TRUE(byHand.start(sandbox.toolExecutable(), {}));
    EXPECT_EQ(answerUntilWindow(byHand, {IDOK}).boxes,
              (std::vector<MessageBoxView>{
                  {L"Tarvex",
                   L"This program can only run inside the PB IDE!\n\nHowto:\t'Tools\\Configure "
                   L"Tools...\\New'\n\n\n(Make sure that you've started the PB IDE as "
                   L"Administrator if UAC is enabled!)"}}));
    EXPECT_EQ(byHand.waitForExit(), 0u);
    EXPECT_EQ(snapshot(sandbox.root()), untouched);

    std::map<std::wstring, std::string> library{{L"Tarvex.cfg", stateFile("0,0,1,0")}};
    for (const wchar_t* name : kActive) {
        library[name] = library[std::wstring(L"_PB_") + name] = sandboxContent(L"PB", name);
    }
    for (const wchar_t* name : kBuilt) {
        library[name] = sandboxContent(architectureName(bitness), name);
    }
    UniqueWindow ide(::CreateWindowExW(0, L"STATIC", L"IDE", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr));
    // The owner the window gets; HWND_BOTTOM: a number that names no window,
    // here one past any handle's range, ends the tool silently. The first row
    // is the first start: the questions come before the owner is read.
    const std::pair<std::wstring, HWND> owners[] = {
        {std::to_wstring(reinterpret_cast<std::uintptr_t>(ide.get())), ide.get()},
        {L"main window", nullptr},
        {std::wstring(32000, L'9'), HWND_BOTTOM}};
    for (const auto& [owner, expected] : owners) {
        const bool first = expected == ide.get();
        const auto before = snapshot(sandbox.root());
        auto variables = sandbox.ideEnvironment();
        variables[L"PB_TOOL_MainWindow"] = owner;
        ToolProcess tool;
        ASSERT_TRUE(tool.start(sandbox.toolExecutable(), variables));
        const auto run = answerUntilWindow(tool, {IDYES});
        // Their texts are the unit tests' concern.
        EXPECT_EQ(run.boxes.size(), first ? 4u : 0u);
        for (const MessageBoxView& box : run.boxes) {
            EXPECT_EQ(box.title, title);
        }
        if (run.window) {
            EXPECT_EQ(windowText(run.window), title);
            EXPECT_EQ(::GetWindow(run.window, GW_OWNER), expected);
            ToolProcess second;
            ASSERT_TRUE(second.start(sandbox.toolExecutable(), sandbox.ideEnvironment()));
            EXPECT_EQ(second.waitForExit(), 0u) << "a second copy ends at once";
            EXPECT_TRUE(tool.running());
        }
        EXPECT_EQ(run.window ? closeWindow(tool, run.window) : tool.waitForExit(), 0u);
        EXPECT_EQ(run.window == nullptr, expected == HWND_BOTTOM);
        EXPECT_EQ(snapshot(sandbox.libraryDirectory()), library) << "folders are not copied";
        EXPECT_EQ(readBytes(sandbox.toolDirectory() + L"Tarvex.ini"), settingsFile("0"));
        EXPECT_EQ(first ? before : snapshot(sandbox.root()), before)
            << "a later start writes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(Compilers, Startup, ::testing::Values(Bitness::X86, Bitness::X64));

// A new user's first hour with the release, as its README.txt tells it: the
// unpacked zip's folder (TARVEX_RELEASE, set by scripts/test) is the tool.
TEST(FirstHour, ReleaseStartsWithoutCopyErrorBuildsItsRuntimesAndSwitches) {
    const wchar_t* release = _wgetenv(L"TARVEX_RELEASE");
    ASSERT_TRUE(release) << "scripts/test names the unpacked release in TARVEX_RELEASE";
    ToolSession session(Bitness::X64, release);
    const std::wstring shipped = std::wstring(release) + L"\\x64\\";
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle()) << "no copy error ends the first start";
    ASSERT_EQ(session.boxes.size(), 3u) << "the backup questions, no UCRT question";
    for (const wchar_t* name : {L"libpng", L"libjpeg"}) {
        const std::wstring library = std::wstring(L"_UC_") + name + L".lib";
        // The runtime check: the shipped libraries link with any choice.
        EXPECT_EQ(dragFiles(window.handle(), {shipped + library}, DROPEFFECT_LINK),
                  DROPEFFECT_LINK);
        EXPECT_EQ(session.nextBox(),
                  (MessageBoxView{L"Tarvex - x64", L"'" + library +
                                                       L"' needs no particular C runtime: any "
                                                       L"choice links with it."}));
    }
    EXPECT_FALSE(::IsWindowEnabled(window.control(C::btnMD))) << "the runtimes wait for a build";

    const std::wstring tools = addStandInVisualStudio(session.sandbox);
    const std::wstring prompt = tools + L"x64 Native Tools Command Prompt for VS 2022.lnk";
    ASSERT_TRUE(saveShortcut(prompt, L"/k \"" + tools + L"vcvars64.bat\""));
    EXPECT_EQ(dragFiles(window.handle(), {prompt}, DROPEFFECT_LINK), DROPEFFECT_LINK);
    ASSERT_TRUE(window.click(C::chkBuildPane) && window.settle());
    window.postClick(C::btnBuild);
    ASSERT_TRUE(window.settle() && window.click(C::btnMD));
    EXPECT_TRUE(::IsWindowEnabled(window.control(C::btnMD)));
    EXPECT_EQ(window.items(C::cmbUcrtVersion), std::vector<std::wstring>{L" VS 2022, 17"});
    EXPECT_EQ(session.library(L"msvcrt.lib"), session.library(L"_MD_17_msvcrt.lib"));
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
