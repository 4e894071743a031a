// The command line: option words, the source file name and the usage text.
#pragma once

#include <span>
#include <string_view>

#include "run/console.h"
#include "run/settings.h"
#include "run/text.h"

namespace tunestrip {

struct [[nodiscard]] ParsedCommandLine {
    RunSettings settings;
    bool refused = false;  // the refusal's line is already on the console
};

// Fills the run's settings from the arguments (without the program's name),
// taken in order. Refuses an unknown option or a second source file name:
// the first offending argument decides, its line is written and `refused` set.
ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments, Console& console);

// Writes the 24 lines of the usage text.
void printUsage(Console& console);

// The text without its leading and trailing blanks (code 32 only).
[[nodiscard]] Text trimSpaces(const Text& text);

}  // namespace tunestrip
