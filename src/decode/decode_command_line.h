// The decoder's command line: long options in the usual style.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decode/card_reader.h"

namespace tunestrip {

struct DecodeOptions {
    std::vector<std::string> inputs;        // WAV files; "-" is standard input
    std::string output;                     // --output: the .bin to write (empty: beside the input)
    std::string verify;                     // --verify: a card file to compare with
    std::optional<std::uint32_t> channel;   // --channel: counted from 1
    Direction direction = Direction::either;  // --direction
    bool keepTrail = false;
    bool force = false;  // --force: replace an existing card file that holds other bytes
    bool json = false;
    bool vote = false;
    bool help = false;
    bool version = false;
};

struct [[nodiscard]] ParsedDecodeCommandLine {
    DecodeOptions options;
    std::string error;  // empty, or why the command line is refused
};

ParsedDecodeCommandLine parseDecodeCommandLine(std::span<const std::string_view> arguments);

// The text of --help.
[[nodiscard]] std::string_view decodeUsage();

}  // namespace tunestrip
