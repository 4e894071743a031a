// The bit stream: one entry per bit cell of the strip, most significant bit
// of each image byte first.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "strip/strip_image.h"

namespace tunestrip {

inline constexpr std::size_t bitStreamCapacity = 1048576;

// One zero byte follows every image, so that the last cells are always 0.
inline constexpr std::uint32_t maxBitCount = 8 * (maxImageLength + 1);

struct BitStream {
    std::array<std::uint8_t, bitStreamCapacity> cells;  // each 0 or 1
};

// Writes 8 × (imageLength + 1) entries from index 0 and returns that count:
// the image's bytes, then one zero byte whatever the image buffer holds
// beyond the image.
[[nodiscard]] std::uint32_t serializeBits(const StripImage& image, std::uint32_t imageLength, BitStream& stream);

}  // namespace tunestrip
