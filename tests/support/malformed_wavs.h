// WAV files that are wrong in every way the reader knows, each with the
// error it must give. The reader's tests check them; the fuzzer starts from
// them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tunestrip::testing {

struct MalformedWav {
    std::string name;   // a short name for the case, usable as a file name
    std::vector<std::uint8_t> bytes;
    std::string error;  // what the reader says
};

[[nodiscard]] std::vector<MalformedWav> malformedWavs();

}  // namespace tunestrip::testing
