// Combining several takes of one card: the cells of every swipe, aligned at
// the sync byte, decide each cell by majority, so that a cell damaged or
// missing in one take is taken from the others.
#pragma once

#include <cstdint>
#include <vector>

namespace tunestrip {

struct VoteResult {
    std::vector<std::uint8_t> bytes;          // every byte the takes decide
    std::vector<std::size_t> doubtfulBytes;   // bytes that the takes disagree on, or that not all of them hold
    bool undecided = false;  // the takes tie on a cell: the bytes stop before it
};

// `takes` holds the cells of each swipe after its sync byte.
[[nodiscard]] VoteResult voteOnCells(const std::vector<std::vector<std::uint8_t>>& takes);

}  // namespace tunestrip
