#include "strip/wav_writer.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tunestrip {
namespace {

std::uint32_t field32(const std::uint8_t* bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                      bytes[offset + 3] << 24);
}

std::uint32_t field16(const std::uint8_t* bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8);
}

TEST(WriteWavHeader, WritesTheFortyFourBytesOfAPlainPcmHeader)
{
    std::uint8_t header[44];
    writeWavHeader(header, 4000, 48000, 1, 2);
    const std::uint8_t expected[44] = {
        'R', 'I', 'F', 'F', 0x64, 0x1F, 0, 0,  'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        16, 0, 0, 0,  1, 0, 1, 0,  0x80, 0xBB, 0, 0,  0x00, 0x77, 0x01, 0,  2, 0, 16, 0,
        'd', 'a', 't', 'a', 0x40, 0x1F, 0, 0,
    };
    EXPECT_EQ(std::vector<std::uint8_t>(header, header + 44), std::vector<std::uint8_t>(expected, expected + 44));
}

struct FormatCase {
    std::uint32_t rate;
    std::uint32_t channels;
    std::uint32_t bytesPerSample;
    std::uint32_t byteRate;
    std::uint32_t blockAlign;
};

TEST(WriteWavHeader, RatesAndAlignmentFollowTheFormat)
{
    const FormatCase cases[] = {
        {48000, 2, 2, 192000, 4}, {48000, 2, 1, 96000, 2}, {48000, 1, 1, 48000, 1},
        {44100, 1, 2, 88200, 2},  {192000, 2, 2, 768000, 4},
    };
    for (const FormatCase& c : cases) {
        std::uint8_t header[44];
        writeWavHeader(header, 1000, c.rate, c.channels, c.bytesPerSample);
        EXPECT_EQ(field16(header, 22), c.channels);
        EXPECT_EQ(field32(header, 24), c.rate);
        EXPECT_EQ(field32(header, 28), c.byteRate);
        EXPECT_EQ(field16(header, 32), c.blockAlign);
        EXPECT_EQ(field16(header, 34), 8 * c.bytesPerSample);
        EXPECT_EQ(field32(header, 40), 1000 * c.blockAlign);
        EXPECT_EQ(field32(header, 4), 1000 * c.blockAlign + 36);
    }
}

TEST(EncodeWav, SixteenBitSamplesGoOutLowByteFirst)
{
    auto samples = std::make_unique<SampleBuffer>();
    auto file = std::make_unique<WavFileBuffer>();
    const std::int16_t values[] = {30000, -30000, 20000, -3500};
    std::copy(std::begin(values), std::end(values), samples->samples.begin());
    ASSERT_EQ(encodeWav(*samples, 4, RunSettings{}, *file), 52u);
    const std::vector<std::uint8_t> data = {0x30, 0x75, 0xD0, 0x8A, 0x20, 0x4E, 0x54, 0xF2};
    EXPECT_EQ(std::vector<std::uint8_t>(file->bytes.begin() + 44, file->bytes.begin() + 52), data);
}

TEST(EncodeWav, EightBitSamplesTruncateTowardZeroAroundTheMiddle)
{
    const std::pair<std::int16_t, std::uint8_t> cases[] = {
        {30000, 245}, {-30000, 11}, {20000, 206}, {7000, 155}, {3500, 141}, {-3500, 115}, {0, 128},
    };
    auto samples = std::make_unique<SampleBuffer>();
    auto file = std::make_unique<WavFileBuffer>();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        samples->samples[i] = cases[i].first;
    }
    RunSettings settings;
    settings.bytesPerSample = 1;
    ASSERT_EQ(encodeWav(*samples, std::size(cases), settings, *file), 44 + std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(file->bytes[44 + i], cases[i].second) << cases[i].first;
    }
}

// A reader that players use must see the format and every sample as written.
TEST(EncodeWav, EveryKindOfFileReadsBackThroughLibsndfile)
{
    testing::TempDir dir;
    auto stream = std::make_unique<BitStream>();
    auto samples = std::make_unique<SampleBuffer>();
    auto file = std::make_unique<WavFileBuffer>();
    std::vector<std::uint8_t> cells = testing::patternBytes(800);
    for (std::uint8_t& cell : cells) {
        cell &= 1;
    }
    std::copy(cells.begin(), cells.end(), stream->cells.begin());
    for (std::uint32_t rate : {32000u, 44100u, 48000u, 96000u, 192000u}) {
        for (std::uint32_t bytes : {1u, 2u}) {
            for (std::uint32_t channels : {1u, 2u}) {
                RunSettings settings;
                settings.sampleRate = rate;
                settings.bytesPerSample = bytes;
                settings.channels = channels;
                settings.ioSilence = rate == 44100;
                settings.cellSamples = rate >= 96000 ? 8 : 4;
                std::uint32_t total = synthesizeStrip(*stream, 800, settings, *samples);
                std::size_t length = encodeWav(*samples, total, settings, *file);
                std::string name = dir.file("kind.wav");
                testing::writeBytes(name, {file->bytes.begin(), file->bytes.begin() + static_cast<long>(length)});

                SF_INFO info{};
                SNDFILE* sound = sf_open(name.c_str(), SFM_READ, &info);
                ASSERT_NE(sound, nullptr) << sf_strerror(nullptr);
                EXPECT_EQ(info.samplerate, static_cast<int>(rate));
                EXPECT_EQ(info.channels, static_cast<int>(channels));
                EXPECT_EQ(info.frames, total / channels);
                EXPECT_EQ(info.format, SF_FORMAT_WAV | (bytes == 1 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16));
                // Asking for a frame more than there is shows that the data ends where it should.
                std::vector<short> read(total + channels);
                EXPECT_EQ(sf_readf_short(sound, read.data(), total / channels + 1), total / channels);
                sf_close(sound);
                for (std::uint32_t i = 0; i < total; ++i) {
                    // libsndfile widens an 8-bit byte b to (b - 128) * 256.
                    int expected = bytes == 1 ? (samples->samples[i] / 256) * 256 : samples->samples[i];
                    ASSERT_EQ(read[i], expected) << rate << " Hz, sample " << i;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tunestrip
