#include "decode/card_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "library/card_library.h"
#include "support/signal_lab.h"

namespace tunestrip {
namespace {

using testing::Signal;
using testing::withoutTrail;

WavAudio audioOf(const std::vector<Signal>& channels, std::uint32_t rate)
{
    WavAudio audio;
    audio.sampleRate = rate;
    audio.channels = static_cast<std::uint32_t>(channels.size());
    audio.frames = channels[0].size();
    for (const Signal& channel : channels) {
        audio.samples.insert(audio.samples.end(), channel.begin(), channel.end());
    }
    return audio;
}

// The recording reads as exactly one complete swipe holding the payload.
::testing::AssertionResult readsAs(const WavAudio& audio, const std::vector<std::uint8_t>& payload)
{
    std::vector<ReadSwipe> swipes = readSwipes(audio, std::nullopt);
    if (swipes.size() != 1) {
        return ::testing::AssertionFailure() << swipes.size() << " swipes";
    }
    const ReadSwipe& read = swipes[0];
    if (!read.complete) {
        return ::testing::AssertionFailure() << "incomplete, " << read.bytes.size() << " bytes, margin "
                                             << read.swipe.margin;
    }
    if (withoutTrail(read.bytes) != withoutTrail(payload)) {
        std::size_t same = 0;
        while (same < read.bytes.size() && same < payload.size() && read.bytes[same] == payload[same]) {
            ++same;
        }
        return ::testing::AssertionFailure() << "bytes differ from byte " << same << " of " << payload.size();
    }
    return ::testing::AssertionSuccess() << "margin " << read.swipe.margin;
}

RunSettings at(std::uint32_t rate, std::uint32_t cellSamples)
{
    RunSettings settings;
    settings.sampleRate = rate;
    settings.cellSamples = cellSamples;
    return settings;
}

// Every WAV file the encoder can write, read through the WAV reader.
TEST(ReadSwipes, EveryFileTheEncoderWritesReadsBack)
{
    std::uint32_t index = 0;
    for (std::uint32_t rate : {32000u, 44100u, 48000u, 96000u, 192000u}) {
        for (std::uint32_t speed : {4u, 8u, 12u}) {
            for (int shape = 0; shape < 32; ++shape) {
                RunSettings settings = at(rate, rate >= 96000 ? 2 * speed : speed);
                settings.bytesPerSample = (shape & 1) != 0 ? 1 : 2;
                settings.channels = (shape & 2) != 0 ? 2 : 1;
                settings.ioSilence = (shape & 4) != 0;
                settings.longerPilot = (shape & 8) != 0;
                settings.noEmptyTrail = (shape & 16) != 0;
                std::vector<std::uint8_t> payload = testing::libraryCard(index++ % cardCount);
                WavReadResult file = parseWav(testing::encodeCard(payload, settings));
                ASSERT_EQ(file.error, "");
                EXPECT_TRUE(readsAs(file.audio, payload)) << rate << " Hz, " << settings.cellSamples
                                                          << " samples a cell, shape " << shape;
            }
        }
    }
}

TEST(ReadSwipes, EveryLibraryCardReadsBack)
{
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        std::vector<std::uint8_t> payload = testing::libraryCard(i);
        EXPECT_TRUE(readsAs(audioOf({testing::stripSignal(payload, RunSettings{})}, 48000), payload)) << i;
    }
}

// A recording that holds a swipe's pilot but not its end gives the bytes
// up to the cut; one that holds the end but not the pilot gives none, since
// read from the trail the cells are the card's backwards. Both ways round,
// for a short card (a long trail) and a nearly full one (a trail of 72
// cells, between the two leaders' lengths).
TEST(ReadSwipes, ACutOffSwipeGivesOnlyTheBytesItHolds)
{
    for (const std::vector<std::uint8_t>& payload : {testing::libraryCard(3), testing::randomBytes(440, 9)}) {
        Signal square = testing::stripSignal(payload, at(48000, 4));
        Signal backwards(square.rbegin(), square.rend());
        std::size_t kept = square.size() * 6 / 10;
        struct CutCase {
            const char* what;
            Signal signal;
            bool holdsThePilot;
        };
        const CutCase cases[] = {
            {"forwards, end cut off", Signal(square.begin(), square.begin() + kept), true},
            {"backwards, start cut off", Signal(backwards.end() - kept, backwards.end()), true},
            {"forwards, start cut off", Signal(square.end() - kept, square.end()), false},
            {"backwards, end cut off", Signal(backwards.begin(), backwards.begin() + kept), false},
        };
        for (const CutCase& c : cases) {
            std::vector<ReadSwipe> swipes = readSwipes(audioOf({c.signal}, 48000), std::nullopt);
            if (!c.holdsThePilot) {
                EXPECT_TRUE(swipes.empty()) << c.what << ", " << payload.size() << " bytes";
                continue;
            }
            ASSERT_EQ(swipes.size(), 1u) << c.what;
            EXPECT_FALSE(swipes[0].complete) << c.what;
            EXPECT_GT(swipes[0].bytes.size(), payload.size() / 2) << c.what;
            ASSERT_LT(swipes[0].bytes.size(), payload.size()) << c.what;
            EXPECT_TRUE(std::equal(swipes[0].bytes.begin(), swipes[0].bytes.end(), payload.begin())) << c.what;
        }
    }
}

// A card whose leader is of neither of the encoder's lengths (63 zero
// cells) with a dropout in the middle: the swipe read from the leader gives
// the bytes before the dropout, since the trail at the strip's far end is
// longer than the leader; the one read from the trail gives none.
TEST(ReadSwipes, ADamagedSwipeWithALeaderOfAnotherLengthGivesItsBytes)
{
    std::vector<std::uint8_t> payload = testing::libraryCard(12);
    RunSettings settings = at(48000, 8);
    settings.longerPilot = true;
    Signal square = testing::stripSignal(payload, settings);
    square.erase(square.begin(), square.begin() + 40 * 8);
    std::fill(square.begin() + 12000, square.begin() + 12200, 0.0f);
    Signal backwards(square.rbegin(), square.rend());
    for (const Signal* signal : {&square, &backwards}) {
        std::vector<ReadSwipe> swipes = readSwipes(audioOf({*signal}, 48000), std::nullopt);
        ASSERT_EQ(swipes.size(), 1u);
        EXPECT_EQ(swipes[0].backwards, signal == &backwards);
        EXPECT_FALSE(swipes[0].complete);
        EXPECT_EQ(swipes[0].swipe.pilotCells, 63u);
        ASSERT_GT(swipes[0].bytes.size(), 150u);
        EXPECT_TRUE(std::equal(swipes[0].bytes.begin(), swipes[0].bytes.end(), payload.begin()));
    }
}

TEST(ReadSwipes, SeveralSwipesInOneRecordingReadInOrder)
{
    Signal both = testing::stripSignal(testing::libraryCard(10), at(48000, 8));
    Signal gap(4800, 0);
    Signal second = testing::stripSignal(testing::libraryCard(20), at(48000, 8));
    both.insert(both.end(), gap.begin(), gap.end());
    both.insert(both.end(), second.begin(), second.end());
    std::vector<ReadSwipe> swipes = readSwipes(audioOf({both}, 48000), std::nullopt);
    ASSERT_EQ(swipes.size(), 2u);
    EXPECT_EQ(withoutTrail(swipes[0].bytes), withoutTrail(testing::libraryCard(10)));
    EXPECT_EQ(withoutTrail(swipes[1].bytes), withoutTrail(testing::libraryCard(20)));
    EXPECT_TRUE(swipes[0].complete && swipes[1].complete);
}

struct NoiseCase {
    std::uint32_t cellSamples;
    double decibels;
};

TEST(ReadSwipes, WhiteNoiseAtTheStatedRatios)
{
    const NoiseCase cases[] = {{4, 12}, {8, 9}, {16, 6}};
    for (const NoiseCase& c : cases) {
        for (std::uint32_t seed = 1; seed <= 3; ++seed) {
            std::vector<std::uint8_t> payload = testing::randomBytes(400, seed);
            Signal signal = testing::stripSignal(payload, at(48000, c.cellSamples));
            testing::addNoise(signal, c.decibels, seed);
            EXPECT_TRUE(readsAs(audioOf({signal}, 48000), payload))
                << c.cellSamples << " samples a cell, " << c.decibels << " dB, seed " << seed;
        }
    }
}

// Noise at and past the stated ratios can make the clock lose a whole cell
// and read on without a fault; the first three recordings did, and read as
// complete cards with every byte after the slip wrong. The last, low-passed
// as well, breaks off in noise that had already turned the byte before the
// break. Whatever they read as now, a complete swipe holds exactly the
// card, and an incomplete one only bytes of it.
TEST(ReadSwipes, NoisyRecordingsGiveNoWrongBytes)
{
    struct NoisyCase {
        std::uint32_t cellSamples;
        double decibels;
        std::uint32_t seed;
        std::uint32_t payloadBytes;
        bool lowPass;
    };
    const NoisyCase cases[] = {{8, 9, 55, 400, false}, {8, 8, 55, 400, false}, {16, 5, 62, 400, false},
                               {8, 10.5, 18, 300, true}};
    for (const NoisyCase& c : cases) {
        std::vector<std::uint8_t> payload = testing::randomBytes(c.payloadBytes, c.seed);
        Signal signal = testing::stripSignal(payload, at(48000, c.cellSamples));
        if (c.lowPass) {
            testing::lowPass(signal, 48000, 0.75 * 48000 / c.cellSamples);
        }
        testing::addNoise(signal, c.decibels, c.seed);
        for (const ReadSwipe& read : readSwipes(audioOf({signal}, 48000), std::nullopt)) {
            std::vector<std::uint8_t> bytes = withoutTrail(read.bytes);
            ASSERT_LE(bytes.size(), payload.size());
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), payload.begin()) &&
                        (!read.complete || bytes.size() == withoutTrail(payload).size()))
                << c.cellSamples << " samples a cell, " << c.decibels << " dB, seed " << c.seed << ", "
                << (read.complete ? "complete" : "incomplete");
        }
    }
}

TEST(ReadSwipes, SpeedsThatChangeDuringTheSwipe)
{
    struct SpeedCase {
        const char* what;
        std::function<double(double)> speed;
    };
    const SpeedCase cases[] = {
        {"0.7", [](double) { return 0.7; }},
        {"1.4", [](double) { return 1.4; }},
        {"step 1.25", [](double t) { return t < 0.5 ? 1.0 : 1.25; }},
        {"drift +30%", [](double t) { return 1.0 + 0.3 * t; }},
        {"drift -30%", [](double t) { return 1.0 - 0.3 * t; }},
    };
    // A step of a quarter puts the transition that ends a cell as far
    // before where it is due as the next cell's middle comes after it;
    // these cards have a 0 there followed by a 1 at 8 and 12 samples a cell.
    struct Card {
        std::vector<std::uint8_t> payload;
        std::uint32_t cellSamples;
    };
    const Card cards[] = {
        {testing::libraryCard(100), 4}, {testing::libraryCard(100), 8}, {testing::randomBytes(400, 3), 8},
        {testing::randomBytes(400, 18), 8}, {testing::randomBytes(400, 8), 12}, {testing::randomBytes(400, 17), 12},
    };
    for (const Card& card : cards) {
        Signal square = testing::stripSignal(card.payload, at(48000, card.cellSamples));
        for (const SpeedCase& c : cases) {
            EXPECT_TRUE(readsAs(audioOf({testing::changeSpeed(square, c.speed)}, 48000), card.payload))
                << c.what << ", " << card.cellSamples << " samples a cell, " << card.payload.size() << " bytes";
        }
    }
}

TEST(ReadSwipes, TheRecordingChainsDamage)
{
    std::vector<std::uint8_t> payload = testing::libraryCard(7);
    Signal square = testing::stripSignal(payload, at(48000, 4));
    double bitRate = 48000.0 / 4;
    struct ChainCase {
        const char* what;
        Signal signal;
        std::uint32_t rate;
    };
    std::vector<ChainCase> cases;
    cases.push_back({"to 44.1 kHz", testing::resample(square, 48000, 44100), 44100});
    cases.push_back({"to 32 kHz", testing::resample(square, 48000, 32000), 32000});
    Signal low = square;
    testing::lowPass(low, 48000, 0.75 * bitRate);
    cases.push_back({"low-pass", low, 48000});
    Signal high = square;
    testing::highPass(high, 48000, 0.35 * bitRate);
    cases.push_back({"high-pass", high, 48000});
    Signal inverted = square;
    testing::scale(inverted, -1);
    cases.push_back({"inverted", inverted, 48000});
    Signal offset = square;
    testing::scale(offset, 0.6, 0.3);
    cases.push_back({"DC offset", offset, 48000});
    Signal quiet = square;
    testing::scale(quiet, 0.01);
    testing::quantize(quiet, 16);
    cases.push_back({"40 dB down", quiet, 48000});
    Signal clipped = low;
    testing::scale(clipped, 10);
    testing::clip(clipped);
    cases.push_back({"clipped by 20 dB", clipped, 48000});
    for (const ChainCase& c : cases) {
        EXPECT_TRUE(readsAs(audioOf({c.signal}, c.rate), payload)) << c.what;
    }
    // Through files of other widths, at a modest level.
    Signal modest = low;
    testing::scale(modest, 0.3);
    for (testing::SampleForm form :
         {testing::SampleForm::unsigned8, testing::SampleForm::signed24, testing::SampleForm::float32}) {
        WavReadResult file = parseWav(testing::makeWav({modest}, 48000, {form}));
        ASSERT_EQ(file.error, "");
        EXPECT_TRUE(readsAs(file.audio, payload)) << static_cast<int>(form);
    }
}

// A read head's pulses: the square wave differentiated and low-passed at
// the cell rate, clean and with noise 12 dB below the pulses' peaks.
TEST(ReadSwipes, AReadHeadsPulses)
{
    for (std::uint32_t cellSamples : {8u, 16u}) {
        for (double decibels : {0.0, 12.0}) {
            for (std::uint32_t seed = 1; seed <= 3; ++seed) {
                std::vector<std::uint8_t> payload = testing::randomBytes(300, seed + 10);
                Signal square = testing::stripSignal(payload, at(48000, cellSamples));
                Signal head = testing::headPulses(square, 48000, 48000.0 / cellSamples);
                if (decibels > 0) {
                    testing::addNoise(head, decibels, seed);
                }
                EXPECT_TRUE(readsAs(audioOf({head}, 48000), payload))
                    << cellSamples << " samples a cell, " << decibels << " dB, seed " << seed;
            }
        }
    }
}

// A real swipe's cells are no whole number of samples: the encoder's
// 16-sample cells resampled to 5.5, 9.1 and 13 samples, then turned into a
// read head's pulses. Smoothed over 8 samples, the 9.1-sample pulses of
// the card of seed 103 also read as a square wave, complete and wrong from
// its first byte; the pulses read far more cleanly and must win.
TEST(ReadSwipes, AReadHeadsPulsesInCellsOfNoWholeNumberOfSamples)
{
    struct FractionCase {
        double cellSamples;
        double decibels;
        std::uint32_t seed;
    };
    const FractionCase cases[] = {{9.1, 0, 103}, {9.1, 0, 100}, {5.5, 0, 101}, {13, 0, 102},
                                  {9.1, 12, 103}, {13, 12, 104}};
    for (const FractionCase& c : cases) {
        std::vector<std::uint8_t> payload = testing::randomBytes(300, c.seed);
        double rate = 48000 * c.cellSamples / 16;
        Signal square = testing::resample(testing::stripSignal(payload, at(48000, 16)), 48000, rate);
        Signal head = testing::headPulses(square, rate, rate / c.cellSamples);
        if (c.decibels > 0) {
            testing::addNoise(head, c.decibels, c.seed);
        }
        EXPECT_TRUE(readsAs(audioOf({head}, static_cast<std::uint32_t>(rate)), payload))
            << c.cellSamples << " samples a cell, " << c.decibels << " dB, seed " << c.seed;
    }
}

TEST(ReadSwipes, AReadHeadsPulsesFollowASpeedThatDrifts)
{
    std::vector<std::uint8_t> payload = testing::libraryCard(42);
    Signal square = testing::stripSignal(payload, at(48000, 8));
    for (double drift : {0.3, -0.3}) {
        Signal swiped = testing::changeSpeed(square, [drift](double t) { return 1 + drift * t; });
        Signal head = testing::headPulses(swiped, 48000, 48000.0 / 8);
        EXPECT_TRUE(readsAs(audioOf({head}, 48000), payload)) << drift;
    }
}

TEST(ReadSwipes, FindsTheStripAmongChannelsAndEitherDirection)
{
    std::vector<std::uint8_t> payload = testing::libraryCard(261);
    Signal square = testing::stripSignal(payload, at(48000, 4));
    Signal silence(square.size(), 0);
    EXPECT_TRUE(readsAs(audioOf({silence, square}, 48000), payload));
    Signal backwards(square.rbegin(), square.rend());
    std::vector<ReadSwipe> swipes = readSwipes(audioOf({backwards}, 48000), std::nullopt);
    ASSERT_EQ(swipes.size(), 1u);
    EXPECT_TRUE(swipes[0].backwards);
    EXPECT_EQ(withoutTrail(swipes[0].bytes), withoutTrail(payload));
}

// Read backwards, a card whose last byte is 0x80 shows seven zero cells and
// a 1, as the sync byte does: the pilot's length modulo 8 alone cannot tell
// the directions apart.
TEST(ReadSwipes, ACardEndingInTheSyncsPatternReadsBothWays)
{
    std::vector<std::uint8_t> payload = testing::randomBytes(200, 4);
    payload.back() = 0x80;
    Signal square = testing::stripSignal(payload, at(48000, 8));
    Signal backwards(square.rbegin(), square.rend());
    for (const Signal* signal : {&square, &backwards}) {
        std::vector<ReadSwipe> swipes = readSwipes(audioOf({*signal}, 48000), std::nullopt);
        ASSERT_EQ(swipes.size(), 1u);
        EXPECT_EQ(swipes[0].backwards, signal == &backwards);
        EXPECT_EQ(withoutTrail(swipes[0].bytes), payload);
    }
}

TEST(ReadSwipes, NoiseSilenceAndASweepHoldNoCard)
{
    Signal noise(480000, 0);
    testing::addNoise(noise, 0, 5);
    Signal silence(48000, 0);
    Signal sweep(480000);
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        double t = static_cast<double>(i) / 48000;
        sweep[i] = static_cast<float>(std::sin(2 * 3.14159265358979 * (100 * t + 1200 * t * t)));
    }
    for (const Signal* signal : {&noise, &silence, &sweep}) {
        EXPECT_TRUE(readSwipes(audioOf({*signal}, 48000), std::nullopt).empty());
    }
}

}  // namespace
}  // namespace tunestrip
