// Packs the card library for the build: reads the manifest and one payload
// file per card, checks that the library keeps the program's promises, and
// writes the constant block and its four tables as C++ source.
//
//   pack_library MANIFEST CARD_DIRECTORY OUTPUT_DIRECTORY
//
// Writes OUTPUT_DIRECTORY/library_size.h and library_data.cpp. On a refusal
// it prints one line naming the card and the fault, writes nothing, and
// exits with 1.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "library/derived_name.h"

namespace {

// A card's payload must fit a strip image built for the longest source.
constexpr std::size_t longestPayload = 2048;
// List numbers have three digits.
constexpr std::size_t mostCards = 999;

struct Card {
    std::string name;
    std::vector<std::uint8_t> payload;
};

struct Refusal {
    std::string text;
};

std::string describeName(std::size_t line, const std::string& name)
{
    return "manifest line " + std::to_string(line) + ", card \"" + name + "\"";
}

void checkName(std::size_t line, const std::string& name)
{
    if (name.size() > tunestrip::textCapacity) {
        throw Refusal{describeName(line, name) + ": name longer than 255 characters"};
    }
    for (char c : name) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
        if (!allowed) {
            std::ostringstream text;
            text << describeName(line, name) << ": character ";
            if (c == '.' || c == '/' || c == '\\' || (c > ' ' && c < 127)) {
                text << "'" << c << "'";
            } else {
                text << "code " << static_cast<int>(static_cast<unsigned char>(c));
            }
            text << " is not allowed (only a-z, 0-9, '-' and '_')";
            throw Refusal{text.str()};
        }
    }
}

std::vector<std::uint8_t> readPayload(const std::filesystem::path& file, const std::string& where)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw Refusal{where + ": payload file " + file.string() + " is missing"};
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) {
        throw Refusal{where + ": payload file " + file.string() + " is empty"};
    }
    if (bytes.size() > longestPayload) {
        throw Refusal{where + ": payload of " + std::to_string(bytes.size()) + " bytes, more than 2048"};
    }
    return bytes;
}

void checkDistinct(std::vector<std::set<std::string>>& seen, std::size_t line, const std::string& name)
{
    const std::string forms[] = {name, std::string(tunestrip::deriveCardFileName(name, false).view()),
                                 std::string(tunestrip::deriveCardFileName(name, true).view())};
    const char* what[] = {"name", "derived file name", "derived file name without numbers"};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!seen[i].insert(forms[i]).second) {
            throw Refusal{describeName(line, name) + ": " + what[i] + " \"" + forms[i] + "\" is used twice"};
        }
    }
}

std::vector<Card> readLibrary(const std::filesystem::path& manifest, const std::filesystem::path& cards)
{
    std::ifstream in(manifest);
    if (!in) {
        throw Refusal{"cannot read the manifest " + manifest.string()};
    }
    std::vector<Card> library;
    std::vector<std::set<std::string>> seen(3);
    std::string name;
    for (std::size_t line = 1; std::getline(in, name); ++line) {
        if (!name.empty() && name.back() == '\r') {
            name.pop_back();  // a manifest saved with CR LF line ends
        }
        if (name.empty() || name.front() == '#') {
            continue;
        }
        checkName(line, name);
        checkDistinct(seen, line, name);
        if (library.size() == mostCards) {
            throw Refusal{describeName(line, name) + ": more than 999 cards"};
        }
        library.push_back({name, readPayload(cards / (name + ".bin"), describeName(line, name))});
    }
    if (library.empty()) {
        throw Refusal{"the manifest " + manifest.string() + " names no card"};
    }
    return library;
}

template <typename Number>
void writeArray(std::ostream& out, const char* type, const char* name, const std::vector<Number>& values)
{
    out << "constexpr " << type << " " << name << "[" << values.size() << "] = {";
    for (std::size_t i = 0; i < values.size(); ++i) {
        out << (i % 16 == 0 ? "\n    " : " ") << static_cast<unsigned long>(values[i]) << ",";
    }
    out << "\n};\n\n";
}

std::string librarySource(const std::vector<Card>& library)
{
    std::vector<std::uint8_t> blob;
    std::vector<std::uint32_t> nameOffsets, payloadOffsets, payloadLengths;
    std::vector<std::uint8_t> nameLengths;
    for (const Card& card : library) {
        payloadOffsets.push_back(static_cast<std::uint32_t>(blob.size()));
        payloadLengths.push_back(static_cast<std::uint32_t>(card.payload.size()));
        blob.insert(blob.end(), card.payload.begin(), card.payload.end());
        nameOffsets.push_back(static_cast<std::uint32_t>(blob.size()));
        nameLengths.push_back(static_cast<std::uint8_t>(card.name.size()));
        blob.insert(blob.end(), card.name.begin(), card.name.end());
    }
    std::ostringstream out;
    out << "// Made by tools/pack_library from data/; edit the cards there.\n"
           "#include \"library/card_library.h\"\n\nnamespace tunestrip {\nnamespace {\n\n";
    writeArray(out, "std::uint8_t", "blob", blob);
    writeArray(out, "std::uint32_t", "nameOffsets", nameOffsets);
    writeArray(out, "std::uint8_t", "nameLengths", nameLengths);
    writeArray(out, "std::uint32_t", "payloadOffsets", payloadOffsets);
    writeArray(out, "std::uint32_t", "payloadLengths", payloadLengths);
    out << "}  // namespace\n\n"
           "const CardLibrary cardLibrary{blob, nameOffsets, nameLengths, payloadOffsets, payloadLengths};\n\n"
           "}  // namespace tunestrip\n";
    return out.str();
}

std::string sizeHeader(const std::vector<Card>& library)
{
    return "// Made by tools/pack_library from data/manifest.txt.\n#pragma once\n\n#include <cstdint>\n\n"
           "namespace tunestrip {\n\ninline constexpr std::uint32_t cardCount = " +
           std::to_string(library.size()) + ";\n\n}  // namespace tunestrip\n";
}

// Replaces the file only when its text changes, so that an unchanged
// library does not rebuild what includes it.
void writeIfChanged(const std::filesystem::path& file, const std::string& text)
{
    std::ifstream old(file, std::ios::binary);
    std::string current{std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>()};
    if (old && current == text) {
        return;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
        throw Refusal{"cannot write " + file.string()};
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: pack_library MANIFEST CARD_DIRECTORY OUTPUT_DIRECTORY\n";
        return 2;
    }
    try {
        std::vector<Card> library = readLibrary(argv[1], argv[2]);
        std::filesystem::path output = argv[3];
        writeIfChanged(output / "library_size.h", sizeHeader(library));
        writeIfChanged(output / "library_data.cpp", librarySource(library));
    } catch (const Refusal& refusal) {
        std::cerr << "pack_library: " << refusal.text << "\n";
        return 1;
    }
    return 0;
}
