#include "decode/report.h"

#include <array>
#include <cstdio>

namespace tunestrip {
namespace {

// The table of the reflected CRC-32 polynomial 0xEDB88320, made by the
// compiler.
constexpr std::array<std::uint32_t, 256> crcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1u) != 0 ? 0xEDB88320u ^ (value >> 1) : value >> 1;
        }
        table[i] = value;
    }
    return table;
}();

std::string number(double value, int decimals)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string hex32(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

std::string jsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

double microseconds(double samples, std::uint32_t rate)
{
    return rate == 0 ? 0 : samples * 1e6 / rate;
}

std::string verificationText(const Verification& check)
{
    if (check.matches) {
        return ", matches the card";
    }
    return ", DIFFERS from the card in " + std::to_string(check.differences) + " byte" +
           (check.differences == 1 ? "" : "s") + ", first at byte " + std::to_string(check.firstDifference);
}

}  // namespace

std::uint32_t crc32(const std::vector<std::uint8_t>& bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t byte : bytes) {
        crc = crcTable[(crc ^ byte) & 0xFFu] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

Verification verifyBytes(const std::vector<std::uint8_t>& decoded, const std::vector<std::uint8_t>& card)
{
    Verification check;
    check.cardBytes = card.size();
    std::size_t shorter = std::min(decoded.size(), card.size());
    bool seen = false;
    for (std::size_t i = 0; i < shorter; ++i) {
        if (decoded[i] != card[i]) {
            check.differences += 1;
            if (!seen) {
                check.firstDifference = i;
                seen = true;
            }
        }
    }
    std::size_t longer = std::max(decoded.size(), card.size());
    check.differences += longer - shorter;
    if (!seen && longer > shorter) {
        check.firstDifference = shorter;
    }
    check.matches = check.differences == 0;
    return check;
}

std::string reportText(const SwipeReport& r)
{
    std::string text = r.file + ": ";
    if (r.takes > 0) {
        text += std::to_string(r.takes) + " takes combined: ";
    } else {
        text += "swipe " + std::to_string(r.swipe) + " of " + std::to_string(r.swipes) + " (channel " +
                std::to_string(r.channel) + (r.backwards ? ", backwards" : "") + (r.pulses ? ", head pulses" : "") +
                ", " + std::to_string(r.cells) + " cells of " + number(microseconds(r.cellAtStart, r.sampleRate), 1) +
                " us, margin " + number(r.margin, 2) + "): ";
    }
    text += std::to_string(r.bytes) + " bytes";
    if (r.trailRemoved > 0) {
        text += " (" + std::to_string(r.trailRemoved) + " trailing zero bytes removed)";
    }
    text += r.complete ? ", complete" : ", INCOMPLETE";
    if (!r.doubtfulBytes.empty()) {
        text += ", " + std::to_string(r.doubtfulBytes.size()) + " bytes in doubt (first at byte " +
                std::to_string(r.doubtfulBytes.front()) + ")";
    }
    if (r.verification) {
        text += verificationText(*r.verification);
    }
    if (!r.output.empty()) {
        text += ", written to " + r.output;
    }
    return text + "\n";
}

std::string reportJson(const SwipeReport& r)
{
    std::string json = "{\"file\":" + jsonString(r.file);
    json += ",\"swipe\":" + std::to_string(r.swipe) + ",\"swipes\":" + std::to_string(r.swipes);
    json += ",\"rate\":" + std::to_string(r.sampleRate) + ",\"channel\":" + std::to_string(r.channel);
    json += std::string(",\"direction\":") + (r.backwards ? "\"backwards\"" : "\"forwards\"");
    json += std::string(",\"signal\":") + (r.pulses ? "\"pulses\"" : "\"square\"");
    json += ",\"cells\":" + std::to_string(r.cells);
    json += ",\"cell_samples_start\":" + number(r.cellAtStart, 3);
    json += ",\"cell_samples_min\":" + number(r.cellShortest, 3) + ",\"cell_samples_max\":" + number(r.cellLongest, 3);
    json += ",\"cell_us_start\":" + number(microseconds(r.cellAtStart, r.sampleRate), 3);
    json += ",\"margin\":" + number(r.margin, 3);
    json += ",\"bytes\":" + std::to_string(r.bytes) + ",\"trailing_zeros_removed\":" + std::to_string(r.trailRemoved);
    json += ",\"crc32\":\"" + hex32(r.checksum) + "\"";
    json += std::string(",\"verdict\":") + (r.complete ? "\"complete\"" : "\"incomplete\"");
    json += ",\"output\":" + (r.output.empty() ? std::string("null") : jsonString(r.output));
    if (r.takes > 0) {
        json += ",\"takes\":" + std::to_string(r.takes) + ",\"doubtful_bytes\":[";
        for (std::size_t i = 0; i < r.doubtfulBytes.size(); ++i) {
            if (i > 0) {
                json += ',';
            }
            json += std::to_string(r.doubtfulBytes[i]);
        }
        json += "]";
    }
    if (r.verification) {
        json += std::string(",\"verify\":{\"matches\":") + (r.verification->matches ? "true" : "false") +
                ",\"differences\":" + std::to_string(r.verification->differences) +
                ",\"first_difference\":" +
                (r.verification->matches ? std::string("null") : std::to_string(r.verification->firstDifference)) +
                ",\"card_bytes\":" + std::to_string(r.verification->cardBytes) + "}";
    }
    return json + "}\n";
}

}  // namespace tunestrip
