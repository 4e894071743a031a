// The program's only contact with the operating system: standard output, the
// file system and error texts. A port to another system replaces the one
// source file that implements these declarations.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tunestrip {

// The program's arguments, without its own name, as byte strings. Where the
// system hands a program one command-line string, it is split by
// splitCommandLine; elsewhere `argv` is taken as it is.
[[nodiscard]] std::vector<std::string> programArguments(int argc, char** argv);

// Writes all bytes to standard output at once, unbuffered. Returns false when
// the output is gone (a closed pipe); there is nowhere left to report that.
bool writeStandardOutput(std::string_view bytes);

// Writes all bytes to standard error at once, unbuffered.
bool writeStandardError(std::string_view bytes);

// Reads the whole file `name` ("-": standard input) into `bytes`. Returns 0,
// or the system's error number when it cannot be opened or read.
[[nodiscard]] int readWholeFile(std::string_view name, std::vector<std::uint8_t>& bytes);

// Reads the first bytes of the existing file `name`, at most `capacity` of
// them, into `destination`. Returns the count read: 0 for an empty file and
// equally for one that cannot be opened or read (missing, a directory, no
// access). Never creates a file and never blocks on a pipe without a writer.
[[nodiscard]] std::size_t readFileStart(std::string_view name, std::uint8_t* destination,
                                        std::size_t capacity);

// The result of writing an output file: `error` is 0 on success, else the
// system's error number.
struct [[nodiscard]] FileResult {
    int error = 0;
    [[nodiscard]] bool ok() const { return error == 0; }
};

// Makes the file `name` hold exactly `bytes`. A regular file (new or existing)
// is written to a temporary file in the same directory and renamed over the
// name once complete, with the permissions a newly created file gets; on any
// failure the old file, if there was one, is left as it was and nothing stays
// behind. A symbolic link is followed and its target replaced. An existing
// path that is not a regular file (a device, a pipe) is written in place.
FileResult replaceFile(std::string_view name, std::span<const std::uint8_t> bytes);

// True when `name` exists and is a regular file; a symbolic link counts as
// its target. False for a missing name, a directory or a device.
[[nodiscard]] bool isRegularFile(std::string_view name);

// True when both names exist and are the same file (a link, another spelling
// on a file system that ignores case, a hard link).
[[nodiscard]] bool sameFile(std::string_view first, std::string_view second);

// The system's description of an error number, without a final full stop.
[[nodiscard]] std::string_view describeError(int error);

}  // namespace tunestrip
