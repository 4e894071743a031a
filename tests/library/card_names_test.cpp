#include "library/card_names.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "library/derived_name.h"

namespace tunestrip {
namespace {

struct DerivedCase {
    std::string name;
    std::string derived;
    std::string withoutNumbers;
};

TEST(DeriveCardFileName, EachKindOfNameGetsItsPrefix)
{
    const DerivedCase cases[] = {
        {"557_christmas-1_jingle_bells", "tunestrip_17-557_christmas-1_jingle_bells",
         "tunestrip_christmas-1_jingle_bells"},
        {"674_step-by-step-1_lesson1a", "tunestrip_17-674_step-by-step-1_lesson1a",
         "tunestrip_step-by-step-1_lesson1a"},
        {"-267_german-1_alle_vogel_sind_schon_da", "tunestrip_no-267_german-1_alle_vogel_sind_schon_da",
         "tunestrip_german-1_alle_vogel_sind_schon_da"},
        {"pc-100_9to5", "tunestrip_pc-100_9to5", "tunestrip_pc-100_9to5"},
        {"pcs-30_memory", "tunestrip_pcs-30_memory", "tunestrip_pcs-30_memory"},
        // The second test sees the first one's result: a set name that began
        // with "-" loses four characters and then five more.
        {"541_-odd_set_title", "tunestrip_17-541_-odd_set_title", "tunestrip_set_title"},
        {std::string(250, 'p') + "c", "tunestrip_17-" + std::string(242, 'p'), "tunestrip_" + std::string(245, 'p')},
    };
    for (const DerivedCase& c : cases) {
        EXPECT_EQ(deriveCardFileName(c.name, false).view(), c.derived);
        EXPECT_EQ(deriveCardFileName(c.name, true).view(), c.withoutNumbers);
    }
}

TEST(BuildCardFileNames, TheLibrarysNamesStayDistinctInBothModes)
{
    auto names = std::make_unique<CardFileNames>();
    for (bool noNumbers : {false, true}) {
        buildCardFileNames(noNumbers, *names);
        std::set<std::string_view> distinct;
        std::size_t longest = 0;
        for (const Text& name : names->names) {
            distinct.insert(name.view());
            longest = std::max(longest, name.size());
            EXPECT_EQ(name.view().find('.'), std::string_view::npos);
        }
        EXPECT_EQ(distinct.size(), cardCount);
        EXPECT_EQ(longest, noNumbers ? 68u : 75u);
        EXPECT_EQ(names->names[78].view(), noNumbers ? "tunestrip_christmas-1_jingle_bells"
                                                     : "tunestrip_17-557_christmas-1_jingle_bells");
    }
}

TEST(ZeroPadDecimal, KeepsTheLastDigitsWithLeadingZeros)
{
    const std::tuple<std::uint32_t, std::uint64_t, std::string> cases[] = {
        {3, 1, "001"}, {3, 267, "267"}, {3, 1234, "234"}, {0, 5, ""}, {1, 0, "0"},
        {20, UINT64_MAX, "18446744073709551615"}, {22, 42, "0000000000000000000042"},
        {1000, 7, std::string(254, '0') + "7"},
    };
    for (const auto& [digits, value, text] : cases) {
        EXPECT_EQ(zeroPadDecimal(digits, value).view(), text) << digits << " " << value;
    }
}

}  // namespace
}  // namespace tunestrip
