#include "decode/card_reader.h"

#include <algorithm>
#include <cmath>
#include <span>

namespace tunestrip {
namespace {

// A swipe read to its end shows at least this much of the empty trail.
constexpr std::uint32_t trailOfACompleteSwipe = 16;

// Ways of reading a channel, cheapest first: most recordings read at once.
constexpr Detector detectors[] = {
    {false, 1}, {false, 2}, {false, 3}, {false, 5}, {false, 8},
    {true, 1},  {true, 2},  {true, 3},  {true, 5},
};

struct Reading {
    std::vector<ReadSwipe> swipes;
    double score = -1;
};

ReadSwipe describe(Swipe swipe, std::uint32_t channel, bool backwards, const Detector& detector, double length)
{
    ReadSwipe read;
    read.channel = channel;
    read.backwards = backwards;
    read.detector = detector;
    read.bytes = cellsToBytes(swipe.cells);
    std::size_t partial = swipe.cells.size() % 8;
    bool partialData = std::any_of(swipe.cells.end() - static_cast<long>(partial), swipe.cells.end(),
                                   [](std::uint8_t cell) { return cell != 0; });
    read.complete = !swipe.damaged && !partialData && trailingZeroCells(swipe) >= trailOfACompleteSwipe;
    if (backwards) {
        // Times are given on the recording's own clock.
        double start = swipe.startTime;
        swipe.startTime = length - 1 - swipe.endTime;
        swipe.endTime = length - 1 - start;
    }
    read.swipe = std::move(swipe);
    return read;
}

// How much of the recording a reading explains: its cells, counted double in
// a complete swipe, so that one whole swipe outweighs any number of
// fragments.
double scoreOf(const std::vector<ReadSwipe>& swipes)
{
    double score = 0;
    for (const ReadSwipe& read : swipes) {
        score += static_cast<double>(read.swipe.cells.size()) * (read.complete ? 2 : 1) + read.swipe.margin;
    }
    return score;
}

// A biphase signal reads as well backwards as forwards, with the bits in
// reverse order, so the direction of a swipe shows only in the strip's
// layout. The pilot is whole zero bytes and the sync byte's seven zeros, so
// the zero cells before the sync's 1 come to 7 modulo 8; failing that, a
// strip's leader is shorter than the trail that fills it up.
int directionEvidence(const std::vector<ReadSwipe>& swipes)
{
    int evidence = 0;
    for (const ReadSwipe& read : swipes) {
        if (!read.complete) {
            continue;
        }
        std::uint32_t pilot = read.swipe.pilotCells;
        evidence += pilot % 8 == 7 ? 2 : pilot <= trailingZeroCells(read.swipe) + 4 ? 1 : 0;
    }
    return evidence;
}

bool readsCleanly(const Reading& reading)
{
    return !reading.swipes.empty() && std::all_of(reading.swipes.begin(), reading.swipes.end(), [](const ReadSwipe& r) {
        return r.complete && r.swipe.margin >= 0.5;
    });
}

Reading readWith(std::span<const float> samples, std::uint32_t channel, const Detector& detector,
                 Direction direction)
{
    ConditionedChannel forwards = conditionChannel(samples, detector);
    auto length = static_cast<double>(samples.size());
    Reading readings[2];
    for (bool backwards : {false, true}) {
        Direction wanted = backwards ? Direction::backwards : Direction::forwards;
        if (direction != Direction::either && direction != wanted) {
            continue;
        }
        Reading& reading = readings[backwards ? 1 : 0];
        for (Swipe& swipe : decodeCells(backwards ? reversedChannel(forwards) : forwards)) {
            reading.swipes.push_back(describe(std::move(swipe), channel, backwards, detector, length));
        }
        if (backwards) {
            std::reverse(reading.swipes.begin(), reading.swipes.end());
        }
        reading.score = scoreOf(reading.swipes);
        // A clean forward reading with the pilot's layout cannot lose to
        // the backward one: a tie goes forwards.
        if (!backwards && direction == Direction::either && readsCleanly(reading) &&
            directionEvidence(reading.swipes) == 2 * static_cast<int>(reading.swipes.size())) {
            return reading;
        }
    }
    Reading& forward = readings[0];
    Reading& backward = readings[1];
    // Two readings of one signal that explain it alike are told apart by
    // the strip's layout; forwards wins a tie.
    bool alike = std::fabs(forward.score - backward.score) <= 0.1 * std::max(forward.score, backward.score);
    bool backwardsWins = alike ? directionEvidence(backward.swipes) > directionEvidence(forward.swipes)
                               : backward.score > forward.score;
    return std::move(backwardsWins ? backward : forward);
}

// Keeps the better of the two readings; true when it reads cleanly, so that
// nothing more needs trying.
bool keepBetter(Reading& best, Reading reading)
{
    if (reading.score > best.score) {
        best = std::move(reading);
    }
    return readsCleanly(best);
}

Reading readChannel(const WavAudio& audio, std::uint32_t channel, Direction direction)
{
    std::span<const float> samples{audio.samples.data() + std::size_t{channel} * audio.frames, audio.frames};
    Reading best;
    for (const Detector& detector : detectors) {
        if (keepBetter(best, readWith(samples, channel, detector, direction))) {
            break;
        }
    }
    return best;
}

}  // namespace

std::vector<std::uint8_t> cellsToBytes(const std::vector<std::uint8_t>& cells)
{
    std::vector<std::uint8_t> bytes(cells.size() / 8);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned byte = 0;
        for (std::size_t bit = 0; bit < 8; ++bit) {
            byte = byte << 1 | cells[8 * i + bit];
        }
        bytes[i] = static_cast<std::uint8_t>(byte);
    }
    return bytes;
}

std::vector<ReadSwipe> readSwipes(const WavAudio& audio, std::optional<std::uint32_t> channel, Direction direction)
{
    if (channel) {
        return readChannel(audio, *channel, direction).swipes;
    }
    Reading best;
    for (std::uint32_t c = 0; c < audio.channels; ++c) {
        if (keepBetter(best, readChannel(audio, c, direction))) {
            break;
        }
    }
    return best.swipes;
}

}  // namespace tunestrip
