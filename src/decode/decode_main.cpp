// The decoder's entry: hands the arguments to the decoder and ends the
// process with its exit code.
#include <string>
#include <string_view>
#include <vector>

#include "decode/decode_program.h"
#include "platform/platform.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments = tunestrip::programArguments(argc, argv);
    std::vector<std::string_view> views(arguments.begin(), arguments.end());
    return tunestrip::runDecoder(views);
}
