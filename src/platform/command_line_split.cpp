#include "platform/command_line_split.h"

namespace tunestrip {
namespace {

bool isSeparator(char c)
{
    auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view line)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;  // quotes alone start an argument, so "" is one
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"') {
            inArgument = true;
            if (i + 1 < line.size() && line[i + 1] == '"') {
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (isSeparator(c) && !quoted) {
            if (inArgument) {
                arguments.push_back(current);
                current.clear();
                inArgument = false;
            }
        } else {
            current.push_back(c);
            inArgument = true;
        }
    }
    if (inArgument) {
        arguments.push_back(current);
    }
    return arguments;
}

}  // namespace tunestrip
