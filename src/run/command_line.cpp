#include "run/command_line.h"

#include <charconv>

#include "library/card_library.h"

namespace tunestrip {
namespace {

struct OptionWord {
    std::string_view word;  // the option without its "-", compared exactly
    void (*apply)(RunSettings&);
};

// In the order in which they are tested; all fifteen differ, so at most one
// matches. No option restores a default: the last of several that set the
// same field wins.
constexpr OptionWord optionWords[] = {
    {"44k", [](RunSettings& s) { s.sampleRate = 44100; }},
    {"32k", [](RunSettings& s) { s.sampleRate = 32000; }},
    {"96k", [](RunSettings& s) { s.sampleRate = 96000; }},
    {"192k", [](RunSettings& s) { s.sampleRate = 192000; }},
    {"8bit", [](RunSettings& s) { s.bytesPerSample = 1; }},
    {"slower", [](RunSettings& s) { s.cellSamples = 8; }},
    {"slowest", [](RunSettings& s) { s.cellSamples = 12; }},
    {"longerpilot", [](RunSettings& s) { s.longerPilot = true; }},
    {"noemptytrail", [](RunSettings& s) { s.noEmptyTrail = true; }},
    {"iosilence", [](RunSettings& s) { s.ioSilence = true; }},
    {"gimmebins", [](RunSettings& s) { s.gimmeBins = true; }},
    {"gimmewavs", [](RunSettings& s) { s.gimmeWavs = true; }},
    {"gimmelist", [](RunSettings& s) { s.gimmeList = true; }},
    {"nonumbers", [](RunSettings& s) { s.noNumbers = true; }},
    {"dualch", [](RunSettings& s) { s.channels = 2; }},
};

// Returns false for an option text that names no option.
bool applyOption(std::string_view optionText, RunSettings& settings)
{
    for (const OptionWord& option : optionWords) {
        if (option.word == optionText) {
            option.apply(settings);
            return true;
        }
    }
    return false;
}

// The rates above 48000 Hz keep the swipe speed of 48000 Hz (96000) or
// double it (192000): in both cases a cell takes twice the samples.
void doubleCellsForHighRates(RunSettings& settings)
{
    if (settings.sampleRate == 96000 || settings.sampleRate == 192000) {
        settings.cellSamples *= 2;
    }
}

constexpr std::string_view usageHead[] = {
    "use: this.exe [<source.bin>] [-options]",
    "",
    "  -44k -32k = use 44.1kHz or 32k samplerate instead of 48kHz",
    "  -slower -slowest = generates audio with slower card swiping",
    "  -longerpilot = generate longer pilot (strip leader part) in wav",
    "  -noemptytrail = generate shorter wav files for cards with less data",
    "  -iosilence = add 0.2s silence before and 0.5s after magnetic strip",
    "  -8bit = for smaller wavs if your player supports it (default is 16bit)",
    "  -gimmelist",
    "  -gimmebins",
    "  -gimmewavs",
    "  -nonumbers",
    "",
    "Output wav name will be the same (besides extension) as source bin.",
    "In case a wav file with a matching name already exists, it will be overwritten.",
    "",
    "If you have any card(s) that does not appear in the list, let me know.",
    "I may already have them, and in cue to get included in the next release.",
    "However if it is something I am missing - you could then digitize them",
};

constexpr std::string_view usageTail[] = {
    "into source binaries and include in an upcoming version.",
    "",
    "Look for newest version of this tool on my website: https://tunestrip.example.org/",
    "",
};

}  // namespace

ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments, Console& console)
{
    ParsedCommandLine parsed;
    for (std::string_view given : arguments) {
        Text argument{given};
        if (!argument.empty() && argument.view().front() == '-') {
            Text optionText = trimSpaces(Text{argument.view().substr(1)});
            if (!applyOption(optionText.view(), parsed.settings)) {
                printLine(console, {"/!\\ Unknown command line option \"", argument.view(), "\"."});
                parsed.refused = true;
                return parsed;
            }
        } else if (!parsed.settings.sourceName.empty()) {
            printLine(console, {"/!\\ Too many source files."});
            parsed.refused = true;
            return parsed;
        } else {
            parsed.settings.sourceName = argument;
        }
    }
    doubleCellsForHighRates(parsed.settings);
    return parsed;
}

void printUsage(Console& console)
{
    for (std::string_view line : usageHead) {
        printLine(console, {line});
    }
    char digits[8];
    auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), cardCount);
    (void)error;  // three digits always fit
    printLine(console, {"as audio (like these ", std::string_view(digits, static_cast<std::size_t>(end - digits)),
                        " cards were) and I will be able to process those back"});
    for (std::string_view line : usageTail) {
        printLine(console, {line});
    }
}

Text trimSpaces(const Text& text)
{
    std::string_view rest = text.view();
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    while (!rest.empty() && rest.back() == ' ') {
        rest.remove_suffix(1);
    }
    return Text{rest};
}

}  // namespace tunestrip
