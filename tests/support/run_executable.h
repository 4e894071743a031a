// Runs the built program as a separate process, the way a user or a script
// does, and collects what it wrote to standard output.
#pragma once

#include <string>
#include <vector>

namespace tunestrip::testing {

struct ProgramRun {
    int exitCode = -1;   // -1 when the process did not exit normally
    std::string output;  // standard output, byte for byte
};

struct RunOptions {
    std::string directory;       // the working directory of the process
    long fileSizeLimit = -1;     // bytes; >= 0 sets RLIMIT_FSIZE and ignores SIGXFSZ
    bool withErrors = false;     // collect standard error too
    std::string standardInput;   // a file to read as standard input (empty: none)
};

// The six banner lines that open every run's output.
inline const std::string bannerText =
    "Brand-Y Tunestrip BIN to WAVe encoder (and more) v1.15.\r\n"
    "Written by the tunestrip developers, free software.\r\n"
    "\r\n\r\n\r\n\r\n";

// The program the end-to-end tests run: `builtIn`, or the command named by
// the environment variable `variable` (such as a script that runs the
// Windows build under Wine).
[[nodiscard]] std::string programUnderTest(const char* builtIn, const char* variable = "TUNESTRIP_PROGRAM");

// Runs `program` with `arguments` (without the program's name).
[[nodiscard]] ProgramRun runExecutable(const std::string& program, const std::vector<std::string>& arguments,
                                       const RunOptions& options);

}  // namespace tunestrip::testing
