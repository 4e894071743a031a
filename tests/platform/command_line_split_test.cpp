#include "platform/command_line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/command_line.h"

namespace tunestrip {
namespace {

struct SplitCase {
    std::string line;
    std::vector<std::string> arguments;
};

TEST(SplitCommandLine, FollowsTheQuotingRules)
{
    const SplitCase cases[] = {
        {"", {}},
        {"   \t ", {}},
        {"this.exe card.bin -44k", {"this.exe", "card.bin", "-44k"}},
        {"  a   b  ", {"a", "b"}},
        {"a\tb\x01" "c\x1f" "d\x7f", {"a", "b", "c", "d\x7f"}},
        {"\"my card.bin\"", {"my card.bin"}},
        {"\"\"", {""}},
        {"a \"\" b", {"a", "", "b"}},
        {"my\"\"card", {"mycard"}},
        {"\"a\"\"b c\"", {"ab c"}},  // the pair inside quotes keeps them on
        {"\"\"\"a b\"", {"a b"}},      // a pair, then a lone quote
        {"ca\"rd b\"in", {"card bin"}},
        {"\"- 44k\"", {"- 44k"}},
        {"trailing\"", {"trailing"}},
        {"open\" quote runs to the end", {"open quote runs to the end"}},
        {"c:\\cards\\\"x y\"\\", {"c:\\cards\\x y\\"}},
        {"caf\xc3\xa9 \xff\xfe", {"caf\xc3\xa9", "\xff\xfe"}},
        {"\"tab\tinside\"", {"tab\tinside"}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(splitCommandLine(c.line), c.arguments) << c.line;
    }
}

TEST(SplitCommandLine, LongArgumentsReachTheCommandLineWholeAndAreCutThere)
{
    std::string name(300, 'x');
    std::vector<std::string> arguments = splitCommandLine("this.exe \"" + name + "\"");
    ASSERT_EQ(arguments.size(), 2u);
    EXPECT_EQ(arguments[1], name);
    std::vector<std::string_view> views = {arguments[1]};
    std::string output;
    Console console{&output};
    EXPECT_EQ(parseCommandLine(views, console).settings.sourceName.view(), name.substr(0, 255));
}

}  // namespace
}  // namespace tunestrip
