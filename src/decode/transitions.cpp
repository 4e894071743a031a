#include "decode/transitions.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tunestrip {
namespace {

// The share of the local level that the signal must pass on the other side
// of zero before a crossing counts as a transition.
constexpr float squareHysteresis = 0.3f;
constexpr float pulseHysteresis = 0.5f;

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

void smooth(std::vector<float>& signal, std::uint32_t width)
{
    if (width <= 1 || signal.size() < width) {
        return;
    }
    std::vector<float> averaged(signal.size());
    double sum = 0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        sum += signal[i];
        if (i >= width) {
            sum -= signal[i - width];
        }
        averaged[i] = static_cast<float>(sum / static_cast<double>(std::min<std::size_t>(i + 1, width)));
    }
    signal.swap(averaged);
}

}  // namespace

ConditionedChannel conditionChannel(std::span<const float> channel, const Detector& detector)
{
    ConditionedChannel conditioned;
    conditioned.pulses = detector.pulses;
    std::vector<float>& signal = conditioned.signal;
    removeOffset(channel, signal);
    smooth(signal, detector.smoothing);

    std::vector<double>& transitions = conditioned.transitions;
    transitions.reserve(signal.size() / 4);
    // The local level follows peaks at once and fades over a few hundred
    // samples, so a level 40 dB down or a swipe that fades reads alike.
    float level = 0;
    constexpr float fade = 0.995f;
    int state = 0;  // +1 or -1 once the signal has passed the hysteresis
    float share = detector.pulses ? pulseHysteresis : squareHysteresis;
    double lastCrossing = 0;
    float previous = 0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        float sample = signal[i];
        float size = std::fabs(sample);
        level = std::max(size, level * fade);
        if (i > 0 && (sample >= 0) != (previous >= 0)) {
            lastCrossing = static_cast<double>(i - 1) + previous / (previous - sample);
        }
        previous = sample;
        float threshold = share * level;
        int side = sample > threshold ? 1 : sample < -threshold ? -1 : 0;
        if (side != 0 && side != state) {
            if (state != 0) {
                transitions.push_back(lastCrossing);
            }
            state = side;
        }
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
