// The library packer run as the build runs it, on small manifests.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_executable.h"
#include "support/temp_dir.h"

namespace tunestrip {
namespace {

using testing::TempDir;

struct Library {
    TempDir dir;

    Library() { std::filesystem::create_directories(dir.path() / "cards"); }
    void manifest(const std::string& text) const
    {
        testing::writeBytes(dir.file("manifest.txt"), std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    void card(const std::string& name, std::size_t bytes) const
    {
        testing::writeBytes(dir.file("cards/" + name + ".bin"), testing::patternBytes(bytes));
    }
    [[nodiscard]] testing::ProgramRun pack() const
    {
        std::filesystem::create_directories(dir.path() / "out");
        return testing::runExecutable(PACK_LIBRARY_EXECUTABLE,
                                      {dir.file("manifest.txt"), dir.file("cards"), dir.file("out")},
                                      {dir.path().string(), -1, true, {}});
    }
};

TEST(PackLibrary, PacksPayloadsAndNamesInManifestOrder)
{
    Library library;
    library.manifest("# comment\r\n541_set_b\r\n\r\npc-100_a\n");
    library.card("541_set_b", 3);
    library.card("pc-100_a", 2);
    testing::ProgramRun result = library.pack();
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::vector<std::uint8_t> size = testing::readBytes(library.dir.file("out/library_size.h"));
    EXPECT_NE(std::string(size.begin(), size.end()).find("cardCount = 2;"), std::string::npos);
    std::vector<std::uint8_t> data = testing::readBytes(library.dir.file("out/library_data.cpp"));
    std::string source(data.begin(), data.end());
    // 3 payload bytes, the 9 bytes of "541_set_b", 2 payload bytes, "pc-100_a".
    EXPECT_NE(source.find("nameOffsets[2] = {\n    3, 14,\n}"), std::string::npos) << source;
    EXPECT_NE(source.find("payloadOffsets[2] = {\n    0, 12,\n}"), std::string::npos);
}

struct RefusalCase {
    std::string manifest;
    std::vector<std::pair<std::string, std::size_t>> cards;
    std::string message;
};

TEST(PackLibrary, RefusesALibraryThatBreaksTheProgramsPromises)
{
    const std::string longName(256, 'a');
    const std::string cutA = std::string(249, 'a') + "b";
    const std::string cutB = std::string(249, 'a') + "c";
    std::string thousand;
    std::vector<std::pair<std::string, std::size_t>> thousandCards;
    for (int i = 0; i < 1000; ++i) {
        thousand += "pc-" + std::to_string(i) + "\n";
        thousandCards.push_back({"pc-" + std::to_string(i), 1});
    }
    const RefusalCase cases[] = {
        {"pc-a\n", {}, "manifest line 1, card \"pc-a\": payload file CARDS/pc-a.bin is missing"},
        {"pc-a\n", {{"pc-a", 0}}, "manifest line 1, card \"pc-a\": payload file CARDS/pc-a.bin is empty"},
        {"pc-a\n", {{"pc-a", 2049}}, "manifest line 1, card \"pc-a\": payload of 2049 bytes, more than 2048"},
        {"pc.a\n", {}, "manifest line 1, card \"pc.a\": character '.' is not allowed (only a-z, 0-9, '-' and '_')"},
        {"x/a\n", {}, "manifest line 1, card \"x/a\": character '/' is not allowed (only a-z, 0-9, '-' and '_')"},
        {"x\\a\n", {}, "manifest line 1, card \"x\\a\": character '\\' is not allowed (only a-z, 0-9, '-' and '_')"},
        {"Pc\n", {}, "manifest line 1, card \"Pc\": character 'P' is not allowed (only a-z, 0-9, '-' and '_')"},
        {"p c\n", {}, "manifest line 1, card \"p c\": character code 32 is not allowed (only a-z, 0-9, '-' and '_')"},
        {"pc-a\n\npc-a\n", {{"pc-a", 1}}, "manifest line 3, card \"pc-a\": name \"pc-a\" is used twice"},
        // Names that differ only past the 255 bytes a derived name keeps.
        {cutA + "\n" + cutB + "\n", {{cutA, 1}, {cutB, 1}},
         "manifest line 2, card \"" + cutB + "\": derived file name \"tunestrip_17-" + cutA.substr(0, 242) +
             "\" is used twice"},
        {"541_s_t\n542_s_t\n", {{"541_s_t", 1}, {"542_s_t", 1}},
         "manifest line 2, card \"542_s_t\": derived file name without numbers \"tunestrip_s_t\" is used twice"},
        {longName + "\n", {}, "manifest line 1, card \"" + longName + "\": name longer than 255 characters"},
        {thousand, thousandCards, "manifest line 1000, card \"pc-999\": more than 999 cards"},
        {"# nothing\n", {}, "the manifest MANIFEST names no card"},
    };
    for (const RefusalCase& c : cases) {
        Library library;
        library.manifest(c.manifest);
        for (const auto& [name, bytes] : c.cards) {
            library.card(name, bytes);
        }
        testing::ProgramRun result = library.pack();
        std::string expected = c.message;
        for (auto [word, path] : {std::pair{"CARDS", library.dir.file("cards")},
                                  std::pair{"MANIFEST", library.dir.file("manifest.txt")}}) {
            if (std::size_t at = expected.find(word); at != std::string::npos) {
                expected.replace(at, std::string(word).size(), path);
            }
        }
        EXPECT_EQ(result.exitCode, 1) << c.message;
        EXPECT_EQ(result.output, "pack_library: " + expected + "\n");
        EXPECT_TRUE(std::filesystem::is_empty(library.dir.path() / "out")) << "nothing is written";
    }
}

}  // namespace
}  // namespace tunestrip
