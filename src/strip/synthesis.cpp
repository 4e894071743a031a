#include "strip/synthesis.h"

#include <algorithm>

namespace tunestrip {
namespace {

std::int16_t* writeSilence(std::int16_t* out, std::uint32_t frames, std::uint32_t channels)
{
    return std::fill_n(out, std::size_t{frames} * channels, std::int16_t{0});
}

// One cell of `Samples` samples per channel starting at `level`: a 1
// changes level halfway. With two channels each strip sample is followed by
// the guide sample: the mark for the first `mark` samples, then the bit's
// level. The cell length is a constant here so that the compiler unrolls the
// cell into straight stores; this loop is where the program spends its time.
template <std::uint32_t Samples, std::uint32_t Channels>
std::int16_t* writeCells(std::int16_t* out, const std::uint8_t* cells, std::uint32_t bitCount, std::uint32_t mark)
{
    constexpr std::uint32_t half = Samples / 2;
    int level = stripHigh;
    for (std::uint32_t i = 0; i < bitCount; ++i) {
        // Card data is random to the branch predictor, so the bit selects
        // by arithmetic: flip is -1 for a 1 and 0 for a 0.
        int bit = cells[i] & 1;
        int flip = -bit;
        auto first = static_cast<std::int16_t>(level);
        auto second = static_cast<std::int16_t>((level ^ flip) - flip);
        if constexpr (Channels == 1) {
            for (std::uint32_t j = 0; j < Samples; ++j) {
                out[j] = j < half ? first : second;
            }
        } else {
            std::int16_t guideMark = i % 8 == 0 ? guideByteMark : guideCellMark;
            auto guideLevel = static_cast<std::int16_t>(guideBitLevel * (2 * bit - 1));
            for (std::uint32_t j = 0; j < Samples; ++j) {
                out[2 * j] = j < half ? first : second;
                out[2 * j + 1] = j < mark ? guideMark : guideLevel;
            }
        }
        out += Samples * Channels;
        // Every cell ends with a change of level.
        level = -second;
    }
    return out;
}

template <std::uint32_t Channels>
std::int16_t* writeCellsOfLength(std::int16_t* out, const std::uint8_t* cells, std::uint32_t bitCount,
                                 const RunSettings& settings)
{
    std::uint32_t mark = markSamples(settings);
    switch (settings.cellSamples) {
    case 4: return writeCells<4, Channels>(out, cells, bitCount, mark);
    case 8: return writeCells<8, Channels>(out, cells, bitCount, mark);
    case 12: return writeCells<12, Channels>(out, cells, bitCount, mark);
    case 16: return writeCells<16, Channels>(out, cells, bitCount, mark);
    default: return writeCells<24, Channels>(out, cells, bitCount, mark);
    }
}

}  // namespace

std::uint32_t halfCell(const RunSettings& settings)
{
    return settings.cellSamples / 2;
}

std::uint32_t markSamples(const RunSettings& settings)
{
    return std::max<std::uint32_t>(settings.cellSamples / 3, 2);
}

std::uint32_t synthesizeStrip(const BitStream& stream, std::uint32_t bitCount, const RunSettings& settings,
                              SampleBuffer& buffer)
{
    std::int16_t* start = buffer.samples.data();
    std::int16_t* out = start;
    if (settings.ioSilence) {
        out = writeSilence(out, settings.sampleRate / 5, settings.channels);
    }
    if (settings.channels == 2) {
        out = writeCellsOfLength<2>(out, stream.cells.data(), bitCount, settings);
    } else {
        out = writeCellsOfLength<1>(out, stream.cells.data(), bitCount, settings);
    }
    if (settings.ioSilence) {
        out = writeSilence(out, settings.sampleRate / 2, settings.channels);
    }
    return static_cast<std::uint32_t>(out - start);
}

}  // namespace tunestrip
