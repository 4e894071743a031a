#include "decode/decode_command_line.h"

#include <charconv>

namespace tunestrip {
namespace {

// Takes the value of an option given as "--name=value" or "--name value".
bool takeValue(std::string_view argument, std::string_view name, std::span<const std::string_view> arguments,
               std::size_t& index, std::string& value, std::string& error)
{
    if (argument.size() > name.size() && argument.substr(0, name.size()) == name && argument[name.size()] == '=') {
        value = argument.substr(name.size() + 1);
        return true;
    }
    if (argument != name) {
        return false;
    }
    if (index + 1 >= arguments.size()) {
        error = std::string(name) + " needs a value";
        return true;
    }
    value = arguments[++index];
    return true;
}

bool isFlag(std::string_view argument, std::string_view longName, std::string_view shortName = {})
{
    return argument == longName || (!shortName.empty() && argument == shortName);
}

std::string checkOptions(DecodeOptions& options, const std::string& channelText, const std::string& directionText)
{
    if (directionText == "forwards") {
        options.direction = Direction::forwards;
    } else if (directionText == "backwards") {
        options.direction = Direction::backwards;
    } else if (!directionText.empty() && directionText != "auto") {
        return "--direction takes forwards, backwards or auto, not \"" + directionText + "\"";
    }
    if (!channelText.empty()) {
        std::uint32_t channel = 0;
        auto [end, fault] = std::from_chars(channelText.data(), channelText.data() + channelText.size(), channel);
        if (fault != std::errc{} || end != channelText.data() + channelText.size() || channel == 0) {
            return "--channel takes a channel number from 1 on, not \"" + channelText + "\"";
        }
        options.channel = channel;
    }
    if (options.help || options.version) {
        return {};
    }
    if (options.inputs.empty()) {
        return "no recording named (try --help)";
    }
    if (options.inputs.size() > 1 && !options.vote && !options.output.empty()) {
        return "--output names one file, but several recordings are named (vote on them with --vote)";
    }
    for (const std::string& input : options.inputs) {
        if (input == "-" && options.output.empty()) {
            return "a recording on standard input needs --output";
        }
    }
    return {};
}

}  // namespace

ParsedDecodeCommandLine parseDecodeCommandLine(std::span<const std::string_view> arguments)
{
    ParsedDecodeCommandLine parsed;
    DecodeOptions& options = parsed.options;
    std::string channelText;
    std::string directionText;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        std::string_view argument = arguments[i];
        if (optionsEnded || argument == "-" || argument.empty() || argument.front() != '-') {
            options.inputs.emplace_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (isFlag(argument, "--help", "-h")) {
            options.help = true;
        } else if (isFlag(argument, "--version")) {
            options.version = true;
        } else if (isFlag(argument, "--keep-trail")) {
            options.keepTrail = true;
        } else if (isFlag(argument, "--force")) {
            options.force = true;
        } else if (isFlag(argument, "--json")) {
            options.json = true;
        } else if (isFlag(argument, "--vote")) {
            options.vote = true;
        } else if (takeValue(argument, "--output", arguments, i, options.output, parsed.error) ||
                   takeValue(argument, "-o", arguments, i, options.output, parsed.error) ||
                   takeValue(argument, "--verify", arguments, i, options.verify, parsed.error) ||
                   takeValue(argument, "--channel", arguments, i, channelText, parsed.error) ||
                   takeValue(argument, "--direction", arguments, i, directionText, parsed.error)) {
            continue;
        } else {
            parsed.error = "unknown option \"" + std::string(argument) + "\" (try --help)";
        }
    }
    if (parsed.error.empty()) {
        parsed.error = checkOptions(options, channelText, directionText);
    }
    return parsed;
}

std::string_view decodeUsage()
{
    return "usage: tunestrip-decode [options] RECORDING.wav...\n"
           "\n"
           "Reads the swipes of a music card in a recording and writes each one's\n"
           "bytes (the data after the sync byte) as a .bin file: card.wav gives\n"
           "card.bin, several swipes give card-1.bin, card-2.bin, ...\n"
           "\n"
           "  -o, --output FILE   write to FILE instead (FILE-1, FILE-2, ... for several swipes)\n"
           "      --keep-trail    keep the trailing zero bytes (the strip's empty trail)\n"
           "      --force         replace a card file that exists and holds other bytes\n"
           "      --channel N     read channel N (from 1) instead of finding the strip's channel\n"
           "      --direction D   forwards, backwards or auto (the default: found from the strip)\n"
           "      --verify CARD   compare the bytes with the card file CARD and say where they differ\n"
           "      --vote          the recordings are takes of one card: combine them cell by cell\n"
           "      --json          one JSON report per swipe on standard output\n"
           "  -h, --help          show this text\n"
           "      --version       show the version\n"
           "\n"
           "A recording named - is read from standard input (it needs --output).\n"
           "Exit status: 0 decoded, 1 no card found, a damaged swipe, a failed\n"
           "verification or a file that could not be read or written, 2 a refused\n"
           "command line.\n";
}

}  // namespace tunestrip
