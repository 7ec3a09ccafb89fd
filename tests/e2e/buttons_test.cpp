// btnCopyDirectives and btnCoffee's picture seen from outside; unit tests hear the sound.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"
#include "platform/png_image.h"
#include "platform/win32/win32_clipboard.h"
#include "resources/embedded_picture.h"
#include "screen_and_clipboard.h"

namespace tarvex::e2e {
namespace {

class SnippetButton : public ::testing::TestWithParam<Bitness> {};

TEST_P(SnippetButton, EachClickReplacesTheClipboardWithTheWholeSnippetAndTouchesNoFile) {
    ToolSession session(GetParam());
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    const auto files = snapshot(session.sandbox.root());
    for (const wchar_t* before : {L"the user's own text", L"\r\nsomething else"}) {
        ASSERT_TRUE(Win32Clipboard().setClipboardText(before));
        ASSERT_TRUE(window.click(Control::btnCopyDirectives));
        const std::wstring text = clipboardText();
        EXPECT_EQ(text.size(), 2218u);
        EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 25);
        EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
        EXPECT_TRUE(
            text.starts_with(L"CompilerIf #PB_Compiler_Processor = #PB_Processor_x64\n Import "
                             L"\"/alternatename:__acrt_initialize=___scrt_stub_for_acrt_"
                             L"initialize\" : EndImport\n"));
        EXPECT_NE(text.find(L"\nCompilerElse\n Import \"/alternatename:___acrt_initialize=___scrt_"
                            L"stub_for_acrt_initialize\" : EndImport\n"),
                  std::wstring::npos);
        EXPECT_TRUE(text.ends_with(L" : EndImport\nCompilerEndIf\n"));
    }
    EXPECT_EQ(snapshot(session.sandbox.root()), files);
    EXPECT_EQ(session.close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Hosts, SnippetButton, ::testing::Values(Bitness::X86, Bitness::X64));

// At 96 dpi the 45 x 23 button shows the 31 x 31 picture from (7, -4) and
// clips it to rows 2 to 20 (inside the 2-pixel classic edge; a themed edge
// clips at 4, which the pixels chosen here do not tell apart).
TEST(CoffeeButton, ShowsTheBadgeCentredOverTheFaceAndClippedInsideTheEdge) {
    const auto badge = imageFromMemory(coffeePicture());
    ASSERT_TRUE(badge && badge->width == 31 && badge->bitsPerPixel == 32);
    const auto alpha = [&](std::size_t x, std::size_t y) {
        return badge->pixels[(y * 31 + x) * 4 + 3];
    };
    ASSERT_EQ(alpha(0, 10), 0);
    ASSERT_EQ(alpha(15, 15) & alpha(8, 25), 255);
    const std::uint8_t* middle = &badge->pixels[(15 * 31 + 15) * 4];
    const auto opaque = static_cast<std::uint32_t>(middle[0] | middle[1] << 8 | middle[2] << 16);

    ToolSession session;
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.click(Control::chkBuildPane));
    SIZE size{};
    std::vector<std::uint32_t> shot;
    const auto screen = [&](int x, int y) { return shot.at(std::size_t(y * 45 + x)) & 0xFFFFFF; };
    for (int poll = 0; poll < 100 && (size.cx != 45 || screen(22, 11) != opaque);
         ++poll) { // the grown window paints in its own time
        std::this_thread::sleep_for(50ms);
        shot = screenPixels(window.control(Control::btnCoffee), size);
    }
    ASSERT_EQ(size.cy, 23);
    EXPECT_EQ(screen(7 + 15, 15 - 4), opaque) << "opaque: the badge's colour";
    EXPECT_EQ(screen(7 + 0, 10 - 4), screen(5, 10 - 4)) << "transparent: the face beside it";
    EXPECT_EQ(screen(7 + 8, 25 - 4), screen(5, 25 - 4)) << "clipped: the edge beside it";
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
