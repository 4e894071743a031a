// The settings of one run, filled once from the command line and read-only
// afterwards.
#pragma once

#include <cstdint>

#include "run/text.h"

namespace tunestrip {

struct RunSettings {
    std::uint32_t sampleRate = 48000;  // Hz: 32000, 44100, 48000, 96000 or 192000
    std::uint32_t bytesPerSample = 2;  // 2: signed 16-bit samples, 1: unsigned 8-bit
    std::uint32_t channels = 1;        // 1: strip signal alone, 2: with the guide channel
    std::uint32_t cellSamples = 4;     // samples per bit cell and channel: 4, 8, 12, 16 or 24
    bool longerPilot = false;          // 12 pilot bytes instead of 4
    bool noEmptyTrail = false;         // trail always 4 bytes, no padding to full length
    bool ioSilence = false;            // 0.2 s of silence before the strip, 0.5 s after it
    bool gimmeList = false;
    bool gimmeBins = false;
    bool gimmeWavs = false;
    bool noNumbers = false;
    Text sourceName;                   // empty: no source file was named
};

}  // namespace tunestrip
