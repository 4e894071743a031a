// Reading a read head's signal: a pulse at every transition of the flux,
// of alternating sign, and nothing between them but noise. Each cell is
// read from the pulse due in its middle and the one due at its end, taken
// together, and the clock follows the centre of the pulse at each cell's
// end.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "decode/cell_reading.h"

namespace tunestrip {
namespace {

// How the clock follows the pulses: more gently than on a square wave,
// since noise moves a pulse's centre more than it moves a square wave's
// zero crossing. This follows a swipe whose speed drifts by a third over its
// length, not one that changes speed by a quarter from one cell to the next.
constexpr double pulsePhaseGain = 0.5;
constexpr double pulseLengthGain = 0.1;

// The area of the pulse due at `time`: the signal summed over half a cell
// around it.
double areaAt(const SignalSums& sums, double time, double cell)
{
    return sums.between(time - cell / 4, time + cell / 4);
}

// How far the centre of the pulse of sign `sign` due at `time` stands from
// it, in samples, within a quarter cell; 0 when that stretch holds less than
// half a pulse of that sign (`level` is a whole pulse's area). The centre of
// the pulse's area moves less with noise than its peak does.
double pulseOffset(const SignalSums& sums, double time, double cell, double sign, double level)
{
    const std::vector<float>& signal = sums.signal();
    auto last = static_cast<double>(signal.size()) - 1;
    auto from = static_cast<std::size_t>(std::max(0.0, std::ceil(time - cell / 4)));
    double to = std::min(last, std::floor(time + cell / 4));
    double area = 0;
    double moment = 0;
    for (std::size_t i = from; static_cast<double>(i) <= to; ++i) {
        double value = sign * signal[i];
        area += value;
        moment += value * (static_cast<double>(i) - time);
    }
    if (area <= 0.5 * level) {
        return 0;
    }
    return std::clamp(moment / area, -cell / 4, cell / 4);
}

struct CellReading {
    std::uint8_t bit;
    double endSign;  // the sign of the pulse that ends the cell
    double fit;      // how well the pulses match the bit read: 1 is clean, 0 is silence
    double margin;   // how far the reading is from the other bit: 1 is clean, 0 is a guess
};

// Reads the cell from `start`, `cell` samples long, that opens with a pulse
// of sign `sign` and area `level`. A 1 has a pulse of the other sign in its
// middle and ends with one of the opening's sign; a 0 has nothing in its
// middle and ends with a pulse of the other sign. In units of `level` a 1
// reads (-1, 1) and a 0 reads (0, -1); weighing both pulses along the line
// between those readings, with the threshold halfway, keeps more than twice
// the distance from noise that the middle pulse alone gives.
CellReading readCell(const SignalSums& sums, double start, double cell, double sign, double level)
{
    double middle = sign * areaAt(sums, start + cell / 2, cell) / level;
    double end = sign * areaAt(sums, start + cell, cell) / level;
    double score = 2 * end - middle;  // 3 for a clean 1, -2 for a clean 0
    CellReading reading{};
    reading.bit = score > 0.5 ? 1 : 0;
    reading.endSign = reading.bit == 1 ? sign : -sign;
    reading.fit = reading.bit == 1 ? (end - middle) / 2 : -end;
    reading.margin = std::min(1.0, std::fabs(score - 0.5) / 2.5);
    return reading;
}

// Finds the pilot's first pulse from the transition at `clock.start` and
// takes its sign and the area of a whole pulse; false when there is none.
bool openSwipe(const SignalSums& sums, Clock& clock, Swipe& swipe, double& sign, double& level)
{
    // Below three samples a cell the pulses at its ends and in its middle
    // run together, and a regular wave passes for a pilot.
    if (clock.length < 3) {
        return false;
    }
    double opening = areaAt(sums, clock.start, clock.length);
    double second = areaAt(sums, clock.start + clock.length, clock.length);
    // Noise before the first pulse can pass for one: the pilot starts at
    // the first pulse of a whole pulse's size or half of one, the step from
    // silence to the first level.
    if (std::fabs(opening) < 0.3 * std::fabs(second)) {
        clock.start += clock.length;
        clock.start += pulseOffset(sums, clock.start, clock.length, second > 0 ? 1 : -1, std::fabs(second));
        opening = second;
        second = areaAt(sums, clock.start + clock.length, clock.length);
    }
    sign = opening > 0 ? 1 : -1;
    level = std::max(std::fabs(opening), std::fabs(second));
    if (level <= 0) {
        return false;
    }
    // A recording that starts at the first level, without the step from
    // silence, shows no pulse for the first cell.
    if (clock.start < 1.5 * clock.length && std::fabs(opening) > 0.75 * std::fabs(second)) {
        ++swipe.pilotCells;
    }
    return true;
}

}  // namespace

void readPulseCells(const SignalSums& sums, Clock clock, Swipe& swipe)
{
    double sign = 1;
    double level = 0;
    if (!openSwipe(sums, clock, swipe, sign, level)) {
        return;
    }
    bool synced = false;
    double cellsRead = 0;
    while (clock.start + 1.25 * clock.length <= sums.length()) {
        // The bit first, as the clock stands; then the clock, from the
        // centre of the pulse that bit puts at the cell's end; then the bit
        // again against the corrected clock.
        CellReading guess = readCell(sums, clock.start, clock.length, sign, level);
        double offset = pulseOffset(sums, clock.start + clock.length, clock.length, guess.endSign, level);
        double cell = clock.length + pulsePhaseGain * offset;
        CellReading reading = readCell(sums, clock.start, cell, sign, level);
        if (reading.fit < fadedLevel) {
            // One weak cell can be noise; two in a row are the swipe's end.
            CellReading next = readCell(sums, clock.start + cell, cell, reading.endSign, level);
            if (next.fit < fadedLevel) {
                return;
            }
        }
        if (reading.margin < weakestMargin) {
            swipe.damaged = true;
            return;
        }
        swipe.margin = std::min(swipe.margin, reading.margin);
        takeCell(swipe, reading.bit, synced, clock.start + cell / 2);
        // The level settles over the pilot's first cells, then follows a
        // swipe that fades slowly.
        cellsRead += 1;
        level += std::max(0.05, 1 / (cellsRead + 1)) * (std::clamp(reading.fit, 0.0, 2.0) - 1) * level;
        sign = reading.endSign;
        if (!passCell(clock, cell, swipe, pulseLengthGain)) {
            return;
        }
    }
}

}  // namespace tunestrip
