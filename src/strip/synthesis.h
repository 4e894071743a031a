// Biphase (F2F) synthesis: the square wave of the strip passing the reader
// head, one cell per bit, with the optional guide channel and silence.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "run/settings.h"
#include "strip/bit_stream.h"

namespace tunestrip {

inline constexpr std::int16_t stripHigh = 30000;  // the strip channel's two levels are ±30000
inline constexpr std::int16_t guideByteMark = 20000;  // guide mark at the first cell of a byte
inline constexpr std::int16_t guideCellMark = 7000;   // guide mark at every other cell
inline constexpr std::int16_t guideBitLevel = 3500;   // guide level after the mark: + for a 1, - for a 0

// The largest job any command line asks for: two channels, 192000 Hz with
// its 0.2 s + 0.5 s of silence, and the longest bit stream at 24 samples a
// cell.
inline constexpr std::uint32_t maxCellSamples = 24;
inline constexpr std::uint32_t maxSilenceFrames = 192000 / 5 + 192000 / 2;
inline constexpr std::size_t sampleCapacity = 2 * (std::size_t{maxBitCount} * maxCellSamples + maxSilenceFrames);
static_assert(sampleCapacity == 1062144);

struct SampleBuffer {
    std::array<std::int16_t, sampleCapacity> samples;  // channels interleaved: strip, then guide
};

// The sample within a cell at which a 1 changes level.
[[nodiscard]] std::uint32_t halfCell(const RunSettings& settings);
// The samples at the start of every cell that carry the guide channel's mark.
[[nodiscard]] std::uint32_t markSamples(const RunSettings& settings);

// Renders `bitCount` cells into the buffer from index 0 and returns `total`,
// the number of samples of all channels written. Every job starts at +30000.
// `cellSamples` is one of 4, 8, 12, 16 and 24, as the command line gives it.
[[nodiscard]] std::uint32_t synthesizeStrip(const BitStream& stream, std::uint32_t bitCount,
                                            const RunSettings& settings, SampleBuffer& buffer);

}  // namespace tunestrip
