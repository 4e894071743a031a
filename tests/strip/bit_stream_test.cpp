#include "strip/bit_stream.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tunestrip {
namespace {

TEST(SerializeBits, WritesEachByteMostSignificantBitFirstAndOneZeroByteAfter)
{
    auto image = std::make_unique<StripImage>();
    auto stream = std::make_unique<BitStream>();
    const std::uint8_t bytes[] = {0x01, 0x80, 0xA5, 0xFF};
    std::copy(std::begin(bytes), std::end(bytes), image->bytes.begin());
    image->bytes[4] = 0xFF;  // beyond the image: must not reach the stream
    stream->cells.fill(7);

    ASSERT_EQ(serializeBits(*image, 4, *stream), 40u);
    const std::vector<std::uint8_t> expected = {
        0, 0, 0, 0, 0, 0, 0, 1,  1, 0, 0, 0, 0, 0, 0, 0,  1, 0, 1, 0, 0, 1, 0, 1,
        1, 1, 1, 1, 1, 1, 1, 1,  0, 0, 0, 0, 0, 0, 0, 0,
    };
    EXPECT_EQ(std::vector<std::uint8_t>(stream->cells.begin(), stream->cells.begin() + 40), expected);
}

TEST(SerializeBits, TheLongestImageFitsWithItsTrailingZeroByte)
{
    auto image = std::make_unique<StripImage>();
    auto stream = std::make_unique<BitStream>();
    image->bytes.fill(0xFF);
    ASSERT_EQ(serializeBits(*image, maxImageLength, *stream), 16528u);
    EXPECT_EQ(stream->cells[16519], 1);
    for (std::uint32_t i = 16520; i < 16528; ++i) {
        EXPECT_EQ(stream->cells[i], 0) << i;
    }
}

}  // namespace
}  // namespace tunestrip
