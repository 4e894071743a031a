// The decoder program: from recordings to card files.
#pragma once

#include <span>
#include <string_view>

namespace tunestrip {

inline constexpr int decodeDone = 0;     // every recording decoded (and verified)
inline constexpr int decodeFailed = 1;   // no card, a damaged swipe, a failed check, or a file fault
inline constexpr int decodeRefused = 2;  // the command line was refused

// Runs the decoder for the arguments (without the program's name) and
// returns its exit code. Reports go to standard output, errors to standard
// error.
[[nodiscard]] int runDecoder(std::span<const std::string_view> arguments);

}  // namespace tunestrip
