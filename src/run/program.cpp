#include "run/program.h"

#include "library/library_modes.h"
#include "platform/platform.h"
#include "run/command_line.h"

namespace tunestrip {
namespace {

bool hasLibraryMode(const RunSettings& settings)
{
    return settings.gimmeList || settings.gimmeBins || settings.gimmeWavs;
}

Text wavNameFor(const Text& jobName)
{
    Text wavName = stripExtension(jobName);
    wavName.append(".wav");
    return wavName;
}

// The work after the command line, in its fixed order.
int runWork(const RunSettings& settings, Console& console)
{
    WorkBuffersPointer buffers = allocateWorkBuffers();
    if (!buffers) {
        printLine(console, {"/!\\ERROR: not enough memory."});
        return exitFailed;
    }
    bool failed = false;
    if (hasLibraryMode(settings)) {
        failed = !runLibraryModes(settings, buffers->cardFileNames, console);
    }
    if (!settings.sourceName.empty()) {
        ConversionJob job{settings.sourceName, true, {}};
        JobOutcome outcome = runJob(job, settings, *buffers, console);
        if (outcome == JobOutcome::stopRun) {
            return exitFailed;
        }
        failed |= outcome == JobOutcome::failed;
    }
    if (settings.gimmeWavs) {
        failed |= !bulkRender(settings, buffers->cardFileNames, *buffers, console);
    }
    return failed ? exitFailed : exitDone;
}

}  // namespace

int runProgram(std::span<const std::string_view> arguments, Console& console)
{
    printBanner(console);
    if (arguments.empty()) {
        printUsage(console);
        return exitDone;
    }
    ParsedCommandLine parsed = parseCommandLine(arguments, console);
    if (parsed.refused) {
        return exitRefused;
    }
    if (!hasLibraryMode(parsed.settings) && parsed.settings.sourceName.empty()) {
        printLine(console, {"/!\\ No source bin file."});
        return exitRefused;
    }
    return runWork(parsed.settings, console);
}

void printBanner(Console& console)
{
    printLine(console, {"Brand-Y Tunestrip BIN to WAVe encoder (and more) v1.15."});
    printLine(console, {"Written by the tunestrip developers, free software."});
    printLine(console, {""});
    printLine(console, {""});
    printLine(console, {""});
    printLine(console, {""});
}

JobOutcome runJob(const ConversionJob& job, const RunSettings& settings, WorkBuffers& buffers, Console& console)
{
    std::uint32_t imageLength = buildStripImage(job, settings, buffers.image, console);
    if (imageLength == 0) {
        return JobOutcome::stopRun;
    }
    Text wavName = wavNameFor(job.jobName);
    // Writing the WAV would destroy the card it was made from.
    if (job.fromFile && sameFile(job.jobName.view(), wavName.view())) {
        printLine(console, {"/!\\ERROR: ", wavName.view(), " would replace the source bin; nothing written."});
        return JobOutcome::failed;
    }
    std::uint32_t bitCount = serializeBits(buffers.image, imageLength, buffers.stream);
    std::uint32_t total = synthesizeStrip(buffers.stream, bitCount, settings, buffers.samples);
    bool saved = saveWav(wavName, settings, buffers.samples, total, buffers.file, console);
    return saved ? JobOutcome::written : JobOutcome::failed;
}

Text stripExtension(const Text& name)
{
    return Text{name.view().substr(0, stemLength(name.view()))};
}

std::size_t stemLength(std::string_view name)
{
    for (std::size_t position = name.size(); position > 0; --position) {
        char c = name[position - 1];
        if (c == '/' || c == '\\') {
            break;
        }
        if (c == '.') {
            return position - 1;
        }
    }
    return name.size();
}

}  // namespace tunestrip
