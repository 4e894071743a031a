#include "decode/decode_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tunestrip {
namespace {

ParsedDecodeCommandLine parse(const std::vector<std::string>& words)
{
    std::vector<std::string_view> views(words.begin(), words.end());
    return parseDecodeCommandLine(views);
}

TEST(ParseDecodeCommandLine, TakesEveryOptionInBothSpellings)
{
    ParsedDecodeCommandLine parsed = parse({"a.wav", "--output=x.bin", "--keep-trail", "--channel", "2", "--json",
                                            "--verify", "card.bin", "--direction=backwards", "--force"});
    ASSERT_EQ(parsed.error, "");
    const DecodeOptions& o = parsed.options;
    EXPECT_EQ(o.inputs, std::vector<std::string>{"a.wav"});
    EXPECT_EQ(o.output, "x.bin");
    EXPECT_EQ(o.verify, "card.bin");
    EXPECT_EQ(o.channel, 2u);
    EXPECT_EQ(o.direction, Direction::backwards);
    EXPECT_TRUE(o.keepTrail && o.json && o.force && !o.vote);
    EXPECT_EQ(parse({"-", "-o", "out.bin"}).options.inputs, std::vector<std::string>{"-"});
    EXPECT_EQ(parse({"--", "-odd.wav", "--json"}).options.inputs, (std::vector<std::string>{"-odd.wav", "--json"}));
    EXPECT_TRUE(parse({"-h"}).options.help);
    EXPECT_TRUE(parse({"--version"}).options.version);
    EXPECT_TRUE(parse({"--vote", "a.wav", "b.wav", "-o", "c.bin"}).options.vote);
}

TEST(ParseDecodeCommandLine, RefusalsSayWhatIsWrong)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no recording named (try --help)"},
        {{"--frobnicate", "a.wav"}, "unknown option \"--frobnicate\" (try --help)"},
        {{"a.wav", "--output"}, "--output needs a value"},
        {{"a.wav", "--channel", "0"}, "--channel takes a channel number from 1 on, not \"0\""},
        {{"a.wav", "--channel=two"}, "--channel takes a channel number from 1 on, not \"two\""},
        {{"a.wav", "--direction", "up"}, "--direction takes forwards, backwards or auto, not \"up\""},
        {{"-"}, "a recording on standard input needs --output"},
        {{"a.wav", "b.wav", "-o", "c.bin"},
         "--output names one file, but several recordings are named (vote on them with --vote)"},
    };
    for (const auto& [words, error] : cases) {
        EXPECT_EQ(parse(words).error, error);
    }
}

}  // namespace
}  // namespace tunestrip
