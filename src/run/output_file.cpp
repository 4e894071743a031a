#include "run/output_file.h"

#include "platform/platform.h"

namespace tunestrip {

bool saveOutputFile(const Text& name, std::span<const std::uint8_t> bytes, Console& console)
{
    print(console, {"Saving ", name.view(), "..."});
    FileResult result = replaceFile(name.view(), bytes);
    if (!result.ok()) {
        printLine(console, {"/!\\ERROR: cannot write ", name.view(), ": ", describeError(result.error), "."});
        return false;
    }
    printLine(console, {" done"});
    return true;
}

}  // namespace tunestrip
