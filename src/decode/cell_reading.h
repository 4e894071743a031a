// What the two cell readers share: sums of the signal over any stretch, the
// cell clock, and the bookkeeping of a swipe's cells. A square wave (the
// flux itself) and a read head's pulses (its derivative) are read by
// different means from the same pilot.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "decode/cell_decoder.h"

namespace tunestrip {

// A cell whose strength falls below this share of the swipe's level is past
// the end of the swipe.
inline constexpr double fadedLevel = 0.3;
// A reading whose margin falls below this share of a clean one's cannot be
// trusted: the cell fits no reading.
inline constexpr double weakestMargin = 0.12;

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
    [[nodiscard]] const std::vector<float>& signal() const { return signal_; }

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

struct Clock {
    double start;   // where the current cell begins, in samples
    double length;  // samples per cell
};

// Takes a cell that has been read, `middle` samples into the channel: zeros
// before the first 1 are the pilot, the sync byte's 1 is dropped, every
// cell after it is data.
inline void takeCell(Swipe& swipe, std::uint8_t bit, bool& synced, double middle)
{
    if (synced) {
        swipe.cells.push_back(bit);
        swipe.cellMiddles.push_back(middle);
    } else if (bit == 1) {
        synced = true;
    } else {
        ++swipe.pilotCells;
    }
}

// Moves the clock past a cell `cell` samples long that has been read, with
// `gain` of the difference going into the clock's cell length. False when
// the clock has left the range that a hand's swipe can reach from the
// pilot's speed: it has slipped, and the swipe is damaged there.
[[nodiscard]] inline bool passCell(Clock& clock, double cell, Swipe& swipe, double gain)
{
    swipe.endTime = clock.start + cell;
    clock.start += cell;
    clock.length += gain * (cell - clock.length);
    swipe.cellShortest = std::min(swipe.cellShortest, clock.length);
    swipe.cellLongest = std::max(swipe.cellLongest, clock.length);
    if (clock.length < 0.6 * swipe.cellAtStart || clock.length > 1.7 * swipe.cellAtStart) {
        swipe.damaged = true;
        return false;
    }
    return true;
}

// Read cells from the pilot's first transition on, until the swipe ends.
void readSquareCells(const SignalSums& sums, Clock clock, Swipe& swipe);
void readPulseCells(const SignalSums& sums, Clock clock, Swipe& swipe);

}  // namespace tunestrip
