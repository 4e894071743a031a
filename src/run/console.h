// Console messages. Every message goes out as soon as it is complete, in one
// write, so that an open line ("Saving x.wav...") shows before the file work
// that follows it, on a terminal, a file or a pipe alike.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tunestrip {

inline constexpr std::string_view lineEnd = "\r\n";

// Where messages go: standard output, or for tests a string that collects them.
struct Console {
    std::string* capture = nullptr;
};

// Writes the pieces one after another as one message.
void print(Console& console, std::initializer_list<std::string_view> pieces);

// Writes the pieces and ends the line.
void printLine(Console& console, std::initializer_list<std::string_view> pieces);

}  // namespace tunestrip
