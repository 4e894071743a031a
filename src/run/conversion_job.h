// One conversion from a card's bytes to one WAV file.
#pragma once

#include <cstdint>
#include <span>

#include "run/text.h"

namespace tunestrip {

struct ConversionJob {
    Text jobName;         // the source file's name as given, or a card's name + ".bin"
    bool fromFile = false;  // true: the bytes are read from the file `jobName`
    std::span<const std::uint8_t> payload;  // a library card's bytes when `fromFile` is false
};

}  // namespace tunestrip
