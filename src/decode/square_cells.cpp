// Reading a square wave, the strip's flux as the encoder writes it: each
// cell's two halves are summed (a 1 changes sign between them, a 0 does
// not), against a clock that the zero crossings at the cells' ends keep in
// step with the swipe's speed.
#include <algorithm>
#include <cmath>

#include "decode/cell_reading.h"

namespace tunestrip {
namespace {

// How the clock follows the crossings: a share of each timing error goes
// into the phase and a smaller one into the cell length, enough for a hand
// that speeds up by a quarter from one cell to the next.
constexpr double phaseGain = 0.8;
constexpr double lengthGain = 0.4;
// A zero crossing further than this share of a cell from where one is due
// says nothing about the clock.
constexpr double searchWindow = 0.4;
// A crossing this close to where it is due leaves no room for a rival: the
// nearest transition of another kind is half a cell away.
constexpr double closeEnough = 0.1;

// The zero crossings near `due` that may be the transition due there: their
// distances from `due`, within the search window, nearest first.
struct Candidates {
    double offsets[2] = {0, 0};
    int count = 0;
};

// Crossings are read where the signal averaged over a quarter cell crosses
// zero, which keeps the clock steady in heavy noise. The search steps
// outwards from `due`. The nearest crossing is a candidate, and so is the
// nearest on the other side unless the first is close enough: when a
// swipe speeds up by a quarter, the transition that ends a cell comes a
// fifth of a cell early, and the next cell's middle a fifth of a cell late.
Candidates findCandidates(const SignalSums& sums, double due, double clock)
{
    double width = std::max(1.0, clock / 4);
    auto averageAt = [&](double offset) { return sums.between(due + offset - width / 2, due + offset + width / 2); };
    double window = searchWindow * clock + 1e-9;
    double step = std::max(0.5, clock / 16);
    // Where the average crosses zero between the offsets `from` and `to`
    // (`side` steps apart, +1 or -1), if it does; `value` is the average at
    // `from` and becomes the one at `to`.
    auto crossing = [&](double from, int side, double& value, double& at) {
        double to = from + side * step;
        double next = averageAt(to);
        bool crosses = (value > 0) != (next > 0);
        if (crosses) {
            at = from + (to - from) * value / (value - next);
        }
        value = next;
        return crosses;
    };
    double right = averageAt(0);
    double left = right;
    for (double reach = 0; reach + step <= window; reach += step) {
        double ahead = 0;
        double behind = 0;
        bool foundAhead = crossing(reach, 1, right, ahead);
        bool foundBehind = crossing(-reach, -1, left, behind);
        if (foundAhead && foundBehind) {
            return std::fabs(ahead) <= std::fabs(behind) ? Candidates{{ahead, behind}, 2}
                                                         : Candidates{{behind, ahead}, 2};
        }
        if (foundAhead || foundBehind) {
            Candidates found{{foundAhead ? ahead : behind, 0}, 1};
            if (std::fabs(found.offsets[0]) <= closeEnough * clock) {
                return found;
            }
            // The rival can only stand on the other side, further out.
            int side = foundAhead ? -1 : 1;
            double& value = foundAhead ? left : right;
            for (reach += step; reach + step <= window; reach += step) {
                if (crossing(side * reach, side, value, found.offsets[1])) {
                    found.count = 2;
                    break;
                }
            }
            return found;
        }
    }
    return {};
}

// The swipe's very first cell has no transition before it when the
// recording starts with it (or with silence): it counts all the same when
// the stretch before the pilot holds the other level.
bool pilotStartsEarlier(const SignalSums& sums, Clock clock, double level, double firstHalf)
{
    if (clock.start - clock.length < -1.5) {
        return false;
    }
    double before = sums.between(clock.start - clock.length, clock.start);
    return std::fabs(before) >= 0.5 * level * clock.length && (before > 0) != (firstHalf > 0);
}

// A cell read from its two halves.
struct Halves {
    double length = 0;
    double first = 0;
    double second = 0;
    double weakest = 0;  // the weaker half against a clean one: 1 is clean
};

Halves readHalves(const SignalSums& sums, double start, double cell, double level)
{
    Halves halves;
    halves.length = cell;
    halves.first = sums.between(start, start + cell / 2);
    halves.second = sums.between(start + cell / 2, start + cell);
    halves.weakest = std::min(std::fabs(halves.first), std::fabs(halves.second)) / (cell / 2 * level);
    return halves;
}

// A reading whose weaker half falls below this share of a clean one's is in
// doubt.
constexpr double doubtful = 0.4;

// The cell as the transition at its end puts it: the nearest candidate,
// unless its reading is in doubt and the other candidate's is clearly
// better. Noise moves a reading's halves enough that a plain choice of the
// cleaner one would follow it off the cells; a swipe that speeds up leaves
// the nearest candidate a reading that hardly holds. Without a candidate
// the clock's own length stands.
Halves readCell(const SignalSums& sums, const Clock& clock, double level)
{
    Candidates candidates = findCandidates(sums, clock.start + clock.length, clock.length);
    Halves best = readHalves(sums, clock.start, clock.length + phaseGain * candidates.offsets[0], level);
    if (candidates.count == 2) {
        Halves rival = readHalves(sums, clock.start, clock.length + phaseGain * candidates.offsets[1], level);
        if (best.weakest < doubtful && rival.weakest > best.weakest + doubtful) {
            best = rival;
        }
    }
    return best;
}

}  // namespace

void readSquareCells(const SignalSums& sums, Clock clock, Swipe& swipe)
{
    double opening = sums.between(clock.start, clock.start + clock.length / 2);
    double openingSecond = sums.between(clock.start + clock.length / 2, clock.start + clock.length);
    double level = (std::fabs(opening) + std::fabs(openingSecond)) / clock.length;
    if (pilotStartsEarlier(sums, clock, level, opening)) {
        ++swipe.pilotCells;
    }
    bool synced = false;
    bool previousSecondHigh = false;
    bool first = true;
    while (clock.start + clock.length <= sums.length() + 0.5) {
        // Where this cell ends comes first: the transition there is always
        // due, and reading the halves against it follows a swipe whose speed
        // changes from one cell to the next.
        Halves cell = readCell(sums, clock, level);
        double strength = (std::fabs(cell.first) + std::fabs(cell.second)) / cell.length;
        if (strength < fadedLevel * level) {
            return;
        }
        bool firstHigh = cell.first > 0;
        bool secondHigh = cell.second > 0;
        // Every cell begins with a change of level.
        if ((!first && firstHigh == previousSecondHigh) || cell.weakest < weakestMargin) {
            swipe.damaged = true;
            return;
        }
        first = false;
        previousSecondHigh = secondHigh;
        swipe.margin = std::min(swipe.margin, std::min(cell.weakest, 1.0));
        takeCell(swipe, firstHigh != secondHigh ? 1 : 0, synced, clock.start + cell.length / 2);
        level += 0.05 * (strength - level);
        if (!passCell(clock, cell.length, swipe, lengthGain)) {
            return;
        }
    }
}

}  // namespace tunestrip
