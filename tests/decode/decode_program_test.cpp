// The decoder run as a program, on files made by the encoder's own code.
#include "decode/decode_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "library/card_library.h"
#include "support/run_executable.h"
#include "support/signal_lab.h"
#include "support/temp_dir.h"

namespace tunestrip {
namespace {

using testing::readBytes;
using testing::Signal;
using testing::withoutTrail;
using testing::TempDir;
using Bytes = std::vector<std::uint8_t>;

testing::ProgramRun decode(const TempDir& dir, const std::vector<std::string>& arguments,
                           const std::string& input = {})
{
    testing::RunOptions options;
    options.directory = dir.path().string();
    options.withErrors = true;
    options.standardInput = input;
    return testing::runExecutable(testing::programUnderTest(DECODE_EXECUTABLE, "TUNESTRIP_DECODE_PROGRAM"), arguments,
                                  options);
}

void writeWav(const TempDir& dir, const std::string& name, const std::vector<Signal>& channels)
{
    testing::writeBytes(dir.file(name), testing::makeWav(channels, 48000, {}));
}

Signal strip(const Bytes& payload)
{
    RunSettings settings;
    settings.cellSamples = 8;
    return testing::stripSignal(payload, settings);
}

TEST(Decoder, WritesTheCardBesideTheRecording)
{
    TempDir dir;
    Bytes payload = testing::libraryCard(261);
    testing::writeBytes(dir.file("memory.wav"), testing::encodeCard(payload, RunSettings{}));
    testing::ProgramRun run = decode(dir, {"memory.wav"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "memory.wav: swipe 1 of 1 (channel 1, 3592 cells of 83.3 us, margin 1.00): 433 bytes "
                          "(16 trailing zero bytes removed), complete, written to memory.bin\n");
    EXPECT_EQ(readBytes(dir.file("memory.bin")), withoutTrail(payload));

    testing::ProgramRun kept = decode(dir, {"memory.wav", "--keep-trail", "-o", "kept.bin"});
    EXPECT_EQ(kept.exitCode, 0);
    Bytes trailed = readBytes(dir.file("kept.bin"));
    EXPECT_EQ(trailed.size(), 449u);  // the payload, the trail padding the strip and the zero byte after it
    EXPECT_EQ(withoutTrail(trailed), withoutTrail(payload));
}

TEST(Decoder, NumbersTheCardsOfSeveralSwipes)
{
    TempDir dir;
    Signal both = strip(testing::libraryCard(1));
    Signal gap(2400, 0);
    Signal second = strip(testing::libraryCard(2));
    both.insert(both.end(), gap.begin(), gap.end());
    both.insert(both.end(), second.begin(), second.end());
    writeWav(dir, "takes.wav", {both});
    testing::ProgramRun run = decode(dir, {"takes.wav"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(readBytes(dir.file("takes-1.bin")), withoutTrail(testing::libraryCard(1)));
    EXPECT_EQ(readBytes(dir.file("takes-2.bin")), withoutTrail(testing::libraryCard(2)));
}

// card.wav and card.wave both give card.bin: the second card is refused,
// not written over the first.
TEST(Decoder, NeverReplacesACardFileWrittenEarlierInTheRun)
{
    TempDir dir;
    writeWav(dir, "card.wav", {strip(testing::libraryCard(70))});
    writeWav(dir, "card.wave", {strip(testing::libraryCard(71))});
    testing::ProgramRun run = decode(dir, {"card.wav", "card.wave"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("tunestrip-decode: card.bin holds a card read earlier in this run; not replaced\n"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(readBytes(dir.file("card.bin")), withoutTrail(testing::libraryCard(70)));
}

// The card a recording was made from often stands beside it under the
// name the decoder writes, and may end in zero bytes that the decoder
// leaves out: a file that holds other bytes is kept unless --force is given.
TEST(Decoder, ReplacesAnExistingCardFileOnlyWithTheSameBytesOrWhenForced)
{
    TempDir dir;
    Bytes payload = testing::libraryCard(80);
    Bytes original = payload;
    original.insert(original.end(), 3, 0);  // a card that ends in zero bytes
    writeWav(dir, "card.wav", {strip(original)});
    testing::writeBytes(dir.file("card.bin"), original);

    testing::ProgramRun kept = decode(dir, {"card.wav"});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_NE(kept.output.find("tunestrip-decode: card.bin exists and holds other bytes; not replaced (--force "
                               "replaces it)\n"),
              std::string::npos)
        << kept.output;
    EXPECT_EQ(readBytes(dir.file("card.bin")), original);

    // The same bytes again: nothing is lost by writing them.
    EXPECT_EQ(decode(dir, {"card.wav", "--keep-trail", "-o", "same.bin"}).exitCode, 0);
    EXPECT_EQ(decode(dir, {"card.wav", "--keep-trail", "-o", "same.bin"}).exitCode, 0);

    EXPECT_EQ(decode(dir, {"card.wav", "--force"}).exitCode, 0);
    EXPECT_EQ(readBytes(dir.file("card.bin")), withoutTrail(payload));
}

TEST(Decoder, VerifiesAgainstACardFile)
{
    TempDir dir;
    Bytes payload = testing::libraryCard(5);
    writeWav(dir, "rec.wav", {strip(payload)});
    testing::writeBytes(dir.file("same.bin"), payload);
    Bytes other = payload;
    other[17] ^= 0xFF;
    testing::writeBytes(dir.file("other.bin"), other);
    testing::ProgramRun same = decode(dir, {"rec.wav", "--verify", "same.bin"});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_NE(same.output.find(", matches the card, written to rec.bin"), std::string::npos) << same.output;
    testing::ProgramRun differs = decode(dir, {"rec.wav", "--verify", "other.bin"});
    EXPECT_EQ(differs.exitCode, 1);
    EXPECT_NE(differs.output.find("DIFFERS from the card in 1 byte, first at byte 17"), std::string::npos);
    // The card verified against is never replaced by what was read.
    testing::ProgramRun beside = decode(dir, {"rec.wav", "--verify", "other.bin", "-o", "other.bin"});
    EXPECT_EQ(beside.exitCode, 1);
    EXPECT_EQ(readBytes(dir.file("other.bin")), other);
}

TEST(Decoder, ReadsStandardInputAndWritesJson)
{
    TempDir dir;
    writeWav(dir, "rec.wav", {strip(testing::libraryCard(9))});
    testing::ProgramRun run = decode(dir, {"--json", "-", "-o", "piped.bin"}, dir.file("rec.wav"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.rfind("{\"file\":\"-\",\"swipe\":1,\"swipes\":1,\"rate\":48000,\"channel\":1,", 0), 0u);
    EXPECT_NE(run.output.find("\"verdict\":\"complete\",\"output\":\"piped.bin\"}\n"), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("piped.bin")), withoutTrail(testing::libraryCard(9)));
}

TEST(Decoder, FindsTheStripBesideTheGuideChannel)
{
    TempDir dir;
    RunSettings settings;
    settings.channels = 2;
    testing::writeBytes(dir.file("guide.wav"), testing::encodeCard(testing::libraryCard(30), settings));
    Signal square = strip(testing::libraryCard(31));
    writeWav(dir, "swapped.wav", {Signal(square.size(), 0), square});
    EXPECT_EQ(decode(dir, {"guide.wav"}).exitCode, 0);
    EXPECT_EQ(readBytes(dir.file("guide.bin")), withoutTrail(testing::libraryCard(30)));
    testing::ProgramRun second = decode(dir, {"swapped.wav"});
    EXPECT_NE(second.output.find("(channel 2,"), std::string::npos) << second.output;
    EXPECT_EQ(decode(dir, {"swapped.wav", "--channel", "1"}).exitCode, 1);
    EXPECT_EQ(decode(dir, {"swapped.wav", "--channel", "3"}).output,
              "tunestrip-decode: swapped.wav: has 2 channels, no channel 3\n");
}

TEST(Decoder, ACutOffSwipeGivesItsBytesAndFails)
{
    TempDir dir;
    Bytes payload = testing::libraryCard(40);
    Signal cut = strip(payload);
    cut.resize(cut.size() / 2);
    writeWav(dir, "cut.wav", {cut});
    testing::ProgramRun run = decode(dir, {"cut.wav"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find(", INCOMPLETE, written to cut.bin"), std::string::npos) << run.output;
    Bytes partial = readBytes(dir.file("cut.bin"));
    ASSERT_GT(partial.size(), 100u);
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), payload.begin()));
}

TEST(Decoder, VotesOverTakesOfOneCard)
{
    TempDir dir;
    Bytes payload = testing::libraryCard(50);
    Signal good = strip(payload);
    Signal damaged = good;
    std::fill(damaged.begin() + 10000, damaged.begin() + 10040, 0.0f);  // a dropout in one take
    writeWav(dir, "take1.wav", {good});
    writeWav(dir, "take2.wav", {damaged});
    writeWav(dir, "take3.wav", {good});
    testing::ProgramRun alone = decode(dir, {"take2.wav"});
    EXPECT_EQ(alone.exitCode, 1) << alone.output;
    testing::ProgramRun run = decode(dir, {"--vote", "take1.wav", "take2.wav", "take3.wav", "-o", "voted.bin"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("take1.wav: 3 takes combined: "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("bytes in doubt"), std::string::npos);
    EXPECT_EQ(readBytes(dir.file("voted.bin")), withoutTrail(payload));
}

TEST(Decoder, RefusesAndFailsWithClearWords)
{
    TempDir dir;
    testing::writeBytes(dir.file("bad.wav"), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '});
    writeWav(dir, "quiet.wav", {Signal(48000, 0)});
    writeWav(dir, "rec.wav", {strip(testing::libraryCard(60))});
    Bytes recording = readBytes(dir.file("rec.wav"));
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string output;
    };
    const Case cases[] = {
        {{}, 2, "tunestrip-decode: no recording named (try --help)\n"},
        {{"--nope", "rec.wav"}, 2, "tunestrip-decode: unknown option \"--nope\" (try --help)\n"},
        {{"bad.wav"}, 1, "tunestrip-decode: bad.wav: RIFF file but not WAVE\n"},
        {{"missing.wav"}, 1, "tunestrip-decode: missing.wav: cannot read: No such file or directory\n"},
        {{"quiet.wav"}, 1, "tunestrip-decode: quiet.wav: no card found\n"},
        {{"rec.wav", "-o", "rec.wav"}, 1, "tunestrip-decode: rec.wav is the recording rec.wav itself; not written\n"},
        {{"--version"}, 0, "tunestrip-decode 1.15\n"},
    };
    for (const Case& c : cases) {
        testing::ProgramRun run = decode(dir, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.output;
        EXPECT_EQ(run.output.substr(0, c.output.size()), c.output);
    }
    EXPECT_EQ(readBytes(dir.file("rec.wav")), recording);
    EXPECT_EQ(decode(dir, {"--help"}).output.rfind("usage: tunestrip-decode [options] RECORDING.wav...\n", 0), 0u);
}

}  // namespace
}  // namespace tunestrip
