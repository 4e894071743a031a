// How the decoder reads recordings past what its tests hold it to: random
// payloads through random recording chains (cells of any length from 3.5
// to 19.5 samples, noise, constant and drifting speeds, a step of speed,
// a low-pass, inverted polarity, a read head's pulses), all seeded, so that
// a run gives the same figures every time.
//
//   decode_accuracy [CASES [SEED]]     (300 cases, seed 1 by default)
//
// Each swipe read counts as exact (complete, the card's bytes), partial
// (incomplete, and every byte it holds is the card's), or wrong (anything
// else: a complete swipe of other bytes, or a byte that the card does not
// hold); a recording that gives no swipe counts as none. Wrong readings are
// listed with their chain. The exit status is 1 when any reading was wrong.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "decode/card_reader.h"
#include "support/signal_lab.h"

namespace tunestrip {
namespace {

using testing::Signal;

// A seeded generator of numbers from 0 to 1 (xorshift).
class Dice {
public:
    explicit Dice(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    double roll()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / 9007199254740992.0;
    }

private:
    std::uint64_t state_;
};

struct Chain {
    bool head = false;
    double cellSamples = 4;
    double decibels = 0;  // noise below the level; 0 for none
    int speed = 0;        // 0 steady, 1 another constant speed, 2 a drift, 3 a step of a fifth
    double speedAmount = 1;
    bool lowPass = false;
    bool inverted = false;
    std::size_t payloadBytes = 0;
};

Chain rollChain(Dice& dice)
{
    Chain chain;
    chain.head = dice.roll() < 0.4;
    // A read head's pulses want about six samples a cell.
    chain.cellSamples = chain.head ? 6 + dice.roll() * 14 : 3.5 + dice.roll() * 16;
    chain.decibels = dice.roll() < 0.3 ? 0 : (chain.head ? 14 + dice.roll() * 10 : 10 + dice.roll() * 14);
    chain.speed = static_cast<int>(dice.roll() * 4);
    chain.speedAmount = chain.speed == 1 ? 0.8 + dice.roll() * 0.5 : (dice.roll() - 0.5) * 0.5;
    // Pulses follow a drifting speed, not a step.
    if (chain.head && chain.speed == 3) {
        chain.speed = 0;
    }
    chain.lowPass = !chain.head && dice.roll() < 0.3;
    chain.inverted = dice.roll() < 0.5;
    chain.payloadBytes = 84 + static_cast<std::size_t>(dice.roll() * 360);
    return chain;
}

// The recording of `payload` through the chain, at the rate that gives its
// cell length from the encoder's 16-sample cells.
Signal record(const std::vector<std::uint8_t>& payload, const Chain& chain, double& rate, std::uint32_t seed)
{
    RunSettings settings;
    settings.cellSamples = 16;
    rate = 48000 * chain.cellSamples / 16;
    Signal signal = testing::resample(testing::stripSignal(payload, settings), 48000, rate);
    double amount = chain.speedAmount;
    if (chain.speed == 1) {
        signal = testing::changeSpeed(signal, [amount](double) { return amount; });
    } else if (chain.speed == 2) {
        signal = testing::changeSpeed(signal, [amount](double t) { return 1 + amount * t; });
    } else if (chain.speed == 3) {
        signal = testing::changeSpeed(signal, [](double t) { return t < 0.5 ? 1.0 : 1.2; });
    }
    double cellRate = rate / chain.cellSamples;
    if (chain.lowPass) {
        testing::lowPass(signal, rate, 0.75 * cellRate);
    }
    if (chain.head) {
        signal = testing::headPulses(signal, rate, cellRate);
    }
    if (chain.inverted) {
        testing::scale(signal, -1);
    }
    if (chain.decibels > 0) {
        testing::addNoise(signal, chain.decibels, seed);
    }
    return signal;
}

struct Tally {
    int exact = 0;
    int partial = 0;
    int none = 0;
    int wrong = 0;
};

void judge(const std::vector<ReadSwipe>& swipes, const std::vector<std::uint8_t>& payload, const Chain& chain,
           Tally& tally)
{
    if (swipes.empty()) {
        ++tally.none;
    }
    std::vector<std::uint8_t> card = testing::withoutTrail(payload);
    for (const ReadSwipe& read : swipes) {
        std::vector<std::uint8_t> bytes = testing::withoutTrail(read.bytes);
        bool cardBytes = bytes.size() <= payload.size() && std::equal(bytes.begin(), bytes.end(), payload.begin());
        if (read.complete && bytes == card) {
            ++tally.exact;
        } else if (!read.complete && cardBytes) {
            ++tally.partial;
        } else {
            ++tally.wrong;
            auto differ = std::mismatch(bytes.begin(), bytes.end(), payload.begin(), payload.end());
            std::printf("wrong: %s, %.2f samples a cell, noise %.1f dB, speed %d (%.2f), low-pass %d, inverted %d, "
                        "%zu bytes: read %s%s, %u pilot cells, %zu bytes, the first wrong at %zu, margin %.2f\n",
                        chain.head ? "pulses" : "square", chain.cellSamples, chain.decibels, chain.speed,
                        chain.speedAmount, chain.lowPass, chain.inverted, payload.size(),
                        read.complete ? "complete" : "incomplete", read.backwards ? " backwards" : "",
                        read.swipe.pilotCells, bytes.size(), static_cast<std::size_t>(differ.first - bytes.begin()),
                        read.swipe.margin);
        }
    }
}

// Reads `cases` recordings from `seed` and prints the tally; the number of
// wrong readings.
int sweep(int cases, std::uint32_t seed)
{
    Dice dice(seed);
    Tally tally;
    for (int i = 0; i < cases; ++i) {
        Chain chain = rollChain(dice);
        std::uint32_t caseSeed = seed * 100000 + static_cast<std::uint32_t>(i);
        std::vector<std::uint8_t> payload = testing::randomBytes(chain.payloadBytes, caseSeed);
        double rate = 0;
        Signal signal = record(payload, chain, rate, caseSeed);
        WavAudio audio;
        audio.sampleRate = static_cast<std::uint32_t>(rate);
        audio.channels = 1;
        audio.frames = signal.size();
        audio.samples = std::move(signal);
        judge(readSwipes(audio, std::nullopt), payload, chain, tally);
    }
    std::printf("%d recordings: %d exact, %d partial, %d none, %d wrong\n", cases, tally.exact, tally.partial,
                tally.none, tally.wrong);
    return tally.wrong;
}

}  // namespace
}  // namespace tunestrip

int main(int argc, char** argv)
{
    int cases = argc > 1 ? std::atoi(argv[1]) : 300;
    auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atoi(argv[2]) : 1);
    return tunestrip::sweep(cases, seed) > 0 ? 1 : 0;
}
