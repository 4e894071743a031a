#include "strip/strip_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tunestrip {
namespace {

using testing::patternBytes;
using testing::TempDir;

struct Build {
    std::uint32_t imageLength;
    std::string output;
};

Build buildFromPayload(const std::vector<std::uint8_t>& payload, RunSettings settings, StripImage& image)
{
    Build result{0, {}};
    Console console{&result.output};
    ConversionJob job{Text{"card.bin"}, false, payload};
    result.imageLength = buildStripImage(job, settings, image, console);
    return result;
}

Build buildFromFile(const std::string& name, RunSettings settings, StripImage& image)
{
    Build result{0, {}};
    Console console{&result.output};
    ConversionJob job{Text{name}, true, {}};
    result.imageLength = buildStripImage(job, settings, image, console);
    return result;
}

struct LayoutCase {
    std::size_t payload;
    bool longerPilot;
    bool noEmptyTrail;
    std::uint32_t trail;
    std::uint32_t imageLength;
};

TEST(BuildStripImage, PilotSyncPayloadAndTrailFollowTheLengthRules)
{
    const LayoutCase cases[] = {
        {1, false, false, 447, 453},  {1, false, true, 4, 10},      {84, false, false, 364, 453},
        {84, false, true, 4, 93},     {433, false, false, 15, 453}, {433, true, false, 15, 461},
        {445, false, false, 3, 453},  {445, false, true, 4, 454},   {446, false, false, 2, 453},
        {446, false, true, 4, 455},   {447, false, false, 4, 456},  {447, false, true, 4, 456},
        {1024, false, false, 4, 1033}, {2048, false, true, 4, 2057}, {2048, true, false, 4, 2065},
    };
    auto image = std::make_unique<StripImage>();
    for (const LayoutCase& c : cases) {
        image->bytes.fill(0xEE);  // a stale earlier image must not show through
        RunSettings settings;
        settings.longerPilot = c.longerPilot;
        settings.noEmptyTrail = c.noEmptyTrail;
        std::vector<std::uint8_t> payload = patternBytes(c.payload);
        Build result = buildFromPayload(payload, settings, *image);
        std::uint32_t pilot = c.longerPilot ? 12 : 4;
        SCOPED_TRACE(::testing::Message() << c.payload << " bytes, pilot " << pilot << ", short " << c.noEmptyTrail);
        ASSERT_EQ(result.imageLength, c.imageLength);
        EXPECT_EQ(result.output, "") << "a library job prints nothing";
        std::vector<std::uint8_t> expected(pilot, 0);
        expected.push_back(0x01);
        expected.insert(expected.end(), payload.begin(), payload.end());
        expected.insert(expected.end(), c.trail, 0);
        EXPECT_EQ(std::vector<std::uint8_t>(image->bytes.begin(), image->bytes.begin() + c.imageLength), expected);
    }
}

struct LoadCase {
    std::size_t fileBytes;
    std::uint32_t imageLength;
    bool warning;
};

TEST(BuildStripImage, LoadsTheSourceFileWithItsLoadingLine)
{
    const std::string warning =
        "/!\\WARNING: source bin too large, but nevertheless - let's try it out.\r\n"
        "(Keyboards might likely be able to load max 1kbyte of card data)\r\n";
    const LoadCase cases[] = {{1, 453, false}, {445, 453, false}, {446, 453, true}, {3000, 2057, true}};
    TempDir dir;
    auto image = std::make_unique<StripImage>();
    for (const LoadCase& c : cases) {
        std::string name = dir.file("card.bin");
        std::vector<std::uint8_t> bytes = patternBytes(c.fileBytes);
        testing::writeBytes(name, bytes);
        Build result = buildFromFile(name, RunSettings{}, *image);
        EXPECT_EQ(result.imageLength, c.imageLength) << c.fileBytes;
        EXPECT_EQ(result.output, "Loading " + name + "... done\r\n" + (c.warning ? warning : ""));
        std::size_t used = std::min<std::size_t>(c.fileBytes, 2048);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + static_cast<long>(used), image->bytes.begin() + 5));
    }
}

TEST(BuildStripImage, ASourceThatYieldsNoBytesEndsTheLoadingLineWithTheError)
{
    TempDir dir;
    testing::writeBytes(dir.file("e.bin"), {});
    std::filesystem::create_directory(dir.path() / "folder.bin");
    auto image = std::make_unique<StripImage>();
    for (std::string name : {dir.file("e.bin"), dir.file("missing.bin"), dir.file("folder.bin")}) {
        Build result = buildFromFile(name, RunSettings{}, *image);
        EXPECT_EQ(result.imageLength, 0u);
        EXPECT_EQ(result.output, "Loading " + name + ".../!\\ERROR: source bin too small.\r\n");
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"e.bin", "folder.bin"})) << "nothing is created";
}

TEST(BuildStripImage, ReadsAPipeWithoutAWriterAsEmptyInsteadOfWaiting)
{
    TempDir dir;
    std::string name = dir.file("pipe.bin");
    ASSERT_EQ(mkfifo(name.c_str(), 0600), 0);
    auto image = std::make_unique<StripImage>();
    EXPECT_EQ(buildFromFile(name, RunSettings{}, *image).imageLength, 0u);
}

}  // namespace
}  // namespace tunestrip
