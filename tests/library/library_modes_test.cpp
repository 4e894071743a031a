#include "library/library_modes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_executable.h"
#include "support/temp_dir.h"

namespace tunestrip {
namespace {

using testing::bannerText;
using testing::readBytes;
using testing::TempDir;

testing::ProgramRun run(const TempDir& dir, const std::vector<std::string>& arguments)
{
    return testing::runExecutable(testing::programUnderTest(TUNESTRIP_EXECUTABLE), arguments, {dir.path().string(), -1, false, {}});
}

std::vector<std::string> lines(const std::string& output)
{
    std::vector<std::string> result;
    for (std::size_t start = 0, end; (end = output.find("\r\n", start)) != std::string::npos; start = end + 2) {
        result.push_back(output.substr(start, end - start));
    }
    return result;
}

const std::string firstName = "tunestrip_17-541_children-1_all_around_the_cobbler";
const std::string lastName = "tunestrip_pcs-30_when_the_saints";

TEST(LibraryModes, ListAloneWritesTheNumberedListAndNoFile)
{
    TempDir dir;
    testing::ProgramRun result = run(dir, {"-gimmelist"});
    EXPECT_EQ(result.exitCode, 0);
    std::vector<std::string> text = lines(result.output.substr(bannerText.size()));
    ASSERT_EQ(text.size(), 269u);
    EXPECT_EQ(text[0], "List:");
    EXPECT_EQ(text[1], "#001: " + firstName);
    EXPECT_EQ(text[79], "#079: tunestrip_17-557_christmas-1_jingle_bells");
    EXPECT_EQ(text[211], "#211: tunestrip_pc-100_9to5");
    EXPECT_EQ(text[267], "#267: " + lastName);
    EXPECT_EQ(text[268], "");
    EXPECT_TRUE(dir.entries().empty());
}

TEST(LibraryModes, NoNumbersChangesNamesButNotListNumbers)
{
    TempDir dir;
    testing::ProgramRun result = run(dir, {"-nonumbers", "-gimmelist"});
    std::vector<std::string> text = lines(result.output.substr(bannerText.size()));
    ASSERT_EQ(text.size(), 269u);
    EXPECT_EQ(text[1], "#001: tunestrip_children-1_all_around_the_cobbler");
    EXPECT_EQ(text[199], "#199: tunestrip_german-1_alle_vogel_sind_schon_da");
    EXPECT_EQ(text[267], "#267: " + lastName);
}

TEST(LibraryModes, CombinedModesRunInTheirFixedOrderWhateverTheCommandLine)
{
    TempDir dir;
    testing::writeBytes(dir.file("source.bin"), testing::patternBytes(100));
    testing::ProgramRun result =
        run(dir, {"-gimmewavs", "-8bit", "source.bin", "-gimmebins", "-nonumbers", "-gimmelist"});
    EXPECT_EQ(result.exitCode, 0);
    std::vector<std::string> text = lines(result.output.substr(bannerText.size()));
    ASSERT_EQ(text.size(), 269u + 1 + 267 + 1 + 2 + 1 + 267);
    EXPECT_EQ(text[268], "");
    EXPECT_EQ(text[269], "Magically pulling bins out of thin air:");
    EXPECT_EQ(text[270], "Saving tunestrip_children-1_all_around_the_cobbler.bin... done");
    EXPECT_EQ(text[536], "Saving tunestrip_pcs-30_when_the_saints.bin... done");
    EXPECT_EQ(text[537], "");
    EXPECT_EQ(text[538], "Loading source.bin... done");
    EXPECT_EQ(text[539], "Saving source.wav... done");
    EXPECT_EQ(text[540], "Magically pulling waves out of thin air:");
    EXPECT_EQ(text[541], "Saving tunestrip_children-1_all_around_the_cobbler.wav... done");
    EXPECT_EQ(text.back(), "Saving tunestrip_pcs-30_when_the_saints.wav... done");
    EXPECT_EQ(dir.entries().size(), 2u + 2 * 267);
    // Every card is written whole: its payload, and a WAV of 3,632 cells.
    for (std::uint32_t i = 0; i < cardCount; i += 37) {
        std::string name = "tunestrip_" + std::string(cardEntry(i).name).substr(i < 198 ? 4 : i < 210 ? 5 : 0);
        std::vector<std::uint8_t> bin = readBytes(dir.file(name + ".bin"));
        EXPECT_TRUE(std::equal(bin.begin(), bin.end(), cardEntry(i).payload.begin(), cardEntry(i).payload.end()));
        EXPECT_EQ(readBytes(dir.file(name + ".wav")).size(), 44u + 3632 * 4);
    }
}

TEST(LibraryModes, AnExtractedCardConvertsToTheBulkRendersWav)
{
    TempDir bulk;
    ASSERT_EQ(run(bulk, {"-gimmewavs", "-gimmebins", "-dualch", "-longerpilot"}).exitCode, 0);
    TempDir single;
    for (const std::string& name : {firstName, std::string("tunestrip_pcs-30_memory")}) {
        std::filesystem::copy_file(bulk.path() / (name + ".bin"), single.path() / (name + ".bin"));
        testing::ProgramRun result = run(single, {name + ".bin", "-dualch", "-longerpilot"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(readBytes(single.file(name + ".wav")), readBytes(bulk.file(name + ".wav"))) << name;
    }
}

TEST(LibraryModes, ASourceThatYieldsNoBytesStopsTheRunBeforeTheBulkRender)
{
    TempDir dir;
    testing::ProgramRun result = run(dir, {"-gimmebins", "missing.bin", "-gimmewavs"});
    EXPECT_EQ(result.exitCode, 1);
    std::vector<std::string> text = lines(result.output.substr(bannerText.size()));
    ASSERT_EQ(text.size(), 1u + 267 + 1 + 1);
    EXPECT_EQ(text.back(), "Loading missing.bin.../!\\ERROR: source bin too small.");
    EXPECT_EQ(dir.entries().size(), 267u) << "the extracted cards stay, no WAV is made";
}

TEST(LibraryModes, AFileThatCannotBeWrittenIsReportedAndTheOthersAreWritten)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / (lastName + ".bin"));
    std::filesystem::create_directory(dir.path() / (firstName + ".wav"));
    testing::ProgramRun result = run(dir, {"-gimmebins", "-gimmewavs"});
    EXPECT_EQ(result.exitCode, 1);
    std::vector<std::string> text = lines(result.output.substr(bannerText.size()));
    ASSERT_EQ(text.size(), 1u + 267 + 1 + 1 + 267);
    EXPECT_EQ(text[267], "Saving " + lastName + ".bin.../!\\ERROR: cannot write " + lastName +
                             ".bin: Is a directory.");
    EXPECT_EQ(text[270], "Saving " + firstName + ".wav.../!\\ERROR: cannot write " + firstName +
                             ".wav: Is a directory.");
    EXPECT_EQ(text[271], "Saving tunestrip_17-541_children-1_bingo.wav... done");
    EXPECT_EQ(dir.entries().size(), 2u * 267);
}

}  // namespace
}  // namespace tunestrip
