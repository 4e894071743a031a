#include "decode/wav_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "support/malformed_wavs.h"
#include "support/signal_lab.h"

namespace tunestrip {
namespace {

using testing::SampleForm;
using testing::WavForm;

struct FormCase {
    WavForm form;
    std::uint32_t bits;
    bool isFloat;
    double tolerance;  // the form's quantisation step
};

TEST(ParseWav, ReadsEveryFormOfFile)
{
    const FormCase cases[] = {
        {{SampleForm::unsigned8}, 8, false, 1.0 / 128},
        {{SampleForm::signed16}, 16, false, 1.0 / 32768},
        {{SampleForm::signed24}, 24, false, 1.0 / 8388608},
        {{SampleForm::signed32}, 32, false, 1e-7},
        {{SampleForm::float32}, 32, true, 1e-7},
        {{SampleForm::float64}, 64, true, 1e-7},
        {{SampleForm::signed16, true}, 16, false, 1.0 / 32768},
        {{SampleForm::float32, true, true}, 32, true, 1e-7},
        {{SampleForm::signed24, false, true, true}, 24, false, 1.0 / 8388608},
        {{SampleForm::unsigned8, true, true, true}, 8, false, 1.0 / 128},
    };
    std::vector<float> left = {0, 0.5f, -0.5f, 0.999f, -1, 0.25f, -0.125f};
    std::vector<float> right = {-0.75f, 0.1f, 0.2f, 0.3f, 0.4f, -0.9f, 0};
    for (const FormCase& c : cases) {
        for (std::uint32_t rate : {8000u, 44100u, 384000u}) {
            WavReadResult read = parseWav(testing::makeWav({left, right}, rate, c.form));
            ASSERT_EQ(read.error, "") << c.bits;
            EXPECT_EQ(read.audio.sampleRate, rate);
            EXPECT_EQ(read.audio.channels, 2u);
            EXPECT_EQ(read.audio.bitsPerSample, c.bits);
            EXPECT_EQ(read.audio.isFloat, c.isFloat);
            ASSERT_EQ(read.audio.frames, left.size());
            for (std::size_t i = 0; i < left.size(); ++i) {
                EXPECT_NEAR(read.audio.samples[i], left[i], c.tolerance) << c.bits << " bits, sample " << i;
                EXPECT_NEAR(read.audio.samples[left.size() + i], right[i], c.tolerance);
            }
        }
    }
}

TEST(ParseWav, AStreamingWritersSizesReadToTheEndOfTheFile)
{
    std::vector<std::uint8_t> file = testing::makeWav({{0.5f, -0.5f, 0.25f}}, 48000, {SampleForm::signed16});
    for (std::uint32_t size : {0u, 0xFFFFFFFFu}) {
        for (int i = 0; i < 4; ++i) {
            file[40 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
        }
        file.push_back(0x7F);  // half a frame from a writer that was stopped
        WavReadResult read = parseWav(file);
        ASSERT_EQ(read.error, "");
        EXPECT_EQ(read.audio.frames, 3u);
        file.pop_back();
    }
}

TEST(ParseWav, EveryMalformedFileHasItsOwnError)
{
    for (const testing::MalformedWav& bad : testing::malformedWavs()) {
        WavReadResult read = parseWav(bad.bytes);
        EXPECT_EQ(read.error, bad.error) << bad.name;
        EXPECT_TRUE(read.audio.samples.empty()) << bad.name;
    }
}

TEST(ParseWav, FloatsOutOfAnyRangeCannotPoisonTheReading)
{
    std::vector<std::uint8_t> file = testing::makeWav({{0, 0, 0, 0}}, 48000, {SampleForm::float32});
    const float values[] = {std::nanf(""), INFINITY, -INFINITY, 1e30f};
    std::memcpy(file.data() + 44, values, sizeof values);  // the file's byte order is the machine's here
    WavReadResult read = parseWav(file);
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.audio.samples, (std::vector<float>{0, 0, 0, 4}));
}

}  // namespace
}  // namespace tunestrip
