#include "decode/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tunestrip {
namespace {

TEST(Crc32, MatchesTheStandardCheckValue)
{
    std::string text = "123456789";
    EXPECT_EQ(crc32({text.begin(), text.end()}), 0xCBF43926u);
    EXPECT_EQ(crc32({}), 0u);
}

TEST(VerifyBytes, CountsDifferencesAndWhereTheyStart)
{
    using Bytes = std::vector<std::uint8_t>;
    struct Case {
        Bytes decoded;
        Bytes card;
        bool matches;
        std::size_t differences;
        std::size_t first;
    };
    const Case cases[] = {
        {{1, 2, 3}, {1, 2, 3}, true, 0, 0},
        {{1, 9, 3, 9}, {1, 2, 3, 4}, false, 2, 1},
        {{1, 2}, {1, 2, 3, 4}, false, 2, 2},
        {{1, 2, 3}, {}, false, 3, 0},
    };
    for (const Case& c : cases) {
        Verification check = verifyBytes(c.decoded, c.card);
        EXPECT_EQ(check.matches, c.matches);
        EXPECT_EQ(check.differences, c.differences);
        EXPECT_EQ(check.firstDifference, c.first);
    }
}

TEST(Report, TextAndJsonSayTheSame)
{
    SwipeReport r;
    r.file = "rec \"1\".wav";
    r.swipe = 1;
    r.swipes = 2;
    r.sampleRate = 48000;
    r.channel = 1;
    r.cells = 3592;
    r.cellAtStart = 4;
    r.cellShortest = 3.9;
    r.cellLongest = 4.1;
    r.margin = 0.95;
    r.bytes = 433;
    r.trailRemoved = 16;
    r.checksum = 0xEB7CC1E4;
    r.complete = true;
    r.output = "rec-1.bin";
    EXPECT_EQ(reportText(r), "rec \"1\".wav: swipe 1 of 2 (channel 1, 3592 cells of 83.3 us, margin 0.95): 433 bytes "
                             "(16 trailing zero bytes removed), complete, written to rec-1.bin\n");
    EXPECT_EQ(reportJson(r),
              "{\"file\":\"rec \\\"1\\\".wav\",\"swipe\":1,\"swipes\":2,\"rate\":48000,\"channel\":1,"
              "\"direction\":\"forwards\",\"signal\":\"square\",\"cells\":3592,\"cell_samples_start\":4.000,"
              "\"cell_samples_min\":3.900,\"cell_samples_max\":4.100,\"cell_us_start\":83.333,\"margin\":0.950,"
              "\"bytes\":433,\"trailing_zeros_removed\":16,\"crc32\":\"eb7cc1e4\",\"verdict\":\"complete\","
              "\"output\":\"rec-1.bin\"}\n");
    r.verification = Verification{false, 2, 7, 433};
    r.complete = false;
    EXPECT_NE(reportText(r).find(", INCOMPLETE, DIFFERS from the card in 2 bytes, first at byte 7"), std::string::npos);
    EXPECT_NE(reportJson(r).find("\"verify\":{\"matches\":false,\"differences\":2,\"first_difference\":7,"
                                 "\"card_bytes\":433}"),
              std::string::npos);
}

}  // namespace
}  // namespace tunestrip
