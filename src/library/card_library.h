// The built-in card library: the card images compiled into the program, a
// constant block of every payload followed by its name, and four tables
// that lead into it. Nothing is loaded, unpacked or allocated at run time.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "library_size.h"  // cardCount, made by the build from data/manifest.txt

namespace tunestrip {

struct CardLibrary {
    std::span<const std::uint8_t> blob;
    std::span<const std::uint32_t> nameOffsets;    // from the first byte of `blob`
    std::span<const std::uint8_t> nameLengths;
    std::span<const std::uint32_t> payloadOffsets;  // from the first byte of `blob`
    std::span<const std::uint32_t> payloadLengths;
};

extern const CardLibrary cardLibrary;

// A view of one card; nothing is copied.
struct CardEntry {
    std::string_view name;                // a-z, 0-9, "-" and "_" only
    std::span<const std::uint8_t> payload;  // never empty, at most 2048 bytes
};

// `index` runs from 0 to cardCount - 1.
[[nodiscard]] CardEntry cardEntry(std::uint32_t index);

}  // namespace tunestrip
