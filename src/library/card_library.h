// The built-in card library: 267 card images compiled into the program.
#pragma once

#include <cstdint>

namespace tunestrip {

inline constexpr std::uint32_t cardCount = 267;

}  // namespace tunestrip
