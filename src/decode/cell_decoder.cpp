#include "decode/cell_decoder.h"

#include <algorithm>
#include <cmath>

#include "decode/cell_reading.h"

namespace tunestrip {
namespace {

// How far a pilot interval may stray from the pilot's mean.
constexpr double pilotSpread = 0.25;

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
        Clock clock{swipe.startTime, length};
        if (channel.pulses) {
            readPulseCells(sums, clock, swipe);
        } else {
            readSquareCells(sums, clock, swipe);
        }
        // The pilot that the transitions showed must read as zero cells (the
        // first may be missing): a run of regular transitions in noise does
        // not.
        bool pilotRead = swipe.pilotCells + 1 >= shortestPilot;
        if (pilotRead && std::any_of(swipe.cells.begin(), swipe.cells.end(), [](std::uint8_t cell) { return cell != 0; })) {
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
