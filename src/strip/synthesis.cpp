#include "strip/synthesis.h"

#include <algorithm>

namespace tunestrip {
namespace {

std::int16_t* writeSilence(std::int16_t* out, std::uint32_t frames, std::uint32_t channels)
{
    return std::fill_n(out, std::size_t{frames} * channels, std::int16_t{0});
}

// The strip alone: each cell is two equal halves, with a change of level
// between them for a 1 and a change at the end of every cell.
std::int16_t* writeStripCells(std::int16_t* out, const std::uint8_t* cells, std::uint32_t bitCount,
                              std::uint32_t half)
{
    std::int16_t level = stripHigh;
    for (std::uint32_t i = 0; i < bitCount; ++i) {
        out = std::fill_n(out, half, level);
        if (cells[i] != 0) {
            level = static_cast<std::int16_t>(-level);
        }
        out = std::fill_n(out, half, level);
        level = static_cast<std::int16_t>(-level);
    }
    return out;
}

// Strip and guide channel, interleaved frame by frame.
std::int16_t* writeGuidedCells(std::int16_t* out, const std::uint8_t* cells, std::uint32_t bitCount,
                               const RunSettings& settings)
{
    std::uint32_t half = halfCell(settings);
    std::uint32_t mark = markSamples(settings);
    std::int16_t level = stripHigh;
    for (std::uint32_t i = 0; i < bitCount; ++i) {
        bool one = cells[i] != 0;
        std::int16_t guideMark = i % 8 == 0 ? guideByteMark : guideCellMark;
        std::int16_t guideLevel = one ? guideBitLevel : static_cast<std::int16_t>(-guideBitLevel);
        for (std::uint32_t j = 0; j < settings.cellSamples; ++j) {
            if (j == half && one) {
                level = static_cast<std::int16_t>(-level);
            }
            *out++ = level;
            *out++ = j < mark ? guideMark : guideLevel;
        }
        level = static_cast<std::int16_t>(-level);
    }
    return out;
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
        out = writeGuidedCells(out, stream.cells.data(), bitCount, settings);
    } else {
        out = writeStripCells(out, stream.cells.data(), bitCount, halfCell(settings));
    }
    if (settings.ioSilence) {
        out = writeSilence(out, settings.sampleRate / 2, settings.channels);
    }
    return static_cast<std::uint32_t>(out - start);
}

}  // namespace tunestrip
