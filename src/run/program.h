// The run driver: the order of a run, the conversion job and its exit code.
#pragma once

#include <span>
#include <string_view>

#include "run/console.h"
#include "run/conversion_job.h"
#include "run/settings.h"
#include "run/text.h"
#include "run/work_buffers.h"

namespace tunestrip {

// Exit codes of a run.
inline constexpr int exitDone = 0;     // the work is done (warnings included), or the usage text
inline constexpr int exitFailed = 1;   // a conversion or an output file failed
inline constexpr int exitRefused = 2;  // the command line was refused

// Carries out one run for the arguments (without the program's name) and
// returns its exit code.
[[nodiscard]] int runProgram(std::span<const std::string_view> arguments, Console& console);

void printBanner(Console& console);

enum class [[nodiscard]] JobOutcome {
    written,  // the WAV file is written and closed
    failed,   // the WAV could not be written or was refused; the run goes on
    stopRun,  // the source file yielded no bytes; the run ends here
};

// Converts one card into its WAV file, named after `jobName`.
JobOutcome runJob(const ConversionJob& job, const RunSettings& settings, WorkBuffers& buffers, Console& console);

// The name without its extension: everything before the last dot that no
// slash or backslash follows.
[[nodiscard]] Text stripExtension(const Text& name);

// The length of that part of the name, for names of any length.
[[nodiscard]] std::size_t stemLength(std::string_view name);

}  // namespace tunestrip
