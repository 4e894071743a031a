#include "decode/wav_reader.h"

#include <cmath>
#include <cstring>

namespace tunestrip {
namespace {

constexpr std::uint16_t formatPcm = 1;
constexpr std::uint16_t formatFloat = 3;
constexpr std::uint16_t formatExtensible = 0xFFFE;  // the real format is in the sub-format GUID
constexpr std::uint32_t sizeToEnd = 0xFFFFFFFF;     // a streaming writer's "unknown length"

std::uint16_t little16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t little32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool isTag(const std::uint8_t* p, const char* tag)
{
    return std::memcmp(p, tag, 4) == 0;
}

// A chunk's tag for a message: bytes that do not print show as "?".
std::string printableTag(const std::uint8_t* tag)
{
    std::string text;
    for (int i = 0; i < 4; ++i) {
        text += tag[i] >= 32 && tag[i] < 127 ? static_cast<char>(tag[i]) : '?';
    }
    return text;
}

struct Format {
    std::uint16_t tag = 0;
    std::uint32_t channels = 0;
    std::uint32_t rate = 0;
    std::uint32_t blockAlign = 0;
    std::uint32_t bits = 0;
};

std::string readFormat(const std::uint8_t* chunk, std::uint32_t size, Format& format)
{
    if (size < 16) {
        return "fmt chunk of " + std::to_string(size) + " bytes, fewer than 16";
    }
    format.tag = little16(chunk);
    format.channels = little16(chunk + 2);
    format.rate = little32(chunk + 4);
    format.blockAlign = little16(chunk + 12);
    format.bits = little16(chunk + 14);
    if (format.tag == formatExtensible) {
        if (size < 40) {
            return "extensible fmt chunk of " + std::to_string(size) + " bytes, fewer than 40";
        }
        format.tag = little16(chunk + 24);  // the first two bytes of the sub-format GUID
    }
    if (format.tag != formatPcm && format.tag != formatFloat) {
        return "sample format " + std::to_string(format.tag) + " is neither integer PCM nor float";
    }
    if (format.channels == 0) {
        return "no channels";
    }
    if (format.rate < lowestWavRate || format.rate > highestWavRate) {
        return "sample rate " + std::to_string(format.rate) + " Hz outside 8000 to 384000";
    }
    bool pcmBits = format.bits == 8 || format.bits == 16 || format.bits == 24 || format.bits == 32;
    bool floatBits = format.bits == 32 || format.bits == 64;
    if (format.tag == formatPcm ? !pcmBits : !floatBits) {
        return std::to_string(format.bits) + "-bit " + (format.tag == formatPcm ? "integer" : "float") +
               " samples are not supported";
    }
    if (format.blockAlign != format.channels * (format.bits / 8)) {
        return "block align " + std::to_string(format.blockAlign) + " does not fit " +
               std::to_string(format.channels) + " channels of " + std::to_string(format.bits) + " bits";
    }
    return {};
}

float sampleAt(const std::uint8_t* p, const Format& format)
{
    if (format.tag == formatFloat) {
        double value = 0;
        if (format.bits == 32) {
            std::uint32_t raw = little32(p);
            float single;
            std::memcpy(&single, &raw, 4);
            value = single;
        } else {
            std::uint64_t raw = little32(p) | static_cast<std::uint64_t>(little32(p + 4)) << 32;
            std::memcpy(&value, &raw, 8);
        }
        // A damaged float file must not poison the filters.
        return std::isfinite(value) ? static_cast<float>(std::fmax(-4.0, std::fmin(4.0, value))) : 0.0f;
    }
    switch (format.bits) {
    case 8: return static_cast<float>(p[0] - 128) / 128.0f;  // unsigned, 128 is silence
    case 16: return static_cast<float>(static_cast<std::int16_t>(little16(p))) / 32768.0f;
    case 24: {
        // Three bytes placed in the top of a 32-bit value keep their sign.
        auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) << 8 |
                                               static_cast<std::uint32_t>(p[1]) << 16 |
                                               static_cast<std::uint32_t>(p[2]) << 24);
        return static_cast<float>(value) / 2147483648.0f;
    }
    default: return static_cast<float>(static_cast<std::int32_t>(little32(p))) / 2147483648.0f;
    }
}

void convertSamples(const std::uint8_t* data, std::size_t frames, const Format& format, WavAudio& audio)
{
    audio.sampleRate = format.rate;
    audio.channels = format.channels;
    audio.bitsPerSample = format.bits;
    audio.isFloat = format.tag == formatFloat;
    audio.frames = frames;
    audio.samples.resize(frames * format.channels);
    std::uint32_t width = format.bits / 8;
    for (std::uint32_t c = 0; c < format.channels; ++c) {
        float* out = audio.samples.data() + c * frames;
        const std::uint8_t* in = data + c * width;
        // The common form gets a loop of its own that the compiler can keep tight.
        if (format.tag == formatPcm && format.bits == 16) {
            for (std::size_t i = 0; i < frames; ++i, in += format.blockAlign) {
                out[i] = static_cast<float>(static_cast<std::int16_t>(little16(in))) / 32768.0f;
            }
            continue;
        }
        for (std::size_t i = 0; i < frames; ++i, in += format.blockAlign) {
            out[i] = sampleAt(in, format);
        }
    }
}

}  // namespace

WavReadResult parseWav(std::span<const std::uint8_t> file)
{
    WavReadResult result;
    const std::uint8_t* bytes = file.data();
    std::size_t size = file.size();
    if (size < 12) {
        result.error = size == 0 ? "empty file" : "too short for a RIFF header (" + std::to_string(size) + " bytes)";
        return result;
    }
    if (!isTag(bytes, "RIFF") || !isTag(bytes + 8, "WAVE")) {
        result.error = isTag(bytes, "RIFF") ? "RIFF file but not WAVE" : "not a RIFF WAVE file";
        return result;
    }
    Format format;
    bool haveFormat = false;
    std::size_t position = 12;
    while (true) {
        std::size_t left = size - position;
        if (left < 8) {
            result.error = left == 0 ? "no data chunk" : "file ends inside a chunk header";
            return result;
        }
        const std::uint8_t* header = bytes + position;
        std::uint32_t chunkSize = little32(header + 4);
        position += 8;
        left -= 8;
        if (isTag(header, "data")) {
            if (!haveFormat) {
                result.error = "data chunk before the fmt chunk";
                return result;
            }
            bool toEnd = chunkSize == 0 || chunkSize == sizeToEnd;
            if (!toEnd && chunkSize > left) {
                result.error = "data chunk of " + std::to_string(chunkSize) + " bytes, larger than the " +
                               std::to_string(left) + " bytes left in the file";
                return result;
            }
            std::size_t dataSize = toEnd ? left : chunkSize;
            if (!toEnd && dataSize % format.blockAlign != 0) {
                result.error = "data ends inside a sample frame";
                return result;
            }
            // A streaming writer that was stopped may leave half a frame.
            convertSamples(bytes + position, dataSize / format.blockAlign, format, result.audio);
            return result;
        }
        if (chunkSize > left) {
            result.error = "chunk \"" + printableTag(header) + "\" of " +
                           std::to_string(chunkSize) + " bytes runs past the end of the file";
            return result;
        }
        if (isTag(header, "fmt ")) {
            if (haveFormat) {
                result.error = "second fmt chunk";
                return result;
            }
            result.error = readFormat(bytes + position, chunkSize, format);
            if (!result.error.empty()) {
                return result;
            }
            haveFormat = true;
        }
        // Chunks are padded to an even size; a missing final pad byte is harmless.
        position += chunkSize + (chunkSize & 1u);
        position = std::min(position, size);
    }
}

}  // namespace tunestrip
