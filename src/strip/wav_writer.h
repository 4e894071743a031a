// RIFF/WAVE output: a 44-byte header of integer PCM and the sample data,
// nothing else.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "run/console.h"
#include "run/settings.h"
#include "run/text.h"
#include "strip/synthesis.h"

namespace tunestrip {

inline constexpr std::size_t wavHeaderSize = 44;

// A whole WAV file as it goes to disk, header first. For 8-bit output the
// data part is the byte sample buffer: sample i converted to one unsigned byte.
struct WavFileBuffer {
    std::array<std::uint8_t, wavHeaderSize + 2 * sampleCapacity> bytes;
};

// Writes the 44 header bytes for `frames` frames of the given format.
void writeWavHeader(std::uint8_t* destination, std::uint32_t frames, std::uint32_t sampleRate,
                    std::uint32_t channels, std::uint32_t bytesPerSample);

// Lays out header and data of the first `total` samples and returns the
// file's length in bytes: 44 + total × bytesPerSample.
[[nodiscard]] std::size_t encodeWav(const SampleBuffer& samples, std::uint32_t total,
                                    const RunSettings& settings, WavFileBuffer& file);

// Encodes and writes the WAV file `wavName` with its saving line. Returns
// false when the file could not be written (the error is on the line).
[[nodiscard]] bool saveWav(const Text& wavName, const RunSettings& settings, const SampleBuffer& samples,
                           std::uint32_t total, WavFileBuffer& file, Console& console);

}  // namespace tunestrip
