// The strip image: the bytes that pass the reader head during one swipe, a
// pilot of zero bytes, the sync byte, the card's payload and a zero trail.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "run/console.h"
#include "run/conversion_job.h"
#include "run/settings.h"

namespace tunestrip {

inline constexpr std::size_t stripImageCapacity = 1048576;

inline constexpr std::uint8_t syncByte = 0x01;
inline constexpr std::uint32_t pilotLength = 4;
inline constexpr std::uint32_t longPilotLength = 12;
// A payload that ends before this index is padded with zeros up to it, so
// that short cards fill the strip; it moves with the longer pilot.
inline constexpr std::uint32_t targetLength = 452;
inline constexpr std::uint32_t shortTrailLength = 4;
// Only the first block of a source file is used.
inline constexpr std::uint32_t sourceReadLimit = 2048;
// A card with more payload than this may not fit the keyboard's memory.
inline constexpr std::uint32_t largePayloadWarning = 445;

// The largest image any job can build: the longer pilot, the sync byte, a
// full source block and the short trail.
inline constexpr std::uint32_t maxImageLength = longPilotLength + 1 + sourceReadLimit + shortTrailLength;

struct StripImage {
    std::array<std::uint8_t, stripImageCapacity> bytes;
};

// Writes the image from index 0 and returns `imageLength` (10 to 2,065).
// A job from a file prints its loading line (and the warning for a large
// file); a file that yields no bytes gives the error text on that line and a
// result of 0, and the run must end. A library job prints nothing and cannot
// fail.
[[nodiscard]] std::uint32_t buildStripImage(const ConversionJob& job, const RunSettings& settings,
                                            StripImage& image, Console& console);

}  // namespace tunestrip
