#include "strip/strip_image.h"

#include <algorithm>

#include "platform/platform.h"

namespace tunestrip {
namespace {

// Reads the source file straight into the image behind the sync byte.
// Returns the count read, 0 when the file yields nothing.
std::uint32_t loadSource(const ConversionJob& job, std::uint8_t* destination, Console& console)
{
    print(console, {"Loading ", job.jobName.view(), "..."});
    auto count = static_cast<std::uint32_t>(readFileStart(job.jobName.view(), destination, sourceReadLimit));
    if (count == 0) {
        printLine(console, {"/!\\ERROR: source bin too small."});
        return 0;
    }
    printLine(console, {" done"});
    if (count > largePayloadWarning) {
        printLine(console, {"/!\\WARNING: source bin too large, but nevertheless - let's try it out."});
        printLine(console, {"(Keyboards might likely be able to load max 1kbyte of card data)"});
    }
    return count;
}

}  // namespace

std::uint32_t buildStripImage(const ConversionJob& job, const RunSettings& settings, StripImage& image,
                              Console& console)
{
    std::uint8_t* bytes = image.bytes.data();
    std::uint32_t pilot = settings.longerPilot ? longPilotLength : pilotLength;
    std::fill_n(bytes, pilot, std::uint8_t{0});
    bytes[pilot] = syncByte;
    std::uint32_t position = pilot + 1;

    if (job.fromFile) {
        std::uint32_t count = loadSource(job, bytes + position, console);
        if (count == 0) {
            return 0;
        }
        position += count;
    } else {
        std::copy(job.payload.begin(), job.payload.end(), bytes + position);
        position += static_cast<std::uint32_t>(job.payload.size());
    }

    // The padded image ends at index `target`, one byte past it: the trail of
    // a padded image is never shorter than 2 bytes.
    std::uint32_t target = targetLength + (pilot - pilotLength);
    std::uint32_t trail = (!settings.noEmptyTrail && position < target) ? target - position + 1 : shortTrailLength;
    std::fill_n(bytes + position, trail, std::uint8_t{0});
    return position + trail;
}

}  // namespace tunestrip
