// The PNG decoder with the embedded picture, and the snippet copy's sound.
#include <gtest/gtest.h>

#include "core/donation_page.h"
#include "core/linker_snippet.h"
#include "fakes.h"
#include "platform/png_image.h"
#include "resources/embedded_picture.h"

namespace tarvex {
namespace {

std::optional<Image> decode(const std::string& png) {
    return imageFromMemory({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()});
}

TEST(ImageFromMemory, PaletteGreyLowDepthTransparencyAnd16BitBecome8BitBlueGreenRed) {
    const std::pair<std::string, std::vector<std::uint8_t>> cases[] = {
        // 2 x 1, palette of red and blue at 2 bits, red half transparent: blue, red.
        {{"\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x02\0\0\0\x01\x02\x03\0\0\0\x89\x4c\x97\x19\0\0\0"
          "\x06PLTE\xff\0\0\0\0\xff\x6c\xa1\xfd\x8e\0\0\0\x01tRNS\x80\xad\x5e\x5b\x46\0\0\0\x0aIDAT"
          "x\xda\x63\x70\0\0\0\x42\0\x41\x84\xbf\x8e\x62\0\0\0\0IEND\xae\x42\x60\x82",
          98},
         {255, 0, 0, 255, 0, 0, 255, 0x80}},
        // 1 x 1, interlaced, grey 0x1234 with alpha 0xABCD at 16 bits.
        {{"\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x10\x04\0\0\x01\x92\x8b\xe0\xd7\0\0"
          "\0"
          "\x0dIDATx\xda\x63\x10\x32\x59\x7d\x16\0\x03\x0c\x01\xbf\xb1\xe7\xd4\x4d\0\0\0\0IEND\xae"
          "\x42\x60\x82",
          70},
         {0x12, 0x12, 0x12, 0xAB}}};
    for (const auto& [png, pixels] : cases) {
        const auto image = decode(png);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->pixels, pixels);
    }
}

TEST(ImageFromMemory, TheEmbeddedPictureIsA31By31BadgeWithTransparentCorners) {
    const auto image = imageFromMemory(coffeePicture());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 31u);
    EXPECT_EQ(image->height, 31u);
    EXPECT_EQ(image->bitsPerPixel, 32u);
    ASSERT_EQ(image->pixels.size(), 31u * 31u * 4u);
    for (std::size_t corner : {0u, 30u, 30u * 31u, 31u * 31u - 1u}) {
        EXPECT_EQ(image->pixels[corner * 4 + 3], 0) << "pixel " << corner;
    }
}

TEST(ImageFromMemory, CutShortDamagedOrForeignDataGivesNoImage) {
    const std::string good(reinterpret_cast<const char*>(kCoffeePicture), kCoffeePictureSize);
    ASSERT_TRUE(decode(good));
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(decode(good.substr(0, length))) << "cut at " << length;
    }
    // IHDR's checksum, the last byte of IDAT's data, IEND's checksum.
    for (std::size_t at : {std::size_t{29}, good.size() - 17, good.size() - 1}) {
        std::string damaged = good;
        damaged[at] ^= 1;
        EXPECT_FALSE(decode(damaged)) << "byte " << at << " changed";
    }
    EXPECT_FALSE(decode("GIF89a\x01\x01"));
}

TEST(CopyLinkerDirectives, PlaysTheDefaultSoundWhetherOrNotTheClipboardTookTheText) {
    for (const bool refusing : {false, true}) {
        testing::FakeTool tool;
        tool.clipboard.refusing = refusing;
        copyLinkerDirectives(tool.services);
        EXPECT_EQ(tool.sounds, std::vector{Sound::Default});
        EXPECT_EQ(tool.clipboard.texts.size(), refusing ? 0u : 1u);
    }
}

TEST(OpenDonationPage, HandsTheHttpsPageToTheDefaultHandlerWithoutWaitingOrSaying) {
    testing::FakeTool tool;
    openDonationPage(tool.services);
    EXPECT_EQ(tool.started, std::vector{std::wstring(kDonationPage) + L"||"});
    EXPECT_TRUE(std::wstring(kDonationPage).starts_with(L"https://"));
    EXPECT_TRUE(tool.sounds.empty() && tool.messages.shown.empty());
}

} // namespace
} // namespace tarvex
