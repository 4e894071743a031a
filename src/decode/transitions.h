// From a recorded channel to the moments at which the strip's flux changes
// direction: the transitions of the biphase signal, timed to a fraction of
// a sample.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tunestrip {

// How a channel is read. A recording of the strip's flux is a square wave;
// a read head gives a pulse at each transition instead (the derivative of
// the flux), of alternating sign. `smoothing` averages that many samples
// against noise before the transitions are looked for.
struct Detector {
    bool pulses = false;
    std::uint32_t smoothing = 1;  // moving-average width, in samples (1: none)
};

// A channel made ready for reading: the signal without offset, and its
// transitions. For a square wave those are the zero crossings after which it
// passes a hysteresis of 30% of its local level on the other side, so that
// noise around zero does not count; for pulses, the peaks of the swings that
// pass 50% of it, each of the other sign than the last. Times are in samples
// from the start of the channel, in ascending order, with sample i standing
// at time i.
struct ConditionedChannel {
    bool pulses = false;
    std::vector<float> signal;
    std::vector<double> transitions;
};

[[nodiscard]] ConditionedChannel conditionChannel(std::span<const float> channel, const Detector& detector);

// The same channel played backwards.
[[nodiscard]] ConditionedChannel reversedChannel(const ConditionedChannel& channel);

}  // namespace tunestrip
