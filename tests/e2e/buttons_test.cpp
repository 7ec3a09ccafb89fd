// btnCopyDirectives and btnCoffee seen from outside; unit tests hear the sound.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/donation_page.h"
#include "driver.h"
#include "platform/png_image.h"
#include "platform/win32/win32_clipboard.h"
#include "resources/embedded_picture.h"
#include "screen_and_clipboard.h"

namespace tarvex::e2e {
namespace {

using C = Control;

// The two small buttons on an x86 and an x64 host. At 96 dpi the 45 x 23
// btnCoffee shows the 31 x 31 badge from (7, -4) and clips it to rows 2 to 20
// (inside the 2-pixel classic edge; a themed edge clips at 4, which the
// pixels chosen here do not tell apart).
class Buttons : public ::testing::TestWithParam<Bitness> {};

TEST_P(Buttons, SnippetOnTheClipboardBadgeOnCoffeeDonationPageAndNoFileChanged) {
    // The test prefix's https handler becomes a command that writes the
    // address it gets; Wine's own is put back at the end.
    const auto handle = [](const std::wstring& command) {
        return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                                 L"Software\\Classes\\https\\shell\\open\\command", nullptr, REG_SZ,
                                 command.c_str(),
                                 static_cast<DWORD>((command.size() + 1) * 2)) == ERROR_SUCCESS;
    };
    const std::shared_ptr<void> restore(
        nullptr, [&](void*) { handle(L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\""); });
    ToolSession session(GetParam());
    WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    const auto files = snapshot(session.sandbox.libraryDirectory());
    const std::string settings = session.settings();
    ASSERT_TRUE(Win32Clipboard().setClipboardText(L"the user's own text\r\n"));
    ASSERT_TRUE(window.click(C::btnCopyDirectives));
    const std::wstring text = clipboardText();
    EXPECT_EQ(text.size(), 2218u);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 25);
    EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
    EXPECT_TRUE(text.starts_with(L"CompilerIf #PB_Compiler_Processor = #PB_Processor_x64\n Import "
                                 L"\"/alternatename:__acrt_initialize=___scrt_stub_for_acrt_"
                                 L"initialize\" : EndImport\n"));
    EXPECT_NE(text.find(L"\nCompilerElse\n Import \"/alternatename:___acrt_initialize=___scrt_"
                        L"stub_for_acrt_initialize\" : EndImport\n"),
              std::wstring::npos);
    EXPECT_TRUE(text.ends_with(L" : EndImport\nCompilerEndIf\n"));

    const auto badge = imageFromMemory(coffeePicture());
    ASSERT_TRUE(badge && badge->pixels[(10 * 31) * 4 + 3] == 0);
    const std::uint8_t* middle = &badge->pixels[(15 * 31 + 15) * 4];
    const COLORREF opaque = RGB(middle[2], middle[1], middle[0]); // stored BGRA
    ASSERT_TRUE(window.click(C::chkBuildPane));
    const HWND coffee = window.control(C::btnCoffee);
    for (int poll = 0; poll < 100 && screenPixel(coffee, 22, 11) != opaque; ++poll) {
        std::this_thread::sleep_for(50ms); // the grown window paints in its own time
    }
    EXPECT_EQ(window.rect(C::btnCoffee).right - window.rect(C::btnCoffee).left, 45);
    EXPECT_EQ(screenPixel(coffee, 7 + 15, 15 - 4), opaque) << "opaque: the badge's colour";
    EXPECT_EQ(screenPixel(coffee, 7 + 0, 10 - 4), screenPixel(coffee, 5, 10 - 4))
        << "transparent: the face beside it";
    EXPECT_EQ(screenPixel(coffee, 7 + 8, 25 - 4), screenPixel(coffee, 5, 25 - 4))
        << "clipped: the edge beside it";

    const std::wstring seen = session.sandbox.root() + L"handler.txt";
    const std::pair<std::wstring, std::string> handlers[] = {
        {L"cmd.exe /c echo %1>" + seen, fs::path(kDonationPage).string() + "\r\n"},
        {L"C:\\missing.exe \"%1\"", ""}}; // no handler: nothing happens
    for (const auto& [handler, written] : handlers) {
        ASSERT_TRUE(handle(handler));
        ASSERT_TRUE(window.click(C::btnCoffee)) << "the tool does not wait for the page";
        // The redirection makes the file before the address is written.
        for (int polls = 0; polls < 250 && readBytes(seen) != written; ++polls) {
            std::this_thread::sleep_for(20ms);
        }
        EXPECT_EQ(readBytes(seen), written);
        fs::remove(seen);
        EXPECT_EQ(session.tool->waitForMessageBox(500ms), nullptr) << "nothing is said";
    }
    EXPECT_EQ(snapshot(session.sandbox.libraryDirectory()), files);
    EXPECT_EQ(session.settings(), settings);
    EXPECT_EQ(session.close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Hosts, Buttons, ::testing::Values(Bitness::X86, Bitness::X64));

} // namespace
} // namespace tarvex::e2e
