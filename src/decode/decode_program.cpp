#include "decode/decode_program.h"

#include <string>
#include <vector>

#include "decode/card_reader.h"
#include "decode/decode_command_line.h"
#include "decode/report.h"
#include "decode/vote.h"
#include "decode/wav_reader.h"
#include "platform/platform.h"
#include "run/program.h"

namespace tunestrip {
namespace {

constexpr std::string_view versionText = "tunestrip-decode 1.15\n";

void printError(const std::string& text)
{
    (void)writeStandardError("tunestrip-decode: " + text + "\n");
}

struct Recording {
    std::string name;
    WavAudio audio;
};

bool loadRecording(const std::string& name, Recording& recording)
{
    std::vector<std::uint8_t> bytes;
    if (int error = readWholeFile(name, bytes); error != 0) {
        printError(name + ": cannot read: " + std::string(describeError(error)));
        return false;
    }
    WavReadResult read = parseWav(bytes);
    if (!read.error.empty()) {
        printError(name + ": " + read.error);
        return false;
    }
    recording.name = name;
    recording.audio = std::move(read.audio);
    return true;
}

// card.wav gives card.bin; several swipes give card-1.bin, card-2.bin, ...
std::string outputName(const DecodeOptions& options, const std::string& input, std::size_t swipe, std::size_t swipes)
{
    std::string base = options.output.empty() ? input : options.output;
    std::size_t stem = stemLength(base);
    std::string extension = options.output.empty() ? ".bin" : base.substr(stem);
    std::string name = base.substr(0, stem);
    return swipes > 1 ? name + "-" + std::to_string(swipe) + extension : name + extension;
}

// Leaves out the strip's empty trail, which cannot be told from payload
// bytes that happen to be zero; returns how many bytes that was.
std::size_t removeTrail(std::vector<std::uint8_t>& bytes)
{
    std::size_t removed = 0;
    while (!bytes.empty() && bytes.back() == 0) {
        bytes.pop_back();
        ++removed;
    }
    return removed;
}

struct Card {
    bool given = false;
    std::vector<std::uint8_t> bytes;
};

// What the recordings of one run share.
struct DecodeRun {
    const DecodeOptions& options;
    Card card;
    std::vector<std::string> written;  // the card files written so far
};

// Writes the card file unless that would replace a recording being read, a
// card file that an earlier swipe of the run gave (card.wav and card.wave
// both give card.bin), or, without --force, a file that holds other bytes.
bool writeCard(const std::string& name, const std::vector<std::uint8_t>& bytes, DecodeRun& run)
{
    for (const std::string& input : run.options.inputs) {
        if (input != "-" && sameFile(input, name)) {
            printError(name + " is the recording " + input + " itself; not written");
            return false;
        }
    }
    for (const std::string& earlier : run.written) {
        if (sameFile(earlier, name)) {
            printError(name + " holds a card read earlier in this run; not replaced");
            return false;
        }
    }
    // A card file that exists already is often the card that the recording
    // was made from, and the bytes read leave out its trailing zeros: it is
    // replaced only when it holds the same bytes, or when the user says so.
    if (!run.options.force && isRegularFile(name)) {
        std::vector<std::uint8_t> existing;
        if (readWholeFile(name, existing) != 0 || existing != bytes) {
            printError(name + " exists and holds other bytes; not replaced (--force replaces it)");
            return false;
        }
    }

    FileResult result = replaceFile(name, bytes);
    if (!result.ok()) {
        printError("cannot write " + name + ": " + std::string(describeError(result.error)));
        return false;
    }
    run.written.push_back(name);
    return true;
}

// Finishes a report for `bytes`: the trail, the check against the card, the
// file. Returns false for anything that makes the run fail.
bool deliver(std::vector<std::uint8_t> bytes, SwipeReport& report, const std::string& output, DecodeRun& run)
{
    const DecodeOptions& options = run.options;
    const Card& card = run.card;
    // Only a swipe read to its trail has one; a broken swipe keeps every byte it gave.
    if (report.complete && !options.keepTrail) {
        report.trailRemoved = removeTrail(bytes);
    }
    report.bytes = bytes.size();
    report.checksum = crc32(bytes);
    bool ok = report.complete;
    if (card.given) {
        std::vector<std::uint8_t> expected = card.bytes;
        if (!options.keepTrail) {
            removeTrail(expected);
        }
        report.verification = verifyBytes(bytes, expected);
        ok &= report.verification->matches;
    }
    // The card verified against is left alone: the check says all there is.
    if (card.given && sameFile(options.verify, output)) {
        printError(output + " is the card verified against; not replaced");
    } else if (writeCard(output, bytes, run)) {
        report.output = output;
    } else {
        ok = false;
    }
    (void)writeStandardOutput(options.json ? reportJson(report) : reportText(report));
    return ok;
}

SwipeReport describeSwipe(const Recording& recording, const ReadSwipe& read, std::size_t index, std::size_t count)
{
    SwipeReport report;
    report.file = recording.name;
    report.swipe = index + 1;
    report.swipes = count;
    report.sampleRate = recording.audio.sampleRate;
    report.channel = read.channel + 1;
    report.backwards = read.backwards;
    report.pulses = read.detector.pulses;
    report.cells = read.swipe.cells.size();
    report.cellAtStart = read.swipe.cellAtStart;
    report.cellShortest = read.swipe.cellShortest;
    report.cellLongest = read.swipe.cellLongest;
    report.margin = read.swipe.margin;
    report.complete = read.complete;
    return report;
}

std::optional<std::uint32_t> channelOf(const DecodeOptions& options)
{
    return options.channel ? std::optional<std::uint32_t>(*options.channel - 1) : std::nullopt;
}

bool channelFits(const DecodeOptions& options, const Recording& recording)
{
    if (options.channel && *options.channel > recording.audio.channels) {
        printError(recording.name + ": has " + std::to_string(recording.audio.channels) + " channel" +
                   (recording.audio.channels == 1 ? "" : "s") + ", no channel " + std::to_string(*options.channel));
        return false;
    }
    return true;
}

bool decodeRecording(const Recording& recording, DecodeRun& run)
{
    const DecodeOptions& options = run.options;
    std::vector<ReadSwipe> swipes = readSwipes(recording.audio, channelOf(options), options.direction);
    if (swipes.empty()) {
        printError(recording.name + ": no card found");
        return false;
    }
    bool ok = true;
    for (std::size_t i = 0; i < swipes.size(); ++i) {
        SwipeReport report = describeSwipe(recording, swipes[i], i, swipes.size());
        ok &= deliver(swipes[i].bytes, report, outputName(options, recording.name, i + 1, swipes.size()), run);
    }
    return ok;
}

bool voteOnRecordings(const std::vector<Recording>& recordings, DecodeRun& run)
{
    const DecodeOptions& options = run.options;
    std::vector<std::vector<std::uint8_t>> takes;
    bool anyComplete = false;
    for (const Recording& recording : recordings) {
        for (const ReadSwipe& read : readSwipes(recording.audio, channelOf(options), options.direction)) {
            takes.push_back(read.swipe.cells);
            anyComplete |= read.complete;
        }
    }
    if (takes.empty()) {
        printError("no card found in any of the recordings");
        return false;
    }
    VoteResult vote = voteOnCells(takes);
    SwipeReport report;
    report.file = recordings.front().name;
    report.swipe = report.swipes = 1;
    report.sampleRate = recordings.front().audio.sampleRate;
    report.takes = takes.size();
    report.doubtfulBytes = vote.doubtfulBytes;
    report.complete = anyComplete && !vote.undecided;
    return deliver(vote.bytes, report, outputName(options, recordings.front().name, 1, 1), run);
}

bool loadCard(const DecodeOptions& options, Card& card)
{
    if (options.verify.empty()) {
        return true;
    }
    card.given = true;
    if (int error = readWholeFile(options.verify, card.bytes); error != 0) {
        printError(options.verify + ": cannot read: " + std::string(describeError(error)));
        return false;
    }
    return true;
}

}  // namespace

int runDecoder(std::span<const std::string_view> arguments)
{
    ParsedDecodeCommandLine parsed = parseDecodeCommandLine(arguments);
    if (!parsed.error.empty()) {
        printError(parsed.error);
        return decodeRefused;
    }
    const DecodeOptions& options = parsed.options;
    if (options.help || options.version) {
        (void)writeStandardOutput(options.help ? decodeUsage() : versionText);
        return decodeDone;
    }
    DecodeRun run{options, {}, {}};
    if (!loadCard(options, run.card)) {
        return decodeFailed;
    }
    bool ok = true;
    std::vector<Recording> recordings;
    for (const std::string& input : options.inputs) {
        Recording recording;
        if (!loadRecording(input, recording) || !channelFits(options, recording)) {
            ok = false;
            continue;
        }
        if (options.vote) {
            recordings.push_back(std::move(recording));
        } else {
            ok &= decodeRecording(recording, run);
        }
    }
    if (options.vote && !recordings.empty()) {
        ok &= voteOnRecordings(recordings, run);
    }
    return ok ? decodeDone : decodeFailed;
}

}  // namespace tunestrip
