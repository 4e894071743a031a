#include "library/card_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace tunestrip {
namespace {

struct TellingRow {
    std::uint32_t index;
    std::string name;  // empty where only the length is fixed
    std::uint32_t payloadOffset;
    std::uint32_t payloadLength;
    std::uint32_t nameOffset;
    std::uint32_t nameLength;
};

TEST(CardLibrary, TheTellingRowsHold)
{
    const TellingRow rows[] = {
        {0, "", 0, 355, 355, 37},
        {1, "", 392, 393, 785, 20},
        {78, "557_christmas-1_jingle_bells", 31023, 413, 31436, 28},
        {186, "674_step-by-step-1_lesson1a", 76191, 84, 76275, 27},
        {198, "-267_german-1_alle_vogel_sind_schon_da", 77868, 271, 78139, 38},
        {210, "pc-100_9to5", 81850, 377, 82227, 11},
        {231, "pc-1000-japan_1-09_side-a", 89813, 190, 90003, 25},
        {261, "pcs-30_memory", 101188, 433, 101621, 13},
        {266, "pcs-30_when_the_saints", 103188, 418, 103606, 22},
    };
    for (const TellingRow& row : rows) {
        SCOPED_TRACE(row.index);
        EXPECT_EQ(cardLibrary.payloadOffsets[row.index], row.payloadOffset);
        EXPECT_EQ(cardLibrary.payloadLengths[row.index], row.payloadLength);
        EXPECT_EQ(cardLibrary.nameOffsets[row.index], row.nameOffset);
        EXPECT_EQ(cardLibrary.nameLengths[row.index], row.nameLength);
        if (!row.name.empty()) {
            EXPECT_EQ(cardEntry(row.index).name, row.name);
        }
    }
    EXPECT_TRUE(cardEntry(0).name.starts_with("541_"));
    EXPECT_TRUE(cardEntry(1).name.starts_with("541_"));
}

TEST(CardLibrary, TheBlockIsPayloadsAndNamesWithoutGaps)
{
    ASSERT_EQ(cardCount, 267u);
    ASSERT_EQ(cardLibrary.blob.size(), 103628u);
    std::uint32_t offset = 0;
    std::uint32_t payloadBytes = 0;
    std::uint32_t nameBytes = 0;
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        ASSERT_EQ(cardLibrary.payloadOffsets[i], offset) << i;
        offset += cardLibrary.payloadLengths[i];
        ASSERT_EQ(cardLibrary.nameOffsets[i], offset) << i;
        offset += cardLibrary.nameLengths[i];
        payloadBytes += cardLibrary.payloadLengths[i];
        nameBytes += cardLibrary.nameLengths[i];
        CardEntry entry = cardEntry(i);
        EXPECT_EQ(entry.payload.data(), cardLibrary.blob.data() + cardLibrary.payloadOffsets[i]);
        EXPECT_EQ(entry.name.size(), cardLibrary.nameLengths[i]);
    }
    EXPECT_EQ(offset, 103628u);
    EXPECT_EQ(payloadBytes, 95267u);
    EXPECT_EQ(nameBytes, 8361u);
}

TEST(CardLibrary, PayloadLengthsStayWithinTheStatedRange)
{
    std::vector<std::uint32_t> shortest;
    std::uint32_t longest = 0;
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        std::uint32_t length = cardLibrary.payloadLengths[i];
        EXPECT_GE(length, 84u);
        EXPECT_LE(length, 433u);
        if (length == 84) {
            shortest.push_back(i);
        }
        longest += length == 433;
    }
    EXPECT_EQ(longest, 10u);
    ASSERT_EQ(shortest.size(), 2u);
    for (std::uint32_t i : shortest) {
        EXPECT_TRUE(cardEntry(i).name.starts_with("674_step-by-step-1_")) << i;
    }
}

TEST(CardLibrary, NamesAreDistinctFileNamesOfTheStatedLengths)
{
    std::set<std::string_view> names;
    std::size_t longest = 0;
    const std::regex allowed("[a-z0-9_-]+");
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        std::string_view name = cardEntry(i).name;
        EXPECT_TRUE(std::regex_match(std::string(name), allowed)) << name;
        EXPECT_TRUE(name.size() > 11 || i == 210) << name;
        longest = std::max(longest, name.size());
        names.insert(name);
    }
    EXPECT_EQ(longest, 62u);
    EXPECT_EQ(names.size(), cardCount);
}

// The title of a name, and the group it belongs to (set number and set
// name, or model).
std::pair<std::string, std::string> splitName(std::string_view name, std::size_t groupParts)
{
    std::size_t cut = 0;
    for (std::size_t part = 0; part < groupParts; ++part) {
        cut = name.find('_', cut) + 1;
    }
    return {std::string(name.substr(0, cut)), std::string(name.substr(cut))};
}

struct GroupRun {
    std::uint32_t first;
    std::uint32_t count;
    std::size_t groupParts;  // underscores before the title
};

TEST(CardLibrary, KindsSetsAndTitlesStandInLibraryOrder)
{
    const std::regex setNumbered("[0-9]{3}_[a-z0-9-]+_[a-z0-9_]+");
    const std::regex dashNumbered("-[0-9]{3}_german-[12]_[a-z0-9_]+");
    std::vector<GroupRun> groups;
    for (std::uint32_t set = 0; set < 31; ++set) {
        groups.push_back({6 * set, 6, 2});
    }
    groups.push_back({186, 12, 2});
    groups.insert(groups.end(), {{210, 12, 1}, {222, 33, 1}, {255, 12, 1}});
    int lastSetNumber = 540;
    for (const GroupRun& run : groups) {
        std::string group = splitName(cardEntry(run.first).name, run.groupParts).first;
        std::string previous;
        for (std::uint32_t i = run.first; i < run.first + run.count; ++i) {
            auto [own, title] = splitName(cardEntry(i).name, run.groupParts);
            EXPECT_EQ(own, group) << i;
            EXPECT_LT(previous, title) << i;
            previous = title;
        }
        if (run.groupParts == 2) {
            EXPECT_TRUE(std::regex_match(group + "x", setNumbered)) << group;
            int number = std::stoi(group.substr(0, 3));
            EXPECT_GT(number, lastSetNumber);
            lastSetNumber = number;
        }
    }
    EXPECT_EQ(lastSetNumber, 674);
    for (std::uint32_t i = 198; i < 210; ++i) {
        std::string name(cardEntry(i).name);
        EXPECT_TRUE(std::regex_match(name, dashNumbered)) << name;
        EXPECT_EQ(std::stoi(name.substr(1, 3)), static_cast<int>(267 + i - 198));
        EXPECT_EQ(name.substr(5, 8), i < 204 ? "german-1" : "german-2");
    }
    EXPECT_EQ(splitName(cardEntry(210).name, 1).first, "pc-100_");
    EXPECT_EQ(splitName(cardEntry(222).name, 1).first, "pc-1000-japan_");
    EXPECT_EQ(splitName(cardEntry(255).name, 1).first, "pcs-30_");
    for (const char* split : {"1-09", "2-01", "2-08"}) {
        std::string base = std::string("pc-1000-japan_") + split;
        std::size_t sides = 0;
        for (std::uint32_t i = 222; i < 255; ++i) {
            sides += cardEntry(i).name == base + "_side-a" || cardEntry(i).name == base + "_side-b";
        }
        EXPECT_EQ(sides, 2u) << split;
    }
}

TEST(CardLibrary, PayloadsHoldEveryByteValue)
{
    std::set<std::uint8_t> seen;
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        for (std::uint8_t byte : cardEntry(i).payload) {
            seen.insert(byte);
        }
    }
    EXPECT_EQ(seen.size(), 256u);
}

}  // namespace
}  // namespace tunestrip
