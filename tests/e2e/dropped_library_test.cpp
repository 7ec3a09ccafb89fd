// Libraries made by clang and LLVM's librarian dropped on the real program's
// window: the box each gets, and the switch a Yes makes, in the bytes of the
// library folder.
#include <gtest/gtest.h>

#include "driver.h"
#include "stand_in_vs.h"

namespace tarvex::e2e {
namespace {

TEST(DroppedLibrary, AStaticX64OneSwitchesToItsRuntimeAForeignOrMixedOneChangesNothing) {
    ::OleInitialize(nullptr);
    ToolSession session;
    const std::wstring root = session.sandbox.root(), library = session.sandbox.libraryDirectory();
    for (const wchar_t* name : {L"mixed_x64.lib", L"mt_x86.lib", L"mt_x64.lib"}) {
        fs::copy_file(fs::path(TARVEX_COFF_TEST_DATA) / name, root + name);
    }
    ASSERT_TRUE(
        writeBytes(session.sandbox.architectureDirectory(Bitness::X64) + L"_MT_17_msvcrt.lib",
                   "MT by VS 2022"));
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    const auto before = snapshot(library);
    for (const auto& [name, text] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"mixed_x64.lib", L"'mixed_x64.lib' mixes C runtimes (objects: 1 /MD, 1 /MT); no "
                                L"single choice fits it.\n\nRebuild it with one runtime."},
             {L"mt_x86.lib", L"'mt_x86.lib' was built for x86, but the PB compiler is x64: it "
                             L"cannot link it."}}) {
        EXPECT_EQ(dragFiles(window.handle(), {root + name}, DROPEFFECT_LINK), DROPEFFECT_LINK);
        EXPECT_EQ(session.nextBox(), (MessageBoxView{L"Tarvex - x64", text, {IDOK}}));
    }
    EXPECT_EQ(snapshot(library), before);

    dragFiles(window.handle(), {root + L"mt_x64.lib"}, DROPEFFECT_LINK);
    const HWND box = session.tool->waitForMessageBox();
    EXPECT_EQ(readMessageBox(box),
              (MessageBoxView{L"Tarvex - x64",
                              L"'mt_x64.lib' was built for x64 with /MT (static, release) by VS "
                              L"2022.\n\nSwitch to /MT with VS 2022 now?",
                              {IDYES, IDNO}}));
    answer(box, IDYES);
    ASSERT_TRUE(session.settle());
    EXPECT_EQ(session.library(L"msvcrt.lib"), "MT by VS 2022");
    EXPECT_EQ(session.library(L"libjpeg.lib"), sandboxContent(L"x64", L"_UC_libjpeg.lib"));
    EXPECT_EQ(session.library(L"Tarvex.cfg"), stateFile("17,0,3,0"));
    EXPECT_EQ(window.state(Control::btnMT), BST_CHECKED);
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
