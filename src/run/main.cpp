// The program's entry: hands the arguments to the run and ends the process
// with the run's exit code.
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "run/console.h"
#include "run/program.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments = tunestrip::programArguments(argc, argv);
    std::vector<std::string_view> views(arguments.begin(), arguments.end());
    tunestrip::Console console;
    return tunestrip::runProgram(views, console);
}
