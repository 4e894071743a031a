// From a conditioned channel to swipes: the pilot's run of zero cells gives
// the cell clock, the sync byte's 1 marks the start of the data, and every
// cell after it is read against a clock that follows the swipe's speed.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "decode/transitions.h"

namespace tunestrip {

struct Swipe {
    double startTime = 0;   // samples: the first transition of the pilot
    double endTime = 0;     // samples: the last transition read
    std::vector<std::uint8_t> cells;  // the bits after the sync byte's 1, in swipe order
    std::vector<double> cellMiddles;  // samples: where each of `cells` was read, its middle
    std::uint32_t pilotCells = 0;     // zero cells read before the sync's 1
    double cellAtStart = 0;           // samples per cell measured over the pilot
    double cellShortest = 0;          // the clock's range over the swipe, in samples
    double cellLongest = 0;
    double margin = 1;  // the weakest half cell against the swipe's level: 1 is clean, 0 is a guess
    bool damaged = false;  // a cell that fits no reading ended the swipe
};

// The shortest pilot that counts: fewer regular zero cells could happen by
// chance in noise.
inline constexpr std::uint32_t shortestPilot = 30;

// Reads every swipe of the channel, in order. Swipes without data are
// dropped; a swipe ends where the signal fades or ends, or at a cell that
// fits no reading.
[[nodiscard]] std::vector<Swipe> decodeCells(const ConditionedChannel& channel);

// The trailing zero cells of a swipe: a swipe that was read to its end has
// the strip's empty trail there.
[[nodiscard]] std::uint32_t trailingZeroCells(const Swipe& swipe);

}  // namespace tunestrip
