// Writing one output file (a WAV or an extracted ".bin") with its console line.
#pragma once

#include <cstdint>
#include <span>

#include "run/console.h"
#include "run/text.h"

namespace tunestrip {

// Writes "Saving NAME...", replaces the file with `bytes` and ends the line
// with " done". When the file cannot be written the line ends with
// "/!\ERROR: cannot write NAME: REASON." instead, any earlier file of that
// name is left as it was, and the result is false.
[[nodiscard]] bool saveOutputFile(const Text& name, std::span<const std::uint8_t> bytes, Console& console);

}  // namespace tunestrip
