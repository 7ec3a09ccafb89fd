// The coffee button's picture, compiled into the program as PNG bytes. The
// definition is generated at build time from coffee_badge.png.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tarvex {

extern const std::uint8_t kCoffeePicture[];
extern const std::size_t kCoffeePictureSize;

inline std::span<const std::uint8_t> coffeePicture() {
    return {kCoffeePicture, kCoffeePictureSize};
}

} // namespace tarvex
