#include "run/console.h"

#include <array>

#include "platform/platform.h"

namespace tunestrip {
namespace {

// Room for the longest message: a file name twice (255 bytes each), an error
// text and the fixed words around them. A longer message goes out in parts.
constexpr std::size_t messageCapacity = 1024;

struct Message {
    std::array<char, messageCapacity> bytes;
    std::size_t length = 0;
};

void push(Console& console, Message& message)
{
    std::string_view text{message.bytes.data(), message.length};
    if (console.capture != nullptr) {
        console.capture->append(text);
    } else {
        // A vanished standard output cannot be reported anywhere; the files
        // are still written.
        (void)writeStandardOutput(text);
    }
    message.length = 0;
}

void add(Console& console, Message& message, std::string_view piece)
{
    while (!piece.empty()) {
        if (message.length == messageCapacity) {
            push(console, message);
        }
        std::size_t taken = std::min(piece.size(), messageCapacity - message.length);
        piece.copy(message.bytes.data() + message.length, taken);
        message.length += taken;
        piece.remove_prefix(taken);
    }
}

void compose(Console& console, std::initializer_list<std::string_view> pieces, bool endLine)
{
    Message message;
    for (std::string_view piece : pieces) {
        add(console, message, piece);
    }
    if (endLine) {
        add(console, message, lineEnd);
    }
    push(console, message);
}

}  // namespace

void print(Console& console, std::initializer_list<std::string_view> pieces)
{
    compose(console, pieces, false);
}

void printLine(Console& console, std::initializer_list<std::string_view> pieces)
{
    compose(console, pieces, true);
}

}  // namespace tunestrip
