// A small laboratory of signals for the decoder's tests: the encoder's own
// WAVs, WAV files of every form, and the damage a recording chain does
// (noise, speed changes, filters, resampling, clipping, a read head's
// pulses). Everything is deterministic: noise comes from a seeded generator.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "run/settings.h"

namespace tunestrip::testing {

using Signal = std::vector<float>;

// The WAV file the encoder writes for `payload` with `settings`.
[[nodiscard]] std::vector<std::uint8_t> encodeCard(const std::vector<std::uint8_t>& payload,
                                                   const RunSettings& settings);

// The strip channel of that WAV at the given settings, scaled to ±1 at ±30000.
[[nodiscard]] Signal stripSignal(const std::vector<std::uint8_t>& payload, const RunSettings& settings);

enum class SampleForm { unsigned8, signed16, signed24, signed32, float32, float64 };

struct WavForm {
    SampleForm samples = SampleForm::signed16;
    bool extensible = false;
    bool extraChunks = false;  // LIST, fact and an odd-sized JUNK chunk with its pad byte
    bool streamingSize = false;  // data size 0xFFFFFFFF, as a writer that could not go back
};

// A WAV file of the channels (all the same length), clipped to ±1.
[[nodiscard]] std::vector<std::uint8_t> makeWav(const std::vector<Signal>& channels, std::uint32_t rate,
                                                const WavForm& form);

// The payload of library card `index`.
[[nodiscard]] std::vector<std::uint8_t> libraryCard(std::uint32_t index);

// The bytes without their trailing zeros, as the decoder writes a card.
[[nodiscard]] std::vector<std::uint8_t> withoutTrail(std::vector<std::uint8_t> bytes);

// `count` pseudo-random bytes from `seed`.
[[nodiscard]] std::vector<std::uint8_t> randomBytes(std::size_t count, std::uint32_t seed);

// White noise whose RMS is `decibels` below a level of 1 (the square wave's).
void addNoise(Signal& signal, double decibels, std::uint32_t seed);
// Plays the signal at a speed that changes: `speed(t)` for t from 0 to 1
// over the signal; 2 plays twice as fast.
[[nodiscard]] Signal changeSpeed(const Signal& signal, const std::function<double(double)>& speed);
// Resampling by band-limited interpolation.
[[nodiscard]] Signal resample(const Signal& signal, double fromRate, double toRate);
// Second-order Butterworth filters; `cutoff` in Hz.
void lowPass(Signal& signal, double rate, double cutoff);
void highPass(Signal& signal, double rate, double cutoff);
// The read head's signal: the derivative of the square wave, low-passed at
// `cutoff` and scaled so that its peaks reach ±1.
[[nodiscard]] Signal headPulses(const Signal& square, double rate, double cutoff);
void scale(Signal& signal, double gain, double offset = 0);
void clip(Signal& signal);
// Quantising to `bits` bits, as a file of that width holds it.
void quantize(Signal& signal, int bits);

}  // namespace tunestrip::testing
