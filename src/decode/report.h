// What the decoder says about each swipe: a line for people, or a JSON
// object per line for programs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tunestrip {

struct Verification {
    bool matches = false;
    std::size_t differences = 0;      // bytes that differ, counting a length difference
    std::size_t firstDifference = 0;  // the first byte that differs
    std::size_t cardBytes = 0;
};

struct SwipeReport {
    std::string file;
    std::size_t swipe = 0;   // from 1
    std::size_t swipes = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t channel = 0;  // from 1
    bool backwards = false;
    bool pulses = false;
    std::size_t cells = 0;
    double cellAtStart = 0;  // samples
    double cellShortest = 0;
    double cellLongest = 0;
    double margin = 0;
    std::size_t bytes = 0;             // bytes written
    std::size_t trailRemoved = 0;      // trailing zero bytes left out
    std::uint32_t checksum = 0;        // CRC-32 of the bytes written
    bool complete = false;
    std::string output;                // the file written, or empty
    std::optional<Verification> verification;
    std::vector<std::size_t> doubtfulBytes;  // with --vote
    std::size_t takes = 0;                   // with --vote
};

// CRC-32 (the polynomial of zip and PNG) of the bytes.
[[nodiscard]] std::uint32_t crc32(const std::vector<std::uint8_t>& bytes);

[[nodiscard]] Verification verifyBytes(const std::vector<std::uint8_t>& decoded, const std::vector<std::uint8_t>& card);

[[nodiscard]] std::string reportText(const SwipeReport& report);
[[nodiscard]] std::string reportJson(const SwipeReport& report);

}  // namespace tunestrip
