#include "run/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tunestrip {
namespace {

struct Parse {
    ParsedCommandLine parsed;
    std::string output;
};

Parse parse(const std::vector<std::string>& words)
{
    std::vector<std::string_view> arguments(words.begin(), words.end());
    Parse result{{}, {}};
    Console console{&result.output};
    result.parsed = parseCommandLine(arguments, console);
    return result;
}

TEST(ParseCommandLine, DefaultsDescribeA48kHzMono16BitRun)
{
    Parse result = parse({"card.bin"});
    const RunSettings& s = result.parsed.settings;
    EXPECT_FALSE(result.parsed.refused);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(s.sampleRate, 48000u);
    EXPECT_EQ(s.bytesPerSample, 2u);
    EXPECT_EQ(s.channels, 1u);
    EXPECT_EQ(s.cellSamples, 4u);
    EXPECT_FALSE(s.longerPilot || s.noEmptyTrail || s.ioSilence || s.gimmeList || s.gimmeBins ||
                 s.gimmeWavs || s.noNumbers);
    EXPECT_EQ(s.sourceName.view(), "card.bin");
}

struct RateCase {
    std::vector<std::string> words;
    std::uint32_t sampleRate;
    std::uint32_t cellSamples;
};

TEST(ParseCommandLine, RateAndSpeedGiveTheCellLengthWhateverTheOrder)
{
    const RateCase cases[] = {
        {{"-44k"}, 44100, 4},          {{"-32k", "-slowest"}, 32000, 12},
        {{"-96k"}, 96000, 8},          {{"-96k", "-slower"}, 96000, 16},
        {{"-slowest", "-96k"}, 96000, 24}, {{"-192k"}, 192000, 8},
        {{"-192k", "-slowest"}, 192000, 24}, {{"-slower", "-slowest"}, 48000, 12},
        {{"-slowest", "-slower"}, 48000, 8}, {{"-96k", "-44k"}, 44100, 4},
        {{"-44k", "-192k"}, 192000, 8},
    };
    for (const RateCase& c : cases) {
        Parse result = parse(c.words);
        EXPECT_EQ(result.parsed.settings.sampleRate, c.sampleRate) << c.words.front();
        EXPECT_EQ(result.parsed.settings.cellSamples, c.cellSamples) << c.words.front();
    }
}

TEST(ParseCommandLine, EveryFlagWordSetsItsField)
{
    Parse result = parse({"-8bit", "-longerpilot", "-noemptytrail", "-iosilence", "-gimmebins", "-gimmewavs",
                          "-gimmelist", "-nonumbers", "-dualch", "-dualch"});
    const RunSettings& s = result.parsed.settings;
    EXPECT_FALSE(result.parsed.refused);
    EXPECT_EQ(s.bytesPerSample, 1u);
    EXPECT_EQ(s.channels, 2u);
    EXPECT_TRUE(s.longerPilot && s.noEmptyTrail && s.ioSilence && s.gimmeList && s.gimmeBins && s.gimmeWavs &&
                s.noNumbers);
    EXPECT_TRUE(s.sourceName.empty());
}

TEST(ParseCommandLine, OptionTextIsTrimmedOfBlanksOnly)
{
    EXPECT_EQ(parse({"- 44k "}).parsed.settings.sampleRate, 44100u);
    Parse tab = parse({"-\t44k"});
    EXPECT_TRUE(tab.parsed.refused);
    EXPECT_EQ(tab.output, "/!\\ Unknown command line option \"-\t44k\".\r\n");
}

struct RefusalCase {
    std::vector<std::string> words;
    std::string line;
};

TEST(ParseCommandLine, RefusalsNameTheFirstOffendingArgumentExactly)
{
    const std::string tooMany = "/!\\ Too many source files.\r\n";
    const RefusalCase cases[] = {
        {{"-44K"}, "/!\\ Unknown command line option \"-44K\".\r\n"},
        {{"-48k"}, "/!\\ Unknown command line option \"-48k\".\r\n"},
        {{"--44k"}, "/!\\ Unknown command line option \"--44k\".\r\n"},
        {{"-Slower"}, "/!\\ Unknown command line option \"-Slower\".\r\n"},
        {{"-"}, "/!\\ Unknown command line option \"-\".\r\n"},
        {{"-  "}, "/!\\ Unknown command line option \"-  \".\r\n"},
        {{"- nope "}, "/!\\ Unknown command line option \"- nope \".\r\n"},
        {{"a.bin", "b.bin"}, tooMany},
        {{"a.bin", "a.bin"}, tooMany},
        {{"a.bin", "-x", "b.bin"}, "/!\\ Unknown command line option \"-x\".\r\n"},
        {{"a.bin", "b.bin", "-x"}, tooMany},
        {{"a.bin", ""}, tooMany},
        {{"-44k", "\xff\x01.bin", "c"}, tooMany},
    };
    for (const RefusalCase& c : cases) {
        Parse result = parse(c.words);
        EXPECT_TRUE(result.parsed.refused) << c.line;
        EXPECT_EQ(result.output, c.line);
    }
}

TEST(ParseCommandLine, SourceNameIsTakenAsGiven)
{
    EXPECT_EQ(parse({"/8bit"}).parsed.settings.sourceName.view(), "/8bit");
    EXPECT_EQ(parse({" my card.bin "}).parsed.settings.sourceName.view(), " my card.bin ");
    // An empty argument names no file, so a later name is still the first.
    Parse empty = parse({"", "b.bin"});
    EXPECT_FALSE(empty.parsed.refused);
    EXPECT_EQ(empty.parsed.settings.sourceName.view(), "b.bin");
}

TEST(ParseCommandLine, LongArgumentsAreCutTo255Bytes)
{
    std::string name(300, 'n');
    EXPECT_EQ(parse({name}).parsed.settings.sourceName.view(), name.substr(0, 255));
    std::string option = "-" + std::string(300, 'o');
    EXPECT_EQ(parse({option}).output, "/!\\ Unknown command line option \"" + option.substr(0, 255) + "\".\r\n");
    // Blanks beyond the cut no longer count: what is left is the word.
    std::string padded = "-44k" + std::string(300, ' ') + "x";
    EXPECT_EQ(parse({padded}).parsed.settings.sampleRate, 44100u);
}

TEST(TrimSpaces, RemovesLeadingAndTrailingBlanksOnly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"   ", ""}, {" a b ", "a b"}, {"\tx\t", "\tx\t"}, {"  44k", "44k"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(trimSpaces(Text{in}).view(), out);
    }
}

TEST(PrintUsage, WritesTwentyFourLinesWithTheLibraryCount)
{
    std::string output;
    Console console{&output};
    printUsage(console);
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = output.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(output.substr(start, end - start));
    }
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(output.size(), output.rfind("\r\n") + 2) << "every line ends with CR LF";
    EXPECT_EQ(lines[0], "use: this.exe [<source.bin>] [-options]");
    EXPECT_EQ(lines[2], "  -44k -32k = use 44.1kHz or 32k samplerate instead of 48kHz");
    EXPECT_EQ(lines[11], "  -nonumbers");
    EXPECT_EQ(lines[19],
              "as audio (like these 267 cards were) and I will be able to process those back");
    EXPECT_EQ(lines[22].rfind("Look for newest version of this tool on my website: ", 0), 0u);
    for (std::size_t blank : {1, 12, 15, 21, 23}) {
        EXPECT_EQ(lines[blank], "") << blank;
    }
}

}  // namespace
}  // namespace tunestrip
