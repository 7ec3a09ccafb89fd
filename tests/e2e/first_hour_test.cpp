// A new user's first hour with the release, as its README.txt tells it: the
// unpacked zip's folder (TARVEX_RELEASE, set by scripts/test) is the tool.
#include <gtest/gtest.h>

#include "driver.h"

namespace tarvex::e2e {
namespace {

using C = Control;

TEST(FirstHour, ReleaseStartsWithoutCopyErrorBuildsItsRuntimesAndSwitches) {
    const wchar_t* release = _wgetenv(L"TARVEX_RELEASE");
    ASSERT_TRUE(release) << "scripts/test names the unpacked release in TARVEX_RELEASE";
    ToolSession session(Bitness::X64, release);
    const std::wstring shipped = std::wstring(release) + L"\\x64\\";
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle()) << "no copy error ends the first start";
    ASSERT_EQ(session.boxes.size(), 3u) << "the backup questions, no UCRT question";
    EXPECT_TRUE(session.boxes[0].text.starts_with(L"Is your current 'msvcrt.lib'"));
    for (const wchar_t* name : {L"libpng", L"libjpeg"}) {
        const std::wstring library = std::wstring(L"_UC_") + name + L".lib";
        EXPECT_EQ(session.library(library), readBytes(shipped + library));
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
    EXPECT_EQ(session.library(L"libpng.lib"), readBytes(shipped + L"_UC_libpng.lib"));
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
