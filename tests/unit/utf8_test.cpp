#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// U+FFFD in UTF-8.
const std::string kBad = "\xEF\xBF\xBD";

TEST(Utf8, RoundTripsBmpAndAstralTextAsUtf16Units) {
    const std::wstring bmp = {L'G', 0xFC, L'\u00DF', 0x20AC, 0x4E2D};
    EXPECT_EQ(utf8FromUtf16(bmp), "G\xC3\xBC\xC3\x9F\xE2\x82\xAC\xE4\xB8\xAD");
    EXPECT_EQ(utf16FromUtf8(utf8FromUtf16(bmp)), bmp);

    // U+1F600 is two units on every platform, as on Windows.
    const std::wstring astral = {L'a', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(utf8FromUtf16(astral), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16FromUtf8("a\xF0\x9F\x98\x80"), astral);
    EXPECT_EQ(utf16FromUtf8(std::string("x\0y", 3)), std::wstring(L"x\0y", 3));
}

TEST(Utf8, UnpairedSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(utf8FromUtf16(std::wstring{static_cast<wchar_t>(0xD800), L'x'}), kBad + "x");
    EXPECT_EQ(utf8FromUtf16(std::wstring{L'x', static_cast<wchar_t>(0xDC00)}), "x" + kBad);
    EXPECT_EQ(
        utf8FromUtf16(std::wstring{static_cast<wchar_t>(0xDE00), static_cast<wchar_t>(0xD83D)}),
        kBad + kBad);
}

TEST(Utf8, InvalidSequencesBecomeOneReplacementPerBrokenPart) {
    const std::wstring bad(1, static_cast<wchar_t>(0xFFFD));
    EXPECT_EQ(utf16FromUtf8("a\xFF"
                            "b"),
              L"a" + bad + L"b");
    EXPECT_EQ(utf16FromUtf8("\xC3"), bad);                               // cut off at the end
    EXPECT_EQ(utf16FromUtf8("\xF0\x9F\x98"), bad);                       // cut off at the end
    EXPECT_EQ(utf16FromUtf8("\xC3x"), bad + L"x");                       // continuation missing
    EXPECT_EQ(utf16FromUtf8("\xC0\xAF"), bad + bad);                     // overlong
    EXPECT_EQ(utf16FromUtf8("\xE0\x80\xAF"), bad + bad + bad);           // overlong
    EXPECT_EQ(utf16FromUtf8("\xED\xA0\x80"), bad + bad + bad);           // encoded surrogate
    EXPECT_EQ(utf16FromUtf8("\xF4\x90\x80\x80"), bad + bad + bad + bad); // past U+10FFFF
    EXPECT_EQ(utf16FromUtf8("\x80\xBF"), bad + bad);
}

} // namespace
} // namespace tarvex
