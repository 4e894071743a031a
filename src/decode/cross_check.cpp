#include "decode/cross_check.h"

#include <algorithm>

namespace tunestrip {
namespace {

// How far apart two readings may place one cell's middle, as a share of the
// cell: more than noise moves a clock, less than half a cell, so that two
// neighbouring cells are never taken for one.
constexpr double sameCell = 0.3;

// A witness's cells on the swipe's clock, in the order of time.
struct Mirrored {
    std::vector<double> middles;
    std::vector<std::uint8_t> cells;
};

Mirrored mirror(const Swipe& witness, double length)
{
    Mirrored mirrored;
    mirrored.middles.reserve(witness.cells.size());
    mirrored.cells.reserve(witness.cells.size());
    for (std::size_t k = witness.cells.size(); k-- > 0;) {
        mirrored.middles.push_back(length - 1 - witness.cellMiddles[k]);
        mirrored.cells.push_back(witness.cells[k]);
    }
    return mirrored;
}

}  // namespace

std::size_t firstContradiction(const Swipe& swipe, const Swipe& witness, double length)
{
    std::size_t count = swipe.cells.size();
    if (count < 2 || witness.cells.empty()) {
        return count;
    }
    Mirrored other = mirror(witness, length);
    double from = std::max(swipe.cellMiddles.front(), other.middles.front());
    double to = std::min(swipe.cellMiddles.back(), other.middles.back());
    if (to < from) {
        return count;
    }
    std::size_t j = 0;
    for (std::size_t i = 0; i < count; ++i) {
        double middle = swipe.cellMiddles[i];
        double cell = i + 1 < count ? swipe.cellMiddles[i + 1] - middle : middle - swipe.cellMiddles[i - 1];
        double tolerance = sameCell * cell;
        if (middle < from - tolerance) {
            continue;
        }
        if (middle > to + tolerance) {
            break;
        }
        // A witness's cell in the shared stretch that falls between this
        // cell and the last: the swipe lacks it.
        for (; j < other.middles.size() && other.middles[j] < middle - tolerance; ++j) {
            if (other.middles[j] >= from - tolerance) {
                return i;
            }
        }
        // This cell: the witness must hold it, with the same bit.
        if (j == other.middles.size() || other.middles[j] > middle + tolerance || other.cells[j] != swipe.cells[i]) {
            return i;
        }
        ++j;
    }
    return count;
}

void crossCheck(std::vector<Swipe>& swipes, const std::vector<Swipe>& witnesses, double length)
{
    for (Swipe& swipe : swipes) {
        std::size_t trusted = swipe.cells.size();
        for (const Swipe& witness : witnesses) {
            trusted = std::min(trusted, firstContradiction(swipe, witness, length));
        }
        if (trusted < swipe.cells.size()) {
            swipe.cells.resize(trusted);
            swipe.cellMiddles.resize(trusted);
            swipe.damaged = true;
        }
    }
}

}  // namespace tunestrip
