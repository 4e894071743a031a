#include "library/card_library.h"

namespace tunestrip {

CardEntry cardEntry(std::uint32_t index)
{
    const CardLibrary& library = cardLibrary;
    const std::uint8_t* blob = library.blob.data();
    return {
        {reinterpret_cast<const char*>(blob + library.nameOffsets[index]), library.nameLengths[index]},
        {blob + library.payloadOffsets[index], library.payloadLengths[index]},
    };
}

}  // namespace tunestrip
