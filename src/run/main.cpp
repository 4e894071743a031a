// The program's entry: hands the arguments to the run and ends the process
// with the run's exit code.
#include <string_view>
#include <vector>

#include "run/console.h"
#include "run/program.h"

int main(int argc, char** argv)
{
    std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : argc), argv + argc);
    tunestrip::Console console;
    return tunestrip::runProgram(arguments, console);
}
