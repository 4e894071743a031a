// libFuzzer target: any bytes as a WAV file. The reader must give audio or
// an error, never crash, and never allocate more than the bytes can hold;
// what it gives is read for swipes as well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "decode/card_reader.h"
#include "decode/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tunestrip::WavReadResult read = tunestrip::parseWav({data, size});
    if (!read.error.empty()) {
        return 0;
    }
    // Each sample in memory comes from at least one byte of the file.
    if (read.audio.samples.size() > size) {
        std::abort();
    }
    if (read.audio.frames > 0 && read.audio.frames < 20000) {
        (void)tunestrip::readSwipes(read.audio, std::nullopt);
    }
    return 0;
}
