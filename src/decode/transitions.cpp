#include "decode/transitions.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tunestrip {
namespace {

// The share of the local level that the signal must pass on the other side
// of zero before a crossing counts as a transition.
constexpr float squareHysteresis = 0.3f;
constexpr float pulseHysteresis = 0.3f;

// Removes the offset: first the channel's mean, then what drifts slowly
// (a one-pole high-pass far below any cell rate).
void removeOffset(std::span<const float> channel, std::vector<float>& signal)
{
    signal.resize(channel.size());
    if (channel.empty()) {
        return;
    }
    double mean = std::accumulate(channel.begin(), channel.end(), 0.0) / static_cast<double>(channel.size());
    auto offset = static_cast<float>(mean);
    float previousIn = 0;
    float previousOut = 0;
    constexpr float keep = 0.999f;
    for (std::size_t i = 0; i < channel.size(); ++i) {
        float in = channel[i] - offset;
        previousOut = in - previousIn + keep * previousOut;
        previousIn = in;
        signal[i] = previousOut;
    }
}

// A moving average centred on each sample (half a sample late for an even
// width), so that smoothing moves no transition in time.
void smooth(std::vector<float>& signal, std::uint32_t width)
{
    if (width <= 1 || signal.size() < width) {
        return;
    }
    std::vector<float> averaged(signal.size());
    std::size_t before = (width - 1) / 2;
    std::size_t after = width - 1 - before;
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < after; ++i) {
        sum += signal[i];
        ++count;
    }
    for (std::size_t i = 0; i < signal.size(); ++i) {
        if (i + after < signal.size()) {
            sum += signal[i + after];
            ++count;
        }
        if (i > before) {
            sum -= signal[i - before - 1];
            --count;
        }
        averaged[i] = static_cast<float>(sum / static_cast<double>(count));
    }
    signal.swap(averaged);
}

// The time of the peak at sample `at`, between samples: the top of the
// parabola through it and its neighbours.
double peakTime(const std::vector<float>& signal, std::size_t at)
{
    auto time = static_cast<double>(at);
    if (at == 0 || at + 1 >= signal.size()) {
        return time;
    }
    double before = signal[at - 1];
    double peak = signal[at];
    double after = signal[at + 1];
    double curve = before - 2 * peak + after;
    return curve != 0 ? time + std::clamp(0.5 * (before - after) / curve, -0.5, 0.5) : time;
}

// Which side of zero the signal is on, past the hysteresis: +1, -1, or 0
// within it. The local level follows peaks at once and fades over a few
// hundred samples, so a level 40 dB down or a swipe that fades reads alike.
class Hysteresis {
public:
    explicit Hysteresis(float share) : share_(share) {}
    [[nodiscard]] int sideOf(float sample)
    {
        level_ = std::max(std::fabs(sample), level_ * fade);
        float threshold = share_ * level_;
        return sample > threshold ? 1 : sample < -threshold ? -1 : 0;
    }

private:
    static constexpr float fade = 0.995f;
    float share_;
    float level_ = 0;
};

// A square wave's transitions: where it crossed zero on its way to the other
// side of the hysteresis.
void findCrossings(const std::vector<float>& signal, std::vector<double>& transitions)
{
    Hysteresis hysteresis(squareHysteresis);
    int state = 0;  // +1 or -1 once the signal has passed the hysteresis
    double lastCrossing = 0;
    float previous = 0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        float sample = signal[i];
        if (i > 0 && (sample >= 0) != (previous >= 0)) {
            lastCrossing = static_cast<double>(i - 1) + previous / (previous - sample);
        }
        previous = sample;
        int side = hysteresis.sideOf(sample);
        if (side != 0 && side != state) {
            if (state != 0) {
                transitions.push_back(lastCrossing);
            }
            state = side;
        }
    }
}

// A read head's transitions: the peaks of its pulses, each swing past the
// hysteresis of the other sign than the last.
void findPulses(const std::vector<float>& signal, std::vector<double>& transitions)
{
    Hysteresis hysteresis(pulseHysteresis);
    int state = 0;
    std::size_t peakAt = 0;  // the largest sample of the current swing
    for (std::size_t i = 0; i < signal.size(); ++i) {
        int side = hysteresis.sideOf(signal[i]);
        if (side != 0 && side != state) {
            if (state != 0) {
                transitions.push_back(peakTime(signal, peakAt));
            }
            state = side;
            peakAt = i;
        }
        if (signal[i] * static_cast<float>(state) > signal[peakAt] * static_cast<float>(state)) {
            peakAt = i;
        }
    }
    if (state != 0) {
        transitions.push_back(peakTime(signal, peakAt));
    }
}

}  // namespace

ConditionedChannel conditionChannel(std::span<const float> channel, const Detector& detector)
{
    ConditionedChannel conditioned;
    conditioned.pulses = detector.pulses;
    removeOffset(channel, conditioned.signal);
    smooth(conditioned.signal, detector.smoothing);
    conditioned.transitions.reserve(conditioned.signal.size() / 4);
    if (detector.pulses) {
        findPulses(conditioned.signal, conditioned.transitions);
    } else {
        findCrossings(conditioned.signal, conditioned.transitions);
    }
    return conditioned;
}

ConditionedChannel reversedChannel(const ConditionedChannel& channel)
{
    ConditionedChannel backwards;
    backwards.pulses = channel.pulses;
    backwards.signal.assign(channel.signal.rbegin(), channel.signal.rend());
    auto last = static_cast<double>(channel.signal.size()) - 1;
    backwards.transitions.reserve(channel.transitions.size());
    for (auto time = channel.transitions.rbegin(); time != channel.transitions.rend(); ++time) {
        backwards.transitions.push_back(last - *time);
    }
    return backwards;
}

}  // namespace tunestrip
