#include "decode/vote.h"

#include <gtest/gtest.h>

#include <vector>

namespace tunestrip {
namespace {

using Cells = std::vector<std::uint8_t>;

Cells cellsOf(const std::vector<std::uint8_t>& bytes)
{
    Cells cells;
    for (std::uint8_t byte : bytes) {
        for (int bit = 7; bit >= 0; --bit) {
            cells.push_back(static_cast<std::uint8_t>((byte >> bit) & 1));
        }
    }
    return cells;
}

TEST(VoteOnCells, AMajorityMendsOneTakesFault)
{
    Cells good = cellsOf({0x12, 0x34, 0x56});
    Cells flipped = good;
    flipped[9] ^= 1;  // byte 1 damaged in one take
    VoteResult vote = voteOnCells({good, flipped, good});
    EXPECT_EQ(vote.bytes, (std::vector<std::uint8_t>{0x12, 0x34, 0x56}));
    EXPECT_EQ(vote.doubtfulBytes, std::vector<std::size_t>{1});
    EXPECT_FALSE(vote.undecided);
}

TEST(VoteOnCells, ATakeThatBrokeOffIsCompletedByTheOthers)
{
    Cells whole = cellsOf({0xAA, 0xBB, 0xCC, 0xDD});
    Cells broken(whole.begin(), whole.begin() + 13);
    VoteResult vote = voteOnCells({broken, whole, whole});
    EXPECT_EQ(vote.bytes, (std::vector<std::uint8_t>{0xAA, 0xBB, 0xCC, 0xDD}));
    EXPECT_EQ(vote.doubtfulBytes, (std::vector<std::size_t>{1, 2, 3}));
}

TEST(VoteOnCells, ATieStopsTheBytesRatherThanGuess)
{
    Cells a = cellsOf({0x01, 0x02});
    Cells b = cellsOf({0x01, 0x03});
    VoteResult vote = voteOnCells({a, b});
    EXPECT_EQ(vote.bytes, std::vector<std::uint8_t>{0x01});
    EXPECT_TRUE(vote.undecided);
}

}  // namespace
}  // namespace tunestrip
