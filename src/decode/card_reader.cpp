#include "decode/card_reader.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "decode/cross_check.h"
#include "strip/strip_image.h"

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
    bool pulses = false;  // read as a read head's pulses
};

// Whether `pilot` zero cells before the sync's 1 are a leader that the
// encoder writes (whole zero bytes and the sync byte's seven zeros), give or
// take the cell at the edge of a recording.
bool isLeaderLength(std::uint32_t pilot)
{
    for (std::uint32_t bytes : {pilotLength, longPilotLength}) {
        std::uint32_t cells = 8 * bytes + 7;
        if (pilot + 1 >= cells && pilot <= cells + 1) {
            return true;
        }
    }
    return false;
}

// What the swipes of one reading share.
struct Context {
    std::uint32_t channel;
    const Detector& detector;
    double length;  // samples in the channel
    Direction direction;
};

// Whether the strip read in `swipe` shows a longer run of zero cells at its
// other end. Read the other way, the swipe that starts at that end is the
// last to start before this one's start, on that reading's clock.
bool longerAtTheFarEnd(const Swipe& swipe, const std::vector<Swipe>& opposite, double length)
{
    double mirroredStart = length - 1 - swipe.startTime;
    const Swipe* farEnd = nullptr;
    for (const Swipe& other : opposite) {
        if (other.startTime < mirroredStart && (farEnd == nullptr || other.startTime > farEnd->startTime)) {
            farEnd = &other;
        }
    }
    return farEnd != nullptr && farEnd->pilotCells > swipe.pilotCells;
}

// Whether the bytes of a swipe are the card's. A complete swipe has shown
// the strip's layout. One that is cut off or damaged shows only its start,
// and read from the wrong end that start is the trail: the cells after it
// are the card's backwards, bytes that the card does not hold. A leader of
// the encoder's length, one shorter than the shorter leader (the end of a
// leader that the recording's start cut off), or a longer run of zero cells
// at the strip's far end (a leader shorter than the trail that fills the
// strip up) says that the start is the pilot; so does the user, who said
// which way the recording runs.
bool bytesAreTheCards(const ReadSwipe& read, const Context& context, bool farEndLonger)
{
    std::uint32_t pilot = read.swipe.pilotCells;
    return read.complete || context.direction != Direction::either || isLeaderLength(pilot) ||
           pilot + 1 < 8 * pilotLength + 7 || farEndLonger;
}

// Whether a swipe's zero cells before and after its data look like a
// strip's: a leader of the encoder's length, or one shorter than the trail.
// Read backwards from the middle of a long trail, they look like neither.
bool hasStripLayout(std::uint32_t pilot, std::uint32_t trail)
{
    return isLeaderLength(pilot) || pilot <= trail + 4;
}

ReadSwipe describe(Swipe swipe, bool backwards, const Context& context)
{
    ReadSwipe read;
    read.channel = context.channel;
    read.backwards = backwards;
    read.detector = context.detector;
    if (swipe.damaged) {
        // A swipe breaks off in a disturbance that may have begun a few
        // cells before the cell that fitted no reading: the last byte's
        // worth of cells before that one is left out.
        std::size_t kept = swipe.cells.size() - std::min<std::size_t>(swipe.cells.size(), 8);
        swipe.cells.resize(kept);
        swipe.cellMiddles.resize(kept);
    }
    read.bytes = cellsToBytes(swipe.cells);
    std::size_t partial = swipe.cells.size() % 8;
    bool partialData = std::any_of(swipe.cells.end() - static_cast<long>(partial), swipe.cells.end(),
                                   [](std::uint8_t cell) { return cell != 0; });
    std::uint32_t trail = trailingZeroCells(swipe);
    read.complete = !swipe.damaged && !partialData && trail >= trailOfACompleteSwipe &&
                    hasStripLayout(swipe.pilotCells, trail);
    if (backwards) {
        // Times are given on the recording's own clock.
        double start = swipe.startTime;
        swipe.startTime = context.length - 1 - swipe.endTime;
        swipe.endTime = context.length - 1 - start;
    }
    read.swipe = std::move(swipe);
    return read;
}

// How much of the recording a reading explains: its cells, pilot and sync
// included so that the two directions of one swipe weigh alike, counted
// double in a complete swipe, so that one whole swipe outweighs any number
// of fragments.
double scoreOf(const std::vector<ReadSwipe>& swipes)
{
    double score = 0;
    for (const ReadSwipe& read : swipes) {
        auto cells = static_cast<double>(read.swipe.pilotCells + 1 + read.swipe.cells.size());
        score += cells * (read.complete ? 2 : 1) + read.swipe.margin;
    }
    return score;
}

// A biphase signal reads as well backwards as forwards, with the bits in
// reverse order, so the direction of a swipe shows only in the strip's
// layout. Three signs count, the first double: the zero cells before the
// sync's 1 are a leader's length; they come to 7 modulo 8; and a strip's
// leader is shorter than the trail that fills it up. Read backwards, the
// trail comes first and the leader last.
constexpr int fullEvidence = 4;

int directionEvidence(const ReadSwipe& read)
{
    if (!read.complete) {
        return 0;
    }
    std::uint32_t pilot = read.swipe.pilotCells;
    return (isLeaderLength(pilot) ? 2 : 0) + (pilot % 8 == 7 ? 1 : 0) +
           (pilot <= trailingZeroCells(read.swipe) + 4 ? 1 : 0);
}

int directionEvidence(const std::vector<ReadSwipe>& swipes)
{
    int evidence = 0;
    for (const ReadSwipe& read : swipes) {
        evidence += directionEvidence(read);
    }
    return evidence;
}

// Whether every swipe of the reading is complete or starts at a leader of
// the encoder's length.
bool readFromLeaders(const Reading& reading)
{
    return std::all_of(reading.swipes.begin(), reading.swipes.end(), [](const ReadSwipe& r) {
        return r.complete || isLeaderLength(r.swipe.pilotCells);
    });
}

// How much cleaner one kind of reading must be than the other to win.
constexpr double clearlyCleaner = 0.25;

// The weakest margin of the reading's swipes: 1 is clean.
double weakestOf(const Reading& reading)
{
    double weakest = 1;
    for (const ReadSwipe& read : reading.swipes) {
        weakest = std::min(weakest, read.swipe.margin);
    }
    return weakest;
}

// Whether `candidate` is the better reading of the recording than
// `incumbent`. Readings that explain the signal alike (the two directions of
// one swipe, or two ways of reading it) are told apart by the strip's
// layout, and the incumbent wins a tie: the forward reading, or the one with
// less smoothing.
bool outweighs(const Reading& candidate, const Reading& incumbent)
{
    // The bytes of a swipe read from its leader are the card's; those of a
    // swipe read from elsewhere (backwards from the middle of its trail, say)
    // are not, however many there are.
    bool candidateLed = readFromLeaders(candidate);
    if (candidateLed != readFromLeaders(incumbent) && !candidate.swipes.empty() && !incumbent.swipes.empty()) {
        return candidateLed;
    }
    double larger = std::max(candidate.score, incumbent.score);
    if (std::fabs(candidate.score - incumbent.score) <= 0.1 * larger) {
        // A square wave also reads as pulses, half a cell out of step, and
        // pulses smoothed enough read as a square wave; the kind of signal
        // that the recording holds reads clearly cleaner, and otherwise a
        // reading of the flux itself that explains the signal as well is the
        // truer one.
        if (candidate.pulses != incumbent.pulses && !candidate.swipes.empty() && !incumbent.swipes.empty()) {
            double gap = weakestOf(candidate) - weakestOf(incumbent);
            return std::fabs(gap) > clearlyCleaner ? gap > 0 : !candidate.pulses;
        }
        return directionEvidence(candidate.swipes) > directionEvidence(incumbent.swipes);
    }
    return candidate.score > incumbent.score;
}

// A reading that needs no other tried: every swipe complete, with a fair
// margin and the strip's layout in the direction read.
bool readsCleanly(const Reading& reading)
{
    return !reading.swipes.empty() &&
           std::all_of(reading.swipes.begin(), reading.swipes.end(),
                       [](const ReadSwipe& r) { return r.complete && r.swipe.margin >= 0.5; }) &&
           std::all_of(reading.swipes.begin(), reading.swipes.end(),
                       [](const ReadSwipe& r) { return directionEvidence(r) == fullEvidence; });
}

// The swipes of one direction as a reading, in the recording's order:
// those whose bytes are the card's, as the swipes read the other way show;
// without those, all of them.
Reading describeAll(const std::vector<Swipe>& swipes, const std::vector<Swipe>* opposite, bool backwards,
                    const Context& context)
{
    Reading reading;
    reading.pulses = context.detector.pulses;
    for (const Swipe& swipe : swipes) {
        ReadSwipe read = describe(swipe, backwards, context);
        if (opposite == nullptr ||
            bytesAreTheCards(read, context, longerAtTheFarEnd(swipe, *opposite, context.length))) {
            reading.swipes.push_back(std::move(read));
        }
    }
    if (backwards) {
        std::reverse(reading.swipes.begin(), reading.swipes.end());
    }
    reading.score = scoreOf(reading.swipes);
    return reading;
}

Reading readWith(std::span<const float> samples, std::uint32_t channel, const Detector& detector,
                 Direction direction)
{
    ConditionedChannel forwards = conditionChannel(samples, detector);
    auto length = static_cast<double>(samples.size());
    Context context{channel, detector, length, direction};
    std::vector<Swipe> ahead = decodeCells(forwards);
    // A clean forward reading with the strip's layout needs no second
    // opinion and cannot lose to the backward one: a tie goes forwards.
    if (direction != Direction::backwards) {
        Reading reading = describeAll(ahead, nullptr, false, context);
        if (readsCleanly(reading)) {
            return reading;
        }
    }
    // Each direction's swipes are checked against the other's: a clock that
    // slipped by a whole cell shows only there.
    std::vector<Swipe> behind = decodeCells(reversedChannel(forwards));
    std::vector<Swipe> witnesses = ahead;
    crossCheck(ahead, behind, length);
    crossCheck(behind, witnesses, length);
    Reading readings[2] = {describeAll(ahead, &behind, false, context), describeAll(behind, &ahead, true, context)};
    if (direction != Direction::either) {
        return std::move(readings[direction == Direction::backwards ? 1 : 0]);
    }
    return std::move(outweighs(readings[1], readings[0]) ? readings[1] : readings[0]);
}

// Keeps the better of the two readings; true when it reads cleanly, so that
// nothing more needs trying.
bool keepBetter(Reading& best, Reading reading)
{
    if (outweighs(reading, best)) {
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
