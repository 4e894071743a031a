// Finding the card in a recording: which channel carries the strip, which
// way it was swiped, how to read the signal, and the bytes of each swipe.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "decode/cell_decoder.h"
#include "decode/transitions.h"
#include "decode/wav_reader.h"

namespace tunestrip {

struct ReadSwipe {
    std::uint32_t channel = 0;  // counted from 0
    bool backwards = false;     // the recording runs from the trail to the pilot
    Detector detector;
    Swipe swipe;
    std::vector<std::uint8_t> bytes;  // every whole byte after the sync byte, trail included
    bool complete = false;  // read to the trail, without damage
};

// Which way the recording runs: found from the signal, or as the user says.
enum class Direction { either, forwards, backwards };

// Reads every swipe of the recording. `channel` fixes the channel; without
// it every channel is tried and the one that reads best is taken.
[[nodiscard]] std::vector<ReadSwipe> readSwipes(const WavAudio& audio, std::optional<std::uint32_t> channel,
                                                Direction direction = Direction::either);

// Every whole byte of the cells, most significant bit first; the cells of a
// byte cut short are left out.
[[nodiscard]] std::vector<std::uint8_t> cellsToBytes(const std::vector<std::uint8_t>& cells);

}  // namespace tunestrip
