#include "strip/wav_writer.h"

#include <bit>
#include <cstring>

#include "run/output_file.h"

namespace tunestrip {
namespace {

std::uint8_t* putLittleEndian32(std::uint8_t* out, std::uint32_t value)
{
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
    out[2] = static_cast<std::uint8_t>(value >> 16);
    out[3] = static_cast<std::uint8_t>(value >> 24);
    return out + 4;
}

// A four-character chunk tag, stored as its bytes in reading order.
constexpr std::uint32_t tag(const char (&name)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[3])) << 24;
}

// Two 16-bit fields that follow each other, the first in the low half.
constexpr std::uint32_t pair16(std::uint32_t low, std::uint32_t high)
{
    return (low & 0xFFFFu) | (high & 0xFFFFu) << 16;
}

// WAV samples are little-endian: on a little-endian machine the memory
// image is the file image already.
void encode16Bit(const std::int16_t* samples, std::uint32_t total, std::uint8_t* out)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, samples, std::size_t{total} * 2);
        return;
    }
    for (std::uint32_t i = 0; i < total; ++i) {
        auto sample = static_cast<std::uint16_t>(samples[i]);
        out[2 * i] = static_cast<std::uint8_t>(sample);
        out[2 * i + 1] = static_cast<std::uint8_t>(sample >> 8);
    }
}

// Unsigned 8-bit with 128 as silence: the division truncates toward zero, so
// -30000 becomes 11 and +30000 becomes 245; nothing wraps.
void encode8Bit(const std::int16_t* samples, std::uint32_t total, std::uint8_t* out)
{
    for (std::uint32_t i = 0; i < total; ++i) {
        out[i] = static_cast<std::uint8_t>(samples[i] / 256 + 128);
    }
}

}  // namespace

void writeWavHeader(std::uint8_t* destination, std::uint32_t frames, std::uint32_t sampleRate,
                    std::uint32_t channels, std::uint32_t bytesPerSample)
{
    std::uint32_t dataSize = channels * frames * bytesPerSample;
    std::uint8_t* out = destination;
    out = putLittleEndian32(out, tag("RIFF"));
    out = putLittleEndian32(out, dataSize + 36);  // the file less the 8 bytes of this chunk's id and size
    out = putLittleEndian32(out, tag("WAVE"));
    out = putLittleEndian32(out, tag("fmt "));
    out = putLittleEndian32(out, 16);             // size of the plain PCM format chunk
    out = putLittleEndian32(out, pair16(1, channels));  // format 1: integer PCM
    out = putLittleEndian32(out, sampleRate);
    out = putLittleEndian32(out, channels * sampleRate * bytesPerSample);  // bytes per second
    out = putLittleEndian32(out, pair16(channels * bytesPerSample, 8 * bytesPerSample));  // block align, bits
    out = putLittleEndian32(out, tag("data"));
    putLittleEndian32(out, dataSize);
}

std::size_t encodeWav(const SampleBuffer& samples, std::uint32_t total, const RunSettings& settings,
                      WavFileBuffer& file)
{
    std::uint8_t* bytes = file.bytes.data();
    writeWavHeader(bytes, total / settings.channels, settings.sampleRate, settings.channels,
                   settings.bytesPerSample);
    if (settings.bytesPerSample == 1) {
        encode8Bit(samples.samples.data(), total, bytes + wavHeaderSize);
    } else {
        encode16Bit(samples.samples.data(), total, bytes + wavHeaderSize);
    }
    return wavHeaderSize + std::size_t{total} * settings.bytesPerSample;
}

bool saveWav(const Text& wavName, const RunSettings& settings, const SampleBuffer& samples, std::uint32_t total,
             WavFileBuffer& file, Console& console)
{
    std::size_t length = encodeWav(samples, total, settings, file);
    return saveOutputFile(wavName, {file.bytes.data(), length}, console);
}

}  // namespace tunestrip
