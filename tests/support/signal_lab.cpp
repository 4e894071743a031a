#include "support/signal_lab.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "library/card_library.h"
#include "run/work_buffers.h"
#include "support/byte_writer.h"

namespace tunestrip::testing {
namespace {

constexpr double pi = 3.14159265358979323846;

struct Shape {
    unsigned tag;
    unsigned bits;
};

Shape shapeOf(SampleForm form)
{
    switch (form) {
    case SampleForm::unsigned8: return {1, 8};
    case SampleForm::signed16: return {1, 16};
    case SampleForm::signed24: return {1, 24};
    case SampleForm::signed32: return {1, 32};
    case SampleForm::float32: return {3, 32};
    default: return {3, 64};
    }
}

void putSample(std::vector<std::uint8_t>& out, double value, SampleForm form)
{
    value = std::clamp(value, -1.0, 1.0);
    switch (form) {
    case SampleForm::unsigned8:
        out.push_back(static_cast<std::uint8_t>(std::clamp(std::lround(value * 128) + 128, 0L, 255L)));
        break;
    case SampleForm::signed16:
        put16(out, static_cast<unsigned>(std::clamp(std::lround(value * 32768), -32768L, 32767L)) & 0xFFFF);
        break;
    case SampleForm::signed24: {
        auto v = static_cast<std::uint32_t>(std::clamp(std::lround(value * 8388608), -8388608L, 8388607L));
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v >> 16));
        break;
    }
    case SampleForm::signed32:
        put32(out, static_cast<std::uint32_t>(std::clamp(std::llround(value * 2147483648.0), -2147483648LL,
                                                         2147483647LL)));
        break;
    case SampleForm::float32: {
        auto single = static_cast<float>(value);
        std::uint32_t raw;
        std::memcpy(&raw, &single, 4);
        put32(out, raw);
        break;
    }
    case SampleForm::float64: {
        std::uint64_t raw;
        std::memcpy(&raw, &value, 8);
        put32(out, static_cast<std::uint32_t>(raw));
        put32(out, static_cast<std::uint32_t>(raw >> 32));
        break;
    }
    }
}

// A second-order section, run over the signal once in place.
void biquad(Signal& signal, double b0, double b1, double b2, double a1, double a2)
{
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float& sample : signal) {
        double x = sample;
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        sample = static_cast<float>(y);
    }
}

// Band-limited interpolation at a fractional position (a Hann-windowed sinc).
double interpolate(const Signal& signal, double position, double bandwidth)
{
    constexpr int halfWidth = 16;
    auto centre = static_cast<long>(std::floor(position));
    double sum = 0;
    for (long i = centre - halfWidth + 1; i <= centre + halfWidth; ++i) {
        if (i < 0 || i >= static_cast<long>(signal.size())) {
            continue;
        }
        double x = position - static_cast<double>(i);
        double sinc = x == 0 ? 1 : std::sin(pi * x * bandwidth) / (pi * x * bandwidth);
        double window = 0.5 + 0.5 * std::cos(pi * x / halfWidth);
        sum += signal[static_cast<std::size_t>(i)] * bandwidth * sinc * window;
    }
    return sum;
}

}  // namespace

std::vector<std::uint8_t> encodeCard(const std::vector<std::uint8_t>& payload, const RunSettings& settings)
{
    WorkBuffersPointer buffers = allocateWorkBuffers();
    Console console;
    std::string ignored;
    console.capture = &ignored;
    ConversionJob job{Text{"card.bin"}, false, payload};
    std::uint32_t imageLength = buildStripImage(job, settings, buffers->image, console);
    std::uint32_t bitCount = serializeBits(buffers->image, imageLength, buffers->stream);
    std::uint32_t total = synthesizeStrip(buffers->stream, bitCount, settings, buffers->samples);
    std::size_t length = encodeWav(buffers->samples, total, settings, buffers->file);
    return {buffers->file.bytes.begin(), buffers->file.bytes.begin() + static_cast<long>(length)};
}

Signal stripSignal(const std::vector<std::uint8_t>& payload, const RunSettings& settings)
{
    RunSettings mono = settings;
    mono.channels = 1;
    mono.bytesPerSample = 2;
    std::vector<std::uint8_t> wav = encodeCard(payload, mono);
    Signal signal((wav.size() - 44) / 2);
    for (std::size_t i = 0; i < signal.size(); ++i) {
        auto sample = static_cast<std::int16_t>(wav[44 + 2 * i] | wav[45 + 2 * i] << 8);
        signal[i] = static_cast<float>(sample) / 30000.0f;
    }
    return signal;
}

std::vector<std::uint8_t> makeWav(const std::vector<Signal>& channels, std::uint32_t rate, const WavForm& form)
{
    Shape shape = shapeOf(form.samples);
    auto count = static_cast<std::uint32_t>(channels.size());
    std::uint32_t frames = channels.empty() ? 0 : static_cast<std::uint32_t>(channels[0].size());
    std::uint32_t align = count * shape.bits / 8;
    std::vector<std::uint8_t> fmt;
    put16(fmt, form.extensible ? 0xFFFE : shape.tag);
    put16(fmt, count);
    put32(fmt, rate);
    put32(fmt, rate * align);
    put16(fmt, align);
    put16(fmt, shape.bits);
    if (form.extensible) {
        put16(fmt, 22);
        put16(fmt, shape.bits);
        put32(fmt, count == 1 ? 4 : 3);  // front centre, or front left and right
        // The sub-format GUID: the format tag, then the fixed tail of the
        // audio-media GUID.
        const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                       0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        put16(fmt, shape.tag);
        fmt.insert(fmt.end(), tail, tail + 14);
    }
    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    put32(out, 0);  // filled in below
    putTag(out, "WAVE");
    if (form.extraChunks) {
        putTag(out, "JUNK");
        put32(out, 3);
        out.insert(out.end(), {1, 2, 3, 0});  // odd size, then its pad byte
    }
    putTag(out, "fmt ");
    put32(out, static_cast<std::uint32_t>(fmt.size()));
    out.insert(out.end(), fmt.begin(), fmt.end());
    if (form.extraChunks) {
        putTag(out, "fact");
        put32(out, 4);
        put32(out, frames);
        putTag(out, "LIST");
        put32(out, 12);
        putTag(out, "INFO");
        putTag(out, "ISFT");
        put32(out, 0);
    }
    putTag(out, "data");
    put32(out, form.streamingSize ? 0xFFFFFFFF : frames * align);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (const Signal& channel : channels) {
            putSample(out, channel[i], form.samples);
        }
    }
    auto riffSize = static_cast<std::uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) {
        out[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(riffSize >> (8 * i));
    }
    return out;
}

std::vector<std::uint8_t> libraryCard(std::uint32_t index)
{
    CardEntry entry = cardEntry(index);
    return {entry.payload.begin(), entry.payload.end()};
}

std::vector<std::uint8_t> withoutTrail(std::vector<std::uint8_t> bytes)
{
    while (!bytes.empty() && bytes.back() == 0) {
        bytes.pop_back();
    }
    return bytes;
}

std::vector<std::uint8_t> randomBytes(std::size_t count, std::uint32_t seed)
{
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = seed * 2654435761u + 1;
    for (std::uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

void addNoise(Signal& signal, double decibels, std::uint32_t seed)
{
    double rms = std::pow(10.0, -decibels / 20.0);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    auto uniform = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return (static_cast<double>(state >> 11) + 0.5) / 9007199254740992.0;
    };
    for (float& sample : signal) {
        // Box-Muller: a normal deviate from two uniform ones.
        double normal = std::sqrt(-2 * std::log(uniform())) * std::cos(2 * pi * uniform());
        sample = static_cast<float>(sample + rms * normal);
    }
}

Signal changeSpeed(const Signal& signal, const std::function<double(double)>& speed)
{
    Signal out;
    auto length = static_cast<double>(signal.size());
    for (double position = 0; position < length - 1;) {
        double rate = speed(position / length);
        // A faster swipe is also band-limited by the head: filter at the new rate.
        out.push_back(static_cast<float>(interpolate(signal, position, std::min(1.0, 1.0 / rate))));
        position += rate;
    }
    return out;
}

Signal resample(const Signal& signal, double fromRate, double toRate)
{
    return changeSpeed(signal, [ratio = fromRate / toRate](double) { return ratio; });
}

void lowPass(Signal& signal, double rate, double cutoff)
{
    double k = std::tan(pi * cutoff / rate);
    double norm = 1 / (1 + std::sqrt(2.0) * k + k * k);
    biquad(signal, k * k * norm, 2 * k * k * norm, k * k * norm, 2 * (k * k - 1) * norm,
           (1 - std::sqrt(2.0) * k + k * k) * norm);
}

void highPass(Signal& signal, double rate, double cutoff)
{
    double k = std::tan(pi * cutoff / rate);
    double norm = 1 / (1 + std::sqrt(2.0) * k + k * k);
    biquad(signal, norm, -2 * norm, norm, 2 * (k * k - 1) * norm, (1 - std::sqrt(2.0) * k + k * k) * norm);
}

Signal headPulses(const Signal& square, double rate, double cutoff)
{
    Signal pulses(square.size());
    for (std::size_t i = 1; i < square.size(); ++i) {
        pulses[i] = square[i] - square[i - 1];
    }
    lowPass(pulses, rate, cutoff);
    float peak = 0;
    for (float sample : pulses) {
        peak = std::max(peak, std::fabs(sample));
    }
    scale(pulses, peak > 0 ? 1.0 / peak : 1.0);
    return pulses;
}

void scale(Signal& signal, double gain, double offset)
{
    for (float& sample : signal) {
        sample = static_cast<float>(sample * gain + offset);
    }
}

void clip(Signal& signal)
{
    for (float& sample : signal) {
        sample = std::clamp(sample, -1.0f, 1.0f);
    }
}

void quantize(Signal& signal, int bits)
{
    double steps = std::ldexp(1.0, bits - 1);
    for (float& sample : signal) {
        sample = static_cast<float>(std::round(std::clamp(sample, -1.0f, 1.0f) * steps) / steps);
    }
}

}  // namespace tunestrip::testing
