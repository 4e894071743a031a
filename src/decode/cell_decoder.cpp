#include "decode/cell_decoder.h"

#include <algorithm>
#include <cmath>

namespace tunestrip {
namespace {

// How far a pilot interval may stray from the pilot's mean.
constexpr double pilotSpread = 0.25;
// How the clock follows the transitions: a share of each timing error goes
// into the phase and a smaller one into the cell length, enough for a hand
// that speeds up by a quarter from one cell to the next.
constexpr double phaseGain = 0.8;
constexpr double lengthGain = 0.4;
// A transition further than this share of a cell from where one is due
// says nothing about the clock.
constexpr double searchWindow = 0.4;
// A cell whose strength falls below this share of the swipe's level is past
// the end of the swipe.
constexpr double fadedLevel = 0.3;
// A half cell weaker than this share of the level cannot be read safely.
constexpr double weakestHalf = 0.12;

// Looks for `shortestPilot` transition intervals in a row that agree with
// their mean. Leaves `next` after the run and gives the mean, or 0.
double findPilot(std::span<const double> times, std::size_t& next, double& start)
{
    std::size_t runStart = next;
    double sum = 0;
    for (; next < times.size(); ++next) {
        double interval = times[next] - times[next - 1];
        std::size_t length = next - runStart;
        double mean = length > 0 ? sum / static_cast<double>(length) : interval;
        if (interval <= 0.5 || std::fabs(interval - mean) > pilotSpread * mean) {
            runStart = next;
            sum = interval > 0.5 ? interval : 0;
            if (interval <= 0.5) {
                runStart = next + 1;
            }
            continue;
        }
        sum += interval;
        if (next + 1 - runStart == shortestPilot) {
            start = times[runStart - 1];
            ++next;
            return sum / shortestPilot;
        }
    }
    return 0;
}

// The running sum of the signal, so that any stretch sums in two reads.
// Sample i stands for the time from i - 1/2 to i + 1/2.
class SignalSums {
public:
    explicit SignalSums(const std::vector<float>& signal) : signal_(signal), sums_(signal.size() + 1, 0.0)
    {
        for (std::size_t i = 0; i < signal.size(); ++i) {
            sums_[i + 1] = sums_[i] + signal[i];
        }
    }
    [[nodiscard]] double length() const { return static_cast<double>(signal_.size()); }
    [[nodiscard]] double between(double from, double to) const { return upTo(to) - upTo(from); }

private:
    [[nodiscard]] double upTo(double time) const
    {
        double edge = std::clamp(time + 0.5, 0.0, length());
        auto whole = static_cast<std::size_t>(edge);
        double part = whole < signal_.size() ? (edge - static_cast<double>(whole)) * signal_[whole] : 0.0;
        return sums_[whole] + part;
    }
    const std::vector<float>& signal_;
    std::vector<double> sums_;
};

// Where the transition due at `due` is, within the search window: its
// distance from `due`, and whether there is one. It is read from the signal
// averaged over a quarter cell: for a square wave where that crosses zero,
// for pulses where it peaks. Reading it from the signal itself rather than
// from the transitions keeps the clock steady in heavy noise.
double timingError(const SignalSums& sums, bool pulses, double due, double clock, bool& found,
                   double windowShare = searchWindow)
{
    double width = std::max(1.0, clock / 4);
    double window = windowShare * clock;
    auto averageAt = [&](double time) { return sums.between(time - width / 2, time + width / 2); };
    double step = std::max(0.5, clock / 16);
    found = false;
    double best = window;
    if (pulses) {
        double peak = 0;
        for (double time = due - window; time <= due + window + 1e-9; time += step) {
            double size = std::fabs(averageAt(time));
            if (size > peak) {
                peak = size;
                best = time - due;
                found = true;
            }
        }
        return found ? best : 0;
    }
    double previousTime = due - window;
    double previous = averageAt(previousTime);
    for (double time = previousTime + step; time <= due + window + 1e-9; time += step) {
        double value = averageAt(time);
        if ((value > 0) != (previous > 0)) {
            double crossing = previousTime + step * previous / (previous - value);
            if (std::fabs(crossing - due) < std::fabs(best)) {
                best = crossing - due;
                found = true;
            }
        }
        previous = value;
        previousTime = time;
    }
    return found ? best : 0;
}

struct Halves {
    double first;
    double second;
};

// The two halves of the cell from `start`, `cell` samples long, as levels
// of a square wave. Read-head pulses sum to the flux again: the pulse at the
// cell's start gives the level of its first half, a pulse in the middle
// turns it over for the second half.
Halves measureCell(const SignalSums& sums, bool pulses, double start, double cell)
{
    if (!pulses) {
        double half = cell / 2;
        return {sums.between(start, start + half), sums.between(start + half, start + cell)};
    }
    double quarter = cell / 4;
    double boundary = sums.between(start - quarter, start + quarter);
    double middle = sums.between(start + quarter, start + 3 * quarter);
    return {boundary, boundary + 2 * middle};
}

struct Clock {
    double start;   // where the current cell begins, in samples
    double length;  // samples per cell
};

// Reads cells from the pilot's first transition on, until the swipe ends.
void readCells(const SignalSums& sums, bool pulses, Clock clock, Swipe& swipe)
{
    // A pulse's transition was found where the signal left zero, between
    // two pulses: the first cell starts at the pulse itself.
    if (pulses) {
        bool aligned = false;
        clock.start += timingError(sums, pulses, clock.start, clock.length, aligned, 0.5);
    }
    Halves opening = measureCell(sums, pulses, clock.start, clock.length);
    double level = (std::fabs(opening.first) + std::fabs(opening.second)) / clock.length;
    // The swipe's very first cell has no transition before it when the
    // recording starts with it (or with silence): it counts all the same.
    if (!pulses && clock.start - clock.length >= -1.0) {
        double before = sums.between(clock.start - clock.length, clock.start);
        if (std::fabs(before) >= 0.5 * level * clock.length && (before > 0) != (opening.first > 0)) {
            ++swipe.pilotCells;
        }
    }
    bool synced = false;
    bool previousSecondHigh = false;
    bool first = true;
    while (clock.start + clock.length <= sums.length() + 0.5) {
        // Where this cell ends comes first: the transition there is always
        // due, and reading the halves against it follows a swipe whose speed
        // changes from one cell to the next.
        bool atEnd = false;
        double endError = timingError(sums, pulses, clock.start + clock.length, clock.length, atEnd);
        double cell = clock.length + phaseGain * endError;
        double half = cell / 2;
        Halves halves = measureCell(sums, pulses, clock.start, cell);
        double firstHalf = halves.first;
        double secondHalf = halves.second;
        double strength = (std::fabs(firstHalf) + std::fabs(secondHalf)) / cell;
        if (strength < fadedLevel * level) {
            return;
        }
        bool firstHigh = firstHalf > 0;
        bool secondHigh = secondHalf > 0;
        double weakest = std::min(std::fabs(firstHalf), std::fabs(secondHalf)) / (half * level);
        // Every cell begins with a change of level.
        if ((!first && firstHigh == previousSecondHigh) || weakest < weakestHalf) {
            swipe.damaged = true;
            return;
        }
        first = false;
        previousSecondHigh = secondHigh;
        std::uint8_t bit = firstHigh != secondHigh ? 1 : 0;
        swipe.margin = std::min(swipe.margin, std::min(weakest, 1.0));
        if (synced) {
            swipe.cells.push_back(bit);
        } else if (bit == 1) {
            synced = true;
        } else {
            ++swipe.pilotCells;
        }
        level += 0.05 * (strength - level);
        swipe.endTime = clock.start + cell;
        clock.start += cell;
        clock.length += lengthGain * (cell - clock.length);
        swipe.cellShortest = std::min(swipe.cellShortest, clock.length);
        swipe.cellLongest = std::max(swipe.cellLongest, clock.length);
    }
}

}  // namespace

std::vector<Swipe> decodeCells(const ConditionedChannel& channel)
{
    std::vector<Swipe> swipes;
    SignalSums sums(channel.signal);
    std::span<const double> times = channel.transitions;
    std::size_t next = 1;
    while (next < times.size()) {
        Swipe swipe;
        double length = findPilot(times, next, swipe.startTime);
        if (length == 0) {
            break;
        }
        swipe.cellAtStart = swipe.cellShortest = swipe.cellLongest = length;
        readCells(sums, channel.pulses, {swipe.startTime, length}, swipe);
        if (std::any_of(swipe.cells.begin(), swipe.cells.end(), [](std::uint8_t cell) { return cell != 0; })) {
            swipes.push_back(std::move(swipe));
        }
        // The next swipe's pilot begins after this one's last cell.
        while (next < times.size() && times[next - 1] < swipe.endTime) {
            ++next;
        }
    }
    return swipes;
}

std::uint32_t trailingZeroCells(const Swipe& swipe)
{
    auto last = std::find(swipe.cells.rbegin(), swipe.cells.rend(), 1);
    return static_cast<std::uint32_t>(last - swipe.cells.rbegin());
}

}  // namespace tunestrip
