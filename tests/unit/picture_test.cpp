// The PNG decoder with the embedded picture.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/png_image.h"
#include "resources/embedded_picture.h"

namespace tarvex {
namespace {

std::optional<Image> decode(const std::string& png) {
    return imageFromMemory({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()});
}

TEST(ImageFromMemory, TheEmbeddedBadgeDecodesAndNoCutShortDamagedOrForeignDataDoes) {
    const std::string good(reinterpret_cast<const char*>(kCoffeePicture), kCoffeePictureSize);
    const auto image = decode(good);
    ASSERT_TRUE(image);
    EXPECT_EQ(std::tuple(image->width, image->height, image->bitsPerPixel),
              std::tuple(31u, 31u, 32u));
    ASSERT_EQ(image->pixels.size(), 31u * 31u * 4u);
    for (std::size_t corner : {0u, 30u, 30u * 31u, 31u * 31u - 1u}) {
        EXPECT_EQ(image->pixels[corner * 4 + 3], 0) << "transparent corner " << corner;
    }
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

} // namespace
} // namespace tarvex
