// The PNG decoder with the embedded picture, and the snippet copy's sound.
#include <gtest/gtest.h>

#include "core/linker_snippet.h"
#include "fakes.h"
#include "platform/png_image.h"
#include "resources/embedded_picture.h"

namespace tarvex {
namespace {

std::optional<Image> decode(const std::string& png) {
    return imageFromMemory({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()});
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

} // namespace
} // namespace tarvex
