// Decoding of a PNG picture held in memory, with libpng.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tarvex {

// Rows top to bottom, each pixel blue, green, red and (for 32 bits) alpha,
// 8 bits each, alpha not premultiplied; rows are packed without padding.
struct Image {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bitsPerPixel = 0; // 32 with an alpha channel, 24 without
    std::vector<std::uint8_t> pixels;

    std::uint32_t bytesPerPixel() const { return bitsPerPixel / 8; }
};

// The tool shows only small pictures; larger ones are refused before any
// memory is taken for them.
inline constexpr std::uint32_t kLargestImageSide = 1024;

// Palette, grey and low bit depth pictures become 24-bit or, with an alpha
// channel or a transparency chunk, 32-bit images; 16-bit channels are reduced
// to 8 bits. Nothing for data that is not a PNG, is cut short or damaged.
// Reads no further than bytes.
std::optional<Image> imageFromMemory(std::span<const std::uint8_t> bytes);

} // namespace tarvex
