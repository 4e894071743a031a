// The derived file names of all library cards, and the list numbers.
#pragma once

#include <array>
#include <cstdint>

#include "library/card_library.h"
#include "run/text.h"

namespace tunestrip {

struct CardFileNames {
    std::array<Text, cardCount> names;  // "tunestrip_" and the card's name, renumbered
};

// Fills every entry from the library's names, with or without their numbers.
void buildCardFileNames(bool noNumbers, CardFileNames& fileNames);

// The last `digits` decimal digits of `value`, with leading zeros; `digits`
// above 255 counts as 255, and 0 gives the empty text.
[[nodiscard]] Text zeroPadDecimal(std::uint32_t digits, std::uint64_t value);

}  // namespace tunestrip
