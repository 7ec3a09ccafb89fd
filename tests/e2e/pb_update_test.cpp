// PB updated under Tarvex: the new libraries are asked about, become PB's
// copies without losing the old ones, and come back after a switch.
#include <gtest/gtest.h>

#include "driver.h"

namespace tarvex::e2e {
namespace {

using C = Control;

TEST(PbUpdate, NewLibrariesAreAskedAboutBecomePbsCopiesAndComeBackAfterASwitch) {
    ToolSession session;
    ASSERT_TRUE(session.start().handle() && session.window.click(C::btnMT));
    EXPECT_EQ(session.close(), 0u);
    std::map<std::wstring, std::string> before, updated;
    std::vector<MessageBoxView> asked;
    for (const std::wstring name : kActive) {
        before[name] = session.library(L"_PB_" + name);
        updated[name] = sandboxContent(L"PB 6.2", name); // another size than the old
        ASSERT_TRUE(writeBytes(session.sandbox.libraryDirectory() + name, updated[name]));
        asked.push_back(
            {L"Tarvex - x64",
             L"'" + name +
                 L"' is none of the copies Tarvex keeps, for example after PB was updated or "
                 L"reinstalled.\n\nIs your current '" +
                 name +
                 (name == L"msvcrt.lib" ? L"' the original PB CRT"
                                        : L"' the one that came with PB") +
                 L"?\n\nIf not, please change it back..."});
    }
    const WindowDriver window = session.start(); // Yes to each question
    ASSERT_TRUE(window.handle());
    EXPECT_EQ(session.boxes, asked);
    EXPECT_EQ(std::tuple(window.state(C::btnMD), window.state(C::btnMT), window.state(C::btnPB)),
              std::tuple(0, 0, 1));
    EXPECT_EQ(session.library(L"Tarvex.cfg"), stateFile("0,0,1,0"));
    for (const std::wstring name : kActive) {
        EXPECT_EQ(session.library(L"_PB_" + name), updated[name]);
        EXPECT_EQ(session.library(L"_PB_" + name + L".old"), before[name]);
    }
    ASSERT_TRUE(window.click(C::btnMT));
    EXPECT_EQ(session.library(L"msvcrt.lib"), session.library(L"_MT_msvcrt.lib"));
    ASSERT_TRUE(window.click(C::btnPB));
    for (const std::wstring name : kActive) {
        EXPECT_EQ(session.library(name), updated[name]);
    }
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
