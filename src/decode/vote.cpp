#include "decode/vote.h"

#include <algorithm>

namespace tunestrip {

VoteResult voteOnCells(const std::vector<std::vector<std::uint8_t>>& takes)
{
    VoteResult result;
    std::size_t longest = 0;
    for (const auto& cells : takes) {
        longest = std::max(longest, cells.size());
    }
    std::size_t byteCount = longest / 8;
    for (std::size_t byte = 0; byte < byteCount; ++byte) {
        unsigned value = 0;
        bool doubtful = false;
        for (std::size_t bit = 0; bit < 8; ++bit) {
            std::size_t cell = 8 * byte + bit;
            std::size_t ones = 0;
            std::size_t zeros = 0;
            for (const auto& cells : takes) {
                if (cell < cells.size()) {
                    (cells[cell] != 0 ? ones : zeros) += 1;
                }
            }
            if (ones == zeros) {
                result.undecided = true;
                return result;
            }
            // In doubt: the takes disagree, or some of them broke off before it.
            doubtful |= (ones != 0 && zeros != 0) || ones + zeros < takes.size();
            value = value << 1 | (ones > zeros ? 1u : 0u);
        }
        if (doubtful) {
            result.doubtfulBytes.push_back(byte);
        }
        result.bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return result;
}

}  // namespace tunestrip
