#include "library/card_names.h"

#include <algorithm>

#include "library/derived_name.h"

namespace tunestrip {

void buildCardFileNames(bool noNumbers, CardFileNames& fileNames)
{
    for (std::uint32_t i = 0; i < cardCount; ++i) {
        fileNames.names[i] = deriveCardFileName(cardEntry(i).name, noNumbers);
    }
}

Text zeroPadDecimal(std::uint32_t digits, std::uint64_t value)
{
    std::array<char, textCapacity> text{};
    std::size_t count = std::min<std::size_t>(digits, textCapacity);
    for (std::size_t i = count; i > 0; --i) {
        text[i - 1] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return Text{{text.data(), count}};
}

}  // namespace tunestrip
