#include "strip/bit_stream.h"

namespace tunestrip {

std::uint32_t serializeBits(const StripImage& image, std::uint32_t imageLength, BitStream& stream)
{
    std::uint8_t* cell = stream.cells.data();
    for (std::uint32_t k = 0; k <= imageLength; ++k) {
        unsigned byte = k < imageLength ? image.bytes[k] : 0u;
        for (int bit = 7; bit >= 0; --bit) {
            *cell++ = static_cast<std::uint8_t>((byte >> bit) & 1u);
        }
    }
    return 8 * (imageLength + 1);
}

}  // namespace tunestrip
