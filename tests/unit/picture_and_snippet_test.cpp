// The embedded picture and the PNG decoder under it, and the snippet copy's
// confirmation sound, which the end-to-end tests cannot hear.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "core/linker_snippet.h"
#include "fake_services.h"
#include "platform/png_image.h"
#include "resources/embedded_picture.h"

namespace tarvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::optional<Image> decode(const std::string& png) {
    return imageFromMemory({reinterpret_cast<const std::uint8_t*>(png.data()), png.size()});
}

std::string bigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string chunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()));
    return bigEndian(std::uint32_t(data.size())) + body + bigEndian(std::uint32_t(crc));
}

// A PNG of one row of pixels; extra holds the chunks between IHDR and IDAT.
std::string png(std::uint32_t width, char depth, char colourType, const std::string& extra,
                const std::string& row, char interlace = 0) {
    const std::string raw = std::string(1, '\0') + row; // filter: none
    uLongf size = compressBound(uLong(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size,
             reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    packed.resize(size);
    const std::string header =
        bigEndian(width) + bigEndian(1) + depth + colourType + std::string(2, '\0') + interlace;
    return "\x89PNG\r\n\x1a\n" + chunk("IHDR", header) + extra + chunk("IDAT", packed) +
           chunk("IEND", "");
}

struct DecodeCase {
    const char* what;
    std::string png;
    std::uint32_t bitsPerPixel;
    Bytes pixels;
};

TEST(ImageFromMemory, EveryPixelFormatBecomesEightBitBlueGreenRedWithAlphaWhereTransparent) {
    const std::string plte = chunk("PLTE", std::string("\xFF\x00\x00\x00\x00\xFF", 6));
    const DecodeCase cases[] = {
        {"grey, 1 bit", png(3, 1, 0, "", "\xA0"), 24, {255, 255, 255, 0, 0, 0, 255, 255, 255}},
        {"grey, 8 bit, tRNS",
         png(2, 8, 0, chunk("tRNS", std::string("\0\x40", 2)), "\x40\x41"),
         32,
         {0x40, 0x40, 0x40, 0, 0x41, 0x41, 0x41, 255}},
        {"grey and alpha", png(1, 8, 4, "", "\x40\x80"), 32, {0x40, 0x40, 0x40, 0x80}},
        {"palette, 2 bit, tRNS",
         png(2, 2, 3, plte + chunk("tRNS", "\x80"), "\x40"),
         32,
         {255, 0, 0, 255, 0, 0, 255, 0x80}},
        {"RGB, 16 bit", png(1, 16, 2, "", "\x12\x34\x56\x78\x9A\xBC"), 24, {0x9A, 0x56, 0x12}},
        {"RGBA, 16 bit",
         png(1, 16, 6, "", std::string("\x12\x34\x56\x78\x9A\xBC\xFF\x00", 8)),
         32,
         {0x9A, 0x56, 0x12, 0xFF}},
        {"RGB, interlaced", png(1, 8, 2, "", "\x01\x02\x03", 1), 24, {3, 2, 1}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const auto image = decode(row.png);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->height, 1u);
        EXPECT_EQ(image->bitsPerPixel, row.bitsPerPixel);
        EXPECT_EQ(image->pixels, row.pixels);
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
    EXPECT_EQ(image->pixels[(15 * 31 + 15) * 4 + 3], 255) << "the badge itself is opaque";
}

TEST(ImageFromMemory, BrokenDataGivesNoImage) {
    const std::string good(reinterpret_cast<const char*>(kCoffeePicture), kCoffeePictureSize);
    ASSERT_TRUE(decode(good));
    for (std::size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(decode(good.substr(0, length))) << "cut at " << length;
    }
    // The checksum of IHDR, the last byte of IDAT's data and IEND's checksum.
    for (std::size_t at : {std::size_t{29}, good.size() - 17, good.size() - 1}) {
        std::string damaged = good;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
        EXPECT_FALSE(decode(damaged)) << "byte " << at << " changed";
    }
    EXPECT_FALSE(decode("GIF89a\x01\x00\x01\x00"));
    EXPECT_FALSE(decode(png(4096, 8, 2, "", std::string(3 * 4096, '\0')))) << "too wide";
    EXPECT_FALSE(decode(png(1, 8, 3, "", std::string(1, '\0'))))
        << "palette picture without a palette";
}

TEST(CopyLinkerDirectives, PlaysTheDefaultSoundWhetherOrNotTheClipboardTookTheText) {
    for (const bool refusing : {false, true}) {
        testing::FakeTool tool;
        tool.clipboard.refusing = refusing;
        copyLinkerDirectives(tool.services);
        EXPECT_EQ(tool.sounds.played, std::vector{Sound::Default});
        EXPECT_EQ(tool.clipboard.texts.size(), refusing ? 0u : 1u);
    }
}

} // namespace
} // namespace tarvex
