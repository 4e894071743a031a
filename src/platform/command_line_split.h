// Splitting one command-line string into arguments, for systems that hand a
// program its command line as a single string.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunestrip {

// Splits at runs of bytes 1 to 32 (blank, tab and the other control bytes)
// that stand outside double quotes. A double quote switches quoting on or
// off and is dropped; two in a row are dropped together and leave quoting as
// it was, so "" alone is an empty argument. A backslash is an ordinary byte,
// and bytes above 127 are kept as they are. The first argument is the
// program's own name, as the string gives it.
[[nodiscard]] std::vector<std::string> splitCommandLine(std::string_view line);

}  // namespace tunestrip
