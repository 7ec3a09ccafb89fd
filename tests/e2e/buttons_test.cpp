// btnCopyDirectives and btnCoffee's picture, seen from outside the real
// Tarvex.exe: the clipboard text and the button's pixels on the screen. The
// default sound after the copy is checked in the unit tests, with a fake
// clipboard that refuses.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/png_image.h"
#include "platform/win32/win32_clipboard.h"
#include "resources/embedded_picture.h"
#include "screen_and_clipboard.h"
#include "tool_steps.h"

namespace tarvex::e2e {
namespace {

std::vector<std::wstring> splitLines(const std::wstring& text) {
    std::vector<std::wstring> lines(1);
    for (wchar_t c : text) {
        c == L'\n' ? lines.emplace_back() : lines.back().push_back(c);
    }
    return lines;
}

std::wstring directive(const std::wstring& symbol, const std::wstring& stub) {
    return L" Import \"/alternatename:" + symbol + L"=" + stub + L"\" : EndImport";
}

class SnippetButton : public ::testing::TestWithParam<Bitness> {};

TEST_P(SnippetButton, EachClickReplacesTheClipboardWithTheWholeSnippetForBothProcessors) {
    ToolSession session(SandboxLayout{.compiler = GetParam()});
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    const auto libraries = snapshot(session.sandbox.libraryDirectory());
    const std::string settings = readBytes(session.sandbox.toolDirectory() + L"Tarvex.ini");
    Win32Clipboard clipboard;
    for (const wchar_t* before : {L"the user's own text", L"\r\nsomething else"}) {
        ASSERT_TRUE(clipboard.setClipboardText(before));
        ASSERT_TRUE(window.click(Control::btnCopyDirectives));
        const std::wstring text = clipboardText().value_or(L"");
        EXPECT_EQ(text.size(), 2218u);
        EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 25);
        EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
        const auto lines = splitLines(text);
        ASSERT_EQ(lines.size(), 26u) << "25 lines, each ended by LF";
        EXPECT_EQ(lines[0], L"CompilerIf #PB_Compiler_Processor = #PB_Processor_x64");
        EXPECT_EQ(lines[1], directive(L"__acrt_initialize", L"___scrt_stub_for_acrt_initialize"));
        EXPECT_EQ(lines[6], directive(L"_is_c_termination_complete",
                                      L"___scrt_stub_for_is_c_termination_complete"));
        EXPECT_EQ(lines[12], L"CompilerElse");
        EXPECT_EQ(lines[13], directive(L"___acrt_initialize", L"___scrt_stub_for_acrt_initialize"));
        EXPECT_EQ(lines[18], directive(L"__is_c_termination_complete",
                                       L"___scrt_stub_for_is_c_termination_complete"));
        EXPECT_EQ(lines[23],
                  directive(L"___vcrt_thread_detach", L"___scrt_stub_for_acrt_thread_detach"));
        EXPECT_EQ(lines[24], L"CompilerEndIf");
    }
    EXPECT_EQ(snapshot(session.sandbox.libraryDirectory()), libraries);
    EXPECT_EQ(readBytes(session.sandbox.toolDirectory() + L"Tarvex.ini"), settings);
    EXPECT_EQ(session.close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Hosts, SnippetButton, ::testing::Values(Bitness::X86, Bitness::X64));

// At 96 dpi the 45 x 23 button shows the 31 x 31 picture from (7, -4), and
// clips it to the rows 2 to 20 (2-pixel classic edge; a themed edge clips at 4,
// which the rows chosen here do not tell apart).
TEST(CoffeeButton, ShowsTheBadgeCentredOverTheFaceAndClipsItAtTheEdge) {
    if (screenDpi() != 96) {
        GTEST_SKIP() << "the pixel positions are those of a 96-dpi screen";
    }
    const auto badge = imageFromMemory(coffeePicture());
    ASSERT_TRUE(badge && badge->width == 31 && badge->bitsPerPixel == 32);
    const auto pixel = [&](int x, int y) {
        return &badge->pixels[static_cast<std::size_t>(y * 31 + x) * 4];
    };
    const auto colour = [&](int x, int y) {
        const std::uint8_t* p = pixel(x, y);
        return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16;
    };
    constexpr int kLeft = 7, kTop = -4, kFaceColumn = 5;
    int clippedColumn = 0; // an opaque badge pixel in picture row 25, client row 21
    while (clippedColumn < 31 && pixel(clippedColumn, 25)[3] != 255) {
        ++clippedColumn;
    }
    ASSERT_EQ(pixel(0, 10)[3], 0) << "the picture's left edge is transparent";
    ASSERT_EQ(pixel(15, 15)[3], 255) << "the picture's middle is opaque";
    ASSERT_LT(clippedColumn, 31) << "the badge reaches picture row 25";

    ToolSession session;
    const WindowDriver window = session.start();
    ASSERT_TRUE(window.handle());
    ASSERT_TRUE(window.click(Control::chkBuildPane));
    ScreenPicture shot;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    do { // the grown window paints on its own time
        std::this_thread::sleep_for(50ms);
        shot = captureClient(window.control(Control::btnCoffee));
    } while ((shot.width != 45 || shot.at(kLeft + 15, kTop + 15) != colour(15, 15)) &&
             std::chrono::steady_clock::now() < deadline);
    ASSERT_EQ(shot.width, 45);
    ASSERT_EQ(shot.height, 23);
    EXPECT_EQ(shot.at(kLeft + 15, kTop + 15), colour(15, 15));
    EXPECT_EQ(shot.at(kLeft + 0, kTop + 10), shot.at(kFaceColumn, kTop + 10));
    EXPECT_EQ(shot.at(kLeft + clippedColumn, kTop + 25), shot.at(kFaceColumn, kTop + 25));
    EXPECT_EQ(session.close(), 0u);
}

} // namespace
} // namespace tarvex::e2e
