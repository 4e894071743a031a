// Reading WAV files of every common kind: integer PCM of 8 to 32 bits,
// 32- and 64-bit float, the extensible header, any number of channels,
// extra chunks, and the data sizes of streaming writers (0 or 0xFFFFFFFF:
// the data runs to the end of the file).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tunestrip {

inline constexpr std::uint32_t lowestWavRate = 8000;
inline constexpr std::uint32_t highestWavRate = 384000;

struct WavAudio {
    std::uint32_t sampleRate = 0;
    std::uint32_t channels = 0;
    std::uint32_t bitsPerSample = 0;
    bool isFloat = false;
    std::size_t frames = 0;
    // Channel c's samples, scaled to -1..1: samples[c * frames + i].
    std::vector<float> samples;
};

struct [[nodiscard]] WavReadResult {
    WavAudio audio;
    std::string error;  // empty on success, else what is wrong with the file
};

// Parses a whole file's bytes. Nothing is allocated beyond what the bytes
// themselves hold, whatever sizes the header declares.
WavReadResult parseWav(std::span<const std::uint8_t> file);

}  // namespace tunestrip
