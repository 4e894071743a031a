#include "run/program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_executable.h"
#include "support/temp_dir.h"

namespace tunestrip {
namespace {

using testing::patternBytes;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

const std::string& banner = testing::bannerText;

testing::ProgramRun run(const TempDir& dir, const std::vector<std::string>& arguments, long fileSizeLimit = -1)
{
    return testing::runExecutable(testing::programUnderTest(TUNESTRIP_EXECUTABLE), arguments, {dir.path().string(), fileSizeLimit, false, {}});
}

TEST(StripExtension, RemovesTheLastDotAndWhatFollowsUnlessASeparatorComesAfterIt)
{
    const std::pair<std::string, std::string> cases[] = {
        {"card.bin", "card"},         {"my.card.bin", "my.card"},     {"card", "card"},
        {"card.", "card"},            {".bin", ""},                   {"", ""},
        {"sub\\card.bin", "sub\\card"}, {"old.dir\\card", "old.dir\\card"}, {"old.dir/card", "old.dir/card"},
        {"a/.hidden", "a/"},
    };
    for (const auto& [name, stripped] : cases) {
        EXPECT_EQ(stripExtension(Text{name}).view(), stripped) << name;
    }
}

TEST(Program, WithoutArgumentsShowsBannerAndUsageOnly)
{
    TempDir dir;
    testing::ProgramRun result = run(dir, {});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output.rfind(banner + "use: this.exe [<source.bin>] [-options]\r\n", 0), 0u);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = result.output.find("\r\n", at)) != std::string::npos; at += 2) {
        ++lines;
    }
    EXPECT_EQ(lines, 6u + 24u) << "the banner and the usage text, nothing else";
    EXPECT_TRUE(dir.entries().empty());
}

TEST(Program, ConvertsACardIntoItsWavBesideIt)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "sub");
    writeBytes(dir.file("sub/card.bin"), patternBytes(300));
    testing::ProgramRun result = run(dir, {"-44k", "sub/card.bin"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, banner + "Loading sub/card.bin... done\r\nSaving sub/card.wav... done\r\n");
    std::vector<std::uint8_t> wav = readBytes(dir.file("sub/card.wav"));
    ASSERT_EQ(wav.size(), 44u + 2 * 14528);  // 3,632 cells of 4 samples
    EXPECT_EQ(wav[24] | wav[25] << 8, 44100);
}

struct RefusedCase {
    std::vector<std::string> arguments;
    std::string line;
};

TEST(Program, RefusedCommandLinesEndWithCodeTwoAndTouchNoFile)
{
    const RefusedCase cases[] = {
        {{"-8bit", "-slower"}, "/!\\ No source bin file.\r\n"},
        {{""}, "/!\\ No source bin file.\r\n"},
        {{"-nonumbers", "-dualch"}, "/!\\ No source bin file.\r\n"},
        {{"a.bin", "b.bin", "-gimmewavs"}, "/!\\ Too many source files.\r\n"},
        {{"-gimmewavs", "-"}, "/!\\ Unknown command line option \"-\".\r\n"},
    };
    for (const RefusedCase& c : cases) {
        TempDir dir;
        testing::ProgramRun result = run(dir, c.arguments);
        EXPECT_EQ(result.exitCode, 2) << c.line;
        EXPECT_EQ(result.output, banner + c.line);
        EXPECT_TRUE(dir.entries().empty());
    }
}

TEST(Program, SourcesThatYieldNoBytesEndTheRunWithCodeOne)
{
    TempDir dir;
    writeBytes(dir.file("e.bin"), {});
    std::filesystem::create_directory(dir.path() / "d.bin");
    for (std::string name : {"e.bin", "d.bin", "missing.bin"}) {
        testing::ProgramRun result = run(dir, {name, "-gimmewavs"});
        EXPECT_EQ(result.exitCode, 1) << name;
        EXPECT_EQ(result.output, banner + "Loading " + name + ".../!\\ERROR: source bin too small.\r\n");
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"d.bin", "e.bin"}));
}

TEST(Program, ALargeSourceIsConvertedFromItsFirstBlockWithAWarning)
{
    TempDir dir;
    writeBytes(dir.file("big.bin"), patternBytes(3000));
    testing::ProgramRun result = run(dir, {"big.bin", "-longerpilot", "-8bit"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, banner +
                                 "Loading big.bin... done\r\n"
                                 "/!\\WARNING: source bin too large, but nevertheless - let's try it out.\r\n"
                                 "(Keyboards might likely be able to load max 1kbyte of card data)\r\n"
                                 "Saving big.wav... done\r\n");
    EXPECT_EQ(readBytes(dir.file("big.wav")).size(), 44u + 16528 * 4);
}

TEST(Program, TheLargestJobKeepsEverySample)
{
    TempDir dir;
    writeBytes(dir.file("big.bin"), patternBytes(2048));
    testing::ProgramRun result = run(dir, {"big.bin", "-192k", "-slowest", "-dualch", "-iosilence", "-longerpilot"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(readBytes(dir.file("big.wav")).size(), 44u + 2 * 1062144);
}

// Bytes outside ASCII reach a Windows program through the system's code
// page, so these cases are for systems that hand over argument bytes as they are.
TEST(Program, ArgumentBytesPassThroughUnchanged)
{
    TempDir dir;
    testing::ProgramRun unknown = run(dir, {"-\x01\xe9t\xe9"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.output, banner + "/!\\ Unknown command line option \"-\x01\xe9t\xe9\".\r\n");
    testing::ProgramRun missing = run(dir, {"\xff\x7f.bin"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.output, banner + "Loading \xff\x7f.bin.../!\\ERROR: source bin too small.\r\n");
    std::string name = "caf\xc3\xa9\x01.bin";
    writeBytes(dir.file(name), patternBytes(10));
    testing::ProgramRun converted = run(dir, {name});
    EXPECT_EQ(converted.exitCode, 0);
    EXPECT_EQ(converted.output, banner + "Loading " + name + "... done\r\nSaving caf\xc3\xa9\x01.wav... done\r\n");
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{name, "caf\xc3\xa9\x01.wav"}));
}

TEST(Program, NamesOfEveryShapeAreUsedAsGiven)
{
    TempDir dir;
    std::string longName(251, 'n');  // 251 + ".bin" is the longest a name can be here
    const std::string names[] = {longName + ".bin", " spaced .bin", "noext"};
    for (const std::string& name : names) {
        writeBytes(dir.file(name), patternBytes(10));
        std::string wav = std::string(stripExtension(Text{name}).view()) + ".wav";
        testing::ProgramRun result = run(dir, {name});
        EXPECT_EQ(result.exitCode, 0) << name;
        EXPECT_EQ(result.output, banner + "Loading " + name + "... done\r\nSaving " + wav + "... done\r\n");
        EXPECT_EQ(readBytes(dir.file(wav)).size(), 44u + 2 * 14528);
    }
}

TEST(Program, AWavThatWouldReplaceItsSourceIsRefused)
{
    TempDir dir;
    std::string cut(255, 'c');  // its WAV name is cut back to the same 255 bytes
    writeBytes(dir.file("card.wav"), patternBytes(20));
    writeBytes(dir.file(cut), patternBytes(20));
    writeBytes(dir.file("linked.bin"), patternBytes(20));
    std::filesystem::create_symlink("linked.bin", dir.path() / "linked.wav");
    for (const std::string& name : {std::string("card.wav"), cut, std::string("linked.bin")}) {
        std::string wav = std::string(stripExtension(Text{name}).view()) + ".wav";
        wav.resize(std::min<std::size_t>(wav.size(), 255));
        testing::ProgramRun result = run(dir, {name});
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.output, banner + "Loading " + name + "... done\r\n/!\\ERROR: " + wav +
                                     " would replace the source bin; nothing written.\r\n");
        EXPECT_EQ(readBytes(dir.file(name)), patternBytes(20));
    }
}

TEST(Program, AWavThatCannotBeWrittenIsReportedAndLeavesTheOldFile)
{
    TempDir dir;
    writeBytes(dir.file("card.bin"), patternBytes(100));
    std::filesystem::create_symlink("nowhere/out.wav", dir.path() / "card.wav");
    testing::ProgramRun missing = run(dir, {"card.bin"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.output, banner + "Loading card.bin... done\r\nSaving card.wav.../!\\ERROR: cannot write "
                                       "card.wav: No such file or directory.\r\n");

    std::filesystem::remove(dir.path() / "card.wav");
    std::filesystem::create_directory(dir.path() / "card.wav");
    testing::ProgramRun taken = run(dir, {"card.bin"});
    EXPECT_EQ(taken.exitCode, 1);
    EXPECT_EQ(taken.output.substr(banner.size() + 26), "Saving card.wav.../!\\ERROR: cannot write card.wav: "
                                                       "Is a directory.\r\n");

    std::filesystem::remove(dir.path() / "card.wav");
    std::vector<std::uint8_t> old = patternBytes(50000, 3);
    writeBytes(dir.file("card.wav"), old);
    testing::ProgramRun full = run(dir, {"card.bin"}, 4096);
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.output.substr(banner.size() + 26), "Saving card.wav.../!\\ERROR: cannot write card.wav: "
                                                      "File too large.\r\n");
    EXPECT_EQ(readBytes(dir.file("card.wav")), old);
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"card.bin", "card.wav"}));
}

TEST(Program, ConsoleLinesOfAnInProcessRunMatchTheProgramsOwn)
{
    TempDir dir;
    std::string name = dir.file("card.bin");
    writeBytes(name, patternBytes(5));
    std::string output;
    Console console{&output};
    std::vector<std::string_view> arguments = {name, "-dualch"};
    EXPECT_EQ(runProgram(arguments, console), exitDone);
    EXPECT_EQ(output, banner + "Loading " + name + "... done\r\nSaving " + dir.file("card.wav") + "... done\r\n");
    EXPECT_EQ(readBytes(dir.file("card.wav")).size(), 44u + 4 * 14528);
}

}  // namespace
}  // namespace tunestrip
