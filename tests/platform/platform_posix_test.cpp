#include "platform/platform.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tunestrip {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

const std::vector<std::uint8_t> fresh = {1, 2, 3};

TEST(ReplaceFile, ReplacesALongerFileCompletelyWithNewFilePermissions)
{
    TempDir dir;
    std::string name = dir.file("card.wav");
    writeBytes(name, std::vector<std::uint8_t>(100, 9));
    chmod(name.c_str(), 0600);
    mode_t old = umask(022);
    FileResult result = replaceFile(name, fresh);
    umask(old);
    ASSERT_TRUE(result.ok()) << describeError(result.error);
    EXPECT_EQ(readBytes(name), fresh);
    struct stat info {};
    ASSERT_EQ(stat(name.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"card.wav"}) << "no temporary file stays behind";
}

TEST(ReplaceFile, FollowsSymbolicLinksToTheirTarget)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    writeBytes(dir.file("real/target.wav"), {7, 7, 7, 7});
    std::filesystem::create_symlink("real/target.wav", dir.path() / "hop.wav");
    std::filesystem::create_symlink("hop.wav", dir.path() / "card.wav");
    ASSERT_TRUE(replaceFile(dir.file("card.wav"), fresh).ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "card.wav"));
    EXPECT_EQ(readBytes(dir.file("real/target.wav")), fresh);
}

TEST(ReplaceFile, WritesADeviceInPlace)
{
    EXPECT_TRUE(replaceFile("/dev/null", fresh).ok());
}

struct FailureCase {
    std::string name;
    int error;
};

TEST(ReplaceFile, FailuresLeaveEverythingAsItWas)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "taken.wav");
    std::filesystem::create_directory(dir.path() / "locked");
    writeBytes(dir.file("locked/old.wav"), {5, 5});
    chmod(dir.file("locked").c_str(), 0500);
    std::filesystem::create_symlink("loop.wav", dir.path() / "loop.wav");
    std::vector<FailureCase> cases = {
        {dir.file("missing/card.wav"), ENOENT},
        {dir.file("taken.wav"), EISDIR},
        {dir.file("loop.wav"), ELOOP},
    };
    if (geteuid() != 0) {  // root writes into a read-only directory all the same
        cases.push_back({dir.file("locked/old.wav"), EACCES});
    }
    for (const FailureCase& c : cases) {
        EXPECT_EQ(replaceFile(c.name, fresh).error, c.error) << c.name;
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"locked", "loop.wav", "taken.wav"}));
    EXPECT_EQ(readBytes(dir.file("locked/old.wav")), (std::vector<std::uint8_t>{5, 5}));
    EXPECT_EQ(describeError(ENOENT), "No such file or directory");
}

TEST(SameFile, TellsFilesByIdentityNotBySpelling)
{
    TempDir dir;
    writeBytes(dir.file("a.bin"), fresh);
    writeBytes(dir.file("b.bin"), fresh);
    std::filesystem::create_symlink("a.bin", dir.path() / "link.wav");
    std::filesystem::create_hard_link(dir.path() / "a.bin", dir.path() / "hard.wav");
    EXPECT_TRUE(sameFile(dir.file("a.bin"), dir.file("link.wav")));
    EXPECT_TRUE(sameFile(dir.file("a.bin"), dir.file("hard.wav")));
    EXPECT_TRUE(sameFile(dir.file("a.bin"), dir.file("./a.bin")));
    EXPECT_FALSE(sameFile(dir.file("a.bin"), dir.file("b.bin")));
    EXPECT_FALSE(sameFile(dir.file("a.bin"), dir.file("none.wav")));
}

TEST(IsRegularFile, HoldsForFilesAndLinksToThemOnly)
{
    TempDir dir;
    writeBytes(dir.file("a.bin"), fresh);
    std::filesystem::create_symlink("a.bin", dir.path() / "link.bin");
    std::filesystem::create_symlink("none.bin", dir.path() / "dangling.bin");
    std::filesystem::create_directory(dir.path() / "folder.bin");
    EXPECT_TRUE(isRegularFile(dir.file("a.bin")));
    EXPECT_TRUE(isRegularFile(dir.file("link.bin")));
    EXPECT_FALSE(isRegularFile(dir.file("dangling.bin")));
    EXPECT_FALSE(isRegularFile(dir.file("folder.bin")));
    EXPECT_FALSE(isRegularFile(dir.file("none.bin")));
    EXPECT_FALSE(isRegularFile("/dev/null"));
}

}  // namespace
}  // namespace tunestrip
