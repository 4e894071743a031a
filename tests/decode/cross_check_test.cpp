#include "decode/cross_check.h"

#include <gtest/gtest.h>

#include <vector>

namespace tunestrip {
namespace {

// A recording 1000 samples long with cells of 10 samples.
constexpr double recordingLength = 1000;
constexpr double cellLength = 10;

// A swipe whose data cells stand from sample `first` on, one a cell.
Swipe swipeOf(const std::vector<std::uint8_t>& cells, double first)
{
    Swipe swipe;
    swipe.cells = cells;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        swipe.cellMiddles.push_back(first + cellLength * static_cast<double>(i));
    }
    return swipe;
}

// The same cells read from the recording played backwards.
Swipe backwardsOf(const Swipe& swipe)
{
    Swipe witness;
    witness.cells.assign(swipe.cells.rbegin(), swipe.cells.rend());
    for (auto middle = swipe.cellMiddles.rbegin(); middle != swipe.cellMiddles.rend(); ++middle) {
        witness.cellMiddles.push_back(recordingLength - 1 - *middle);
    }
    return witness;
}

TEST(FirstContradiction, FindsWhereTwoReadingsOfOneStretchPartWays)
{
    const std::vector<std::uint8_t> cells = {1, 0, 0, 1, 1, 0, 1, 0, 0, 0, 1, 1};
    Swipe swipe = swipeOf(cells, 100);

    Swipe flipped = swipe;
    flipped.cells[5] ^= 1;
    Swipe lacking = swipe;  // the witness's clock lost cell 7 and read on a cell late
    lacking.cells.erase(lacking.cells.begin() + 7);
    lacking.cellMiddles.erase(lacking.cellMiddles.begin() + 7);
    Swipe gaining = swipe;  // the witness holds a cell between 3 and 4 that the swipe lacks
    gaining.cells.insert(gaining.cells.begin() + 4, 0);
    gaining.cellMiddles.insert(gaining.cellMiddles.begin() + 4, 135);
    Swipe shifted = swipeOf(cells, 105);  // half a cell out of step
    Swipe shorter = swipeOf({1, 1, 0, 1, 0, 0}, 130);  // covers cells 3 to 8 only, alike
    Swipe elsewhere = swipeOf(cells, 600);

    struct Case {
        const char* what;
        const Swipe& witness;
        std::size_t expected;
    };
    const Case cases[] = {
        {"the same cells", swipe, cells.size()},
        {"a bit read otherwise", flipped, 5},
        {"a cell that the witness lacks", lacking, 7},
        {"a cell that the swipe lacks", gaining, 4},
        {"cells half a cell out of step", shifted, 1},  // cell 0 lies before the shared stretch
        {"a shorter stretch that agrees", shorter, cells.size()},
        {"another stretch of the recording", elsewhere, cells.size()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(firstContradiction(swipe, backwardsOf(c.witness), recordingLength), c.expected) << c.what;
    }
}

TEST(CrossCheck, CutsASwipeAtItsFirstContradictionAndMarksItDamaged)
{
    Swipe swipe = swipeOf({1, 0, 1, 1, 0, 0, 1, 0}, 100);
    Swipe witness = swipe;
    witness.cells[6] ^= 1;
    std::vector<Swipe> swipes = {swipe, swipeOf({1, 1, 0}, 500)};
    crossCheck(swipes, {backwardsOf(witness)}, recordingLength);
    EXPECT_EQ(swipes[0].cells, (std::vector<std::uint8_t>{1, 0, 1, 1, 0, 0}));
    EXPECT_EQ(swipes[0].cellMiddles.size(), 6u);
    EXPECT_TRUE(swipes[0].damaged);
    // No witness covers the second swipe: it stands as it was read.
    EXPECT_EQ(swipes[1].cells.size(), 3u);
    EXPECT_FALSE(swipes[1].damaged);
}

}  // namespace
}  // namespace tunestrip
