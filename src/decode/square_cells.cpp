// Reading a square wave, the strip's flux as the encoder writes it: each
// cell's two halves are summed (a 1 changes sign between them, a 0 does
// not), against a clock that the zero crossings at the cells' ends keep in
// step with the swipe's speed.
#include <algorithm>
#include <cmath>

#include "decode/cell_reading.h"

namespace tunestrip {
namespace {

// A zero crossing further than this share of a cell from where one is due
// says nothing about the clock.
constexpr double searchWindow = 0.4;

// Where the transition due at `due` is, within the search window: its
// distance from `due`, and whether there is one. It is read where the
// signal averaged over a quarter cell crosses zero, the crossing nearest
// `due`: the search steps outwards from it and stops at the first step that
// holds one. Reading it from the signal itself rather than from the
// transitions keeps the clock steady in heavy noise.
double timingError(const SignalSums& sums, double due, double clock, bool& found)
{
    double width = std::max(1.0, clock / 4);
    auto averageAt = [&](double offset) { return sums.between(due + offset - width / 2, due + offset + width / 2); };
    // Where the average crosses zero between two offsets, if it does.
    auto crossing = [](double from, double valueFrom, double to, double valueTo, double& at) {
        if ((valueFrom > 0) == (valueTo > 0)) {
            return false;
        }
        at = from + (to - from) * valueFrom / (valueFrom - valueTo);
        return true;
    };
    double window = searchWindow * clock;
    double step = std::max(0.5, clock / 16);
    double centre = averageAt(0);
    double right = centre;
    double left = centre;
    found = false;
    for (double reach = step; reach <= window + 1e-9; reach += step) {
        double nextRight = averageAt(reach);
        double nextLeft = averageAt(-reach);
        double ahead = 0;
        double behind = 0;
        bool foundAhead = crossing(reach - step, right, reach, nextRight, ahead);
        bool foundBehind = crossing(-reach, nextLeft, step - reach, left, behind);
        if (foundAhead || foundBehind) {
            found = true;
            if (foundAhead && foundBehind) {
                return std::fabs(ahead) <= std::fabs(behind) ? ahead : behind;
            }
            return foundAhead ? ahead : behind;
        }
        right = nextRight;
        left = nextLeft;
    }
    return 0;
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
        bool atEnd = false;
        double cell = clock.length + phaseGain * timingError(sums, clock.start + clock.length, clock.length, atEnd);
        double half = cell / 2;
        double firstHalf = sums.between(clock.start, clock.start + half);
        double secondHalf = sums.between(clock.start + half, clock.start + cell);
        double strength = (std::fabs(firstHalf) + std::fabs(secondHalf)) / cell;
        if (strength < fadedLevel * level) {
            return;
        }
        bool firstHigh = firstHalf > 0;
        bool secondHigh = secondHalf > 0;
        double weakest = std::min(std::fabs(firstHalf), std::fabs(secondHalf)) / (half * level);
        // Every cell begins with a change of level.
        if ((!first && firstHigh == previousSecondHigh) || weakest < weakestMargin) {
            swipe.damaged = true;
            return;
        }
        first = false;
        previousSecondHigh = secondHigh;
        swipe.margin = std::min(swipe.margin, std::min(weakest, 1.0));
        takeCell(swipe, firstHigh != secondHigh ? 1 : 0, synced);
        level += 0.05 * (strength - level);
        if (!passCell(clock, cell, swipe)) {
            return;
        }
    }
}

}  // namespace tunestrip
