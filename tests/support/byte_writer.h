// Little-endian fields and chunk tags appended to a byte vector, for the
// tests that build WAV files by hand.
#pragma once

#include <cstdint>
#include <vector>

namespace tunestrip::testing {

inline void put16(std::vector<std::uint8_t>& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

inline void putTag(std::vector<std::uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

}  // namespace tunestrip::testing
