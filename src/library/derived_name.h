// The file name under which a library card is known: listed, extracted as
// ".bin" and rendered as ".wav". Shared by the program and the build's
// library packer, which refuses a library whose derived names collide.
#pragma once

#include <algorithm>
#include <string_view>

#include "run/text.h"

namespace tunestrip {

inline constexpr std::string_view cardFilePrefix = "tunestrip_";
inline constexpr std::string_view setNumberPrefix = "17-";  // before a set-numbered name
inline constexpr std::string_view dashNumberPrefix = "no";  // before a dash-numbered name
// "541_" and "-267_": the numbers are always three digits.
inline constexpr std::size_t setNumberLength = 4;
inline constexpr std::size_t dashNumberLength = 5;

// The name without its leading number, or with `prefix` in front of it.
[[nodiscard]] constexpr Text renumber(std::string_view name, std::size_t numberLength, std::string_view prefix,
                                      bool noNumbers)
{
    if (noNumbers) {
        return Text{name.substr(std::min(numberLength, name.size()))};
    }
    Text result{prefix};
    result.append(name);
    return result;
}

// A set-numbered name ("557_christmas-1_jingle_bells") gets "17-" or loses
// its number; then a name that starts with "-" at that point (a dash-numbered
// one, "-267_german-1_...") gets "no" or loses its number; model names
// ("pc-100_9to5") are kept. The second test sees the result of the first.
// The result is cut to 255 bytes.
[[nodiscard]] constexpr Text deriveCardFileName(std::string_view name, bool noNumbers)
{
    Text step{name};
    if (!name.starts_with("pc") && !name.starts_with('-')) {
        step = renumber(name, setNumberLength, setNumberPrefix, noNumbers);
    }
    if (step.view().starts_with('-')) {
        step = renumber(step.view(), dashNumberLength, dashNumberPrefix, noNumbers);
    }
    Text derived{cardFilePrefix};
    derived.append(step.view());
    return derived;
}

}  // namespace tunestrip
