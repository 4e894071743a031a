#include "strip/synthesis.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tunestrip {
namespace {

struct Buffers {
    std::unique_ptr<BitStream> stream = std::make_unique<BitStream>();
    std::unique_ptr<SampleBuffer> samples = std::make_unique<SampleBuffer>();

    std::uint32_t render(const std::vector<std::uint8_t>& cells, const RunSettings& settings)
    {
        std::copy(cells.begin(), cells.end(), stream->cells.begin());
        return synthesizeStrip(*stream, static_cast<std::uint32_t>(cells.size()), settings, *samples);
    }
    [[nodiscard]] std::vector<std::int16_t> first(std::size_t count) const
    {
        return {samples->samples.begin(), samples->samples.begin() + static_cast<long>(count)};
    }
};

TEST(SynthesizeStrip, TwoChannelsFollowTheWorkedExample)
{
    Buffers buffers;
    RunSettings settings;
    settings.channels = 2;
    ASSERT_EQ(buffers.render({0, 1, 0}, settings), 24u);
    const std::vector<std::int16_t> expected = {
        30000, 20000,  30000, 20000,  30000, -3500, 30000, -3500,   // entry 0, bit 0, a byte start
        -30000, 7000,  -30000, 7000,  30000, 3500,  30000, 3500,    // entry 1, bit 1
        -30000, 7000,  -30000, 7000,  -30000, -3500, -30000, -3500,  // entry 2 starts opposite
    };
    EXPECT_EQ(buffers.first(24), expected);
}

struct ShapeCase {
    std::uint32_t cellSamples;
    std::uint32_t half;
    std::uint32_t mark;
};

TEST(SynthesizeStrip, CellsOfEveryLengthChangeLevelAtTheEndAndMidwayForAOne)
{
    const ShapeCase cases[] = {{4, 2, 2}, {8, 4, 2}, {12, 6, 4}, {16, 8, 5}, {24, 12, 8}};
    const std::vector<std::uint8_t> cells = {0, 1, 1, 0, 1, 0, 0, 0, 1};
    Buffers buffers;
    for (const ShapeCase& c : cases) {
        for (std::uint32_t channels : {1u, 2u}) {
            RunSettings settings;
            settings.cellSamples = c.cellSamples;
            settings.channels = channels;
            EXPECT_EQ(halfCell(settings), c.half);
            EXPECT_EQ(markSamples(settings), c.mark);
            ASSERT_EQ(buffers.render(cells, settings), cells.size() * c.cellSamples * channels);
            // The same signal worked out sample by sample.
            std::vector<std::int16_t> expected;
            std::int16_t level = 30000;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                for (std::uint32_t j = 0; j < c.cellSamples; ++j) {
                    if (j == c.half && cells[i] == 1) {
                        level = static_cast<std::int16_t>(-level);
                    }
                    expected.push_back(level);
                    if (channels == 2) {
                        std::int16_t mark = i % 8 == 0 ? 20000 : 7000;
                        expected.push_back(j < c.mark ? mark : (cells[i] ? 3500 : -3500));
                    }
                }
                level = static_cast<std::int16_t>(-level);
            }
            EXPECT_EQ(buffers.first(expected.size()), expected) << c.cellSamples << " x " << channels;
        }
    }
}

TEST(SynthesizeStrip, SilenceFramesTheStripAtEveryRate)
{
    Buffers buffers;
    const std::vector<std::uint8_t> cells(1000, 1);
    for (std::uint32_t rate : {32000u, 44100u, 48000u, 96000u, 192000u}) {
        for (std::uint32_t channels : {1u, 2u}) {
            RunSettings settings;
            settings.sampleRate = rate;
            settings.channels = channels;
            settings.ioSilence = true;
            std::uint32_t lead = rate / 5 * channels;
            std::uint32_t tail = rate / 2 * channels;
            std::uint32_t total = buffers.render(cells, settings);
            ASSERT_EQ(total, lead + 4000 * channels + tail);
            const auto& s = buffers.samples->samples;
            EXPECT_TRUE(std::all_of(s.begin(), s.begin() + lead, [](std::int16_t v) { return v == 0; }));
            EXPECT_EQ(s[lead], 30000) << "the strip starts high after the silence";
            EXPECT_NE(s[lead + 4000 * channels - channels], 0);
            EXPECT_TRUE(std::all_of(s.begin() + lead + 4000 * channels, s.begin() + total,
                                    [](std::int16_t v) { return v == 0; }));
        }
    }
}

TEST(SynthesizeStrip, EveryJobStartsHighWhateverTheLastOneEndedWith)
{
    Buffers buffers;
    RunSettings settings;
    (void)buffers.render({1, 0, 0}, settings);  // ends low
    (void)buffers.render({0}, settings);
    EXPECT_EQ(buffers.samples->samples[0], 30000);
}

TEST(SynthesizeStrip, TheLargestJobFitsTheBuffer)
{
    Buffers buffers;
    RunSettings settings;
    settings.sampleRate = 192000;
    settings.cellSamples = 24;
    settings.channels = 2;
    settings.ioSilence = true;
    std::vector<std::uint8_t> cells(maxBitCount, 0);
    EXPECT_EQ(buffers.render(cells, settings), 1062144u);
}

}  // namespace
}  // namespace tunestrip
