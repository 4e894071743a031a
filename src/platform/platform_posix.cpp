// POSIX implementation of the operating-system layer.
#include "platform/platform.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tunestrip {
namespace {

// A path with its terminating zero, as the system calls want it. Names longer
// than the system's path limit are cut; the call then fails as for any
// name the system refuses.
struct PathBuffer {
    std::array<char, PATH_MAX> bytes{};
    std::size_t length = 0;

    void assign(std::string_view from)
    {
        length = 0;
        append(from);
    }
    void append(std::string_view more)
    {
        std::size_t taken = std::min(more.size(), bytes.size() - 1 - length);
        if (taken > 0) {  // an empty view may carry a null pointer, which memcpy must not see
            std::memcpy(bytes.data() + length, more.data(), taken);
        }
        length += taken;
        bytes[length] = '\0';
    }
    [[nodiscard]] const char* c_str() const { return bytes.data(); }
    [[nodiscard]] std::string_view view() const { return {bytes.data(), length}; }
};

// The directory part of a path, with its final slash, or empty for a bare name.
std::string_view directoryOf(std::string_view path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash + 1);
}

// Follows symbolic links until `path` names something that is not a link (or
// does not exist). Gives up after 40 links, as the system does, with ELOOP.
int resolveLinks(PathBuffer& path, struct stat& info, bool& exists)
{
    for (int hops = 0; hops < 40; ++hops) {
        if (lstat(path.c_str(), &info) != 0) {
            exists = false;
            return errno == ENOENT ? 0 : errno;
        }
        exists = true;
        if (!S_ISLNK(info.st_mode)) {
            return 0;
        }
        std::array<char, PATH_MAX> target{};
        ssize_t size = readlink(path.c_str(), target.data(), target.size() - 1);
        if (size < 0) {
            return errno;
        }
        std::string_view link{target.data(), static_cast<std::size_t>(size)};
        if (!link.empty() && link.front() == '/') {
            path.assign(link);
        } else {
            PathBuffer joined;
            joined.assign(directoryOf(path.view()));
            joined.append(link);
            path = joined;
        }
    }
    return ELOOP;
}

int writeAll(int descriptor, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(written);
    }
    return 0;
}

// Writes a path that exists and is not a regular file, such as /dev/null.
int writeInPlace(const PathBuffer& path, std::span<const std::uint8_t> bytes)
{
    int descriptor = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) {
        return errno;
    }
    int error = writeAll(descriptor, bytes);
    if (close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

mode_t newFileMode()
{
    mode_t mask = umask(0);
    umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

int writeByRename(const PathBuffer& path, std::span<const std::uint8_t> bytes)
{
    PathBuffer temporary;
    temporary.assign(directoryOf(path.view()));
    temporary.append(".tunestrip-XXXXXX");
    int descriptor = mkostemp(temporary.bytes.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return errno;
    }
    int error = fchmod(descriptor, newFileMode()) == 0 ? 0 : errno;
    if (error == 0) {
        error = writeAll(descriptor, bytes);
    }
    if (close(descriptor) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.c_str());
    }
    return error;
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv)
{
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

bool writeStandardOutput(std::string_view bytes)
{
    return writeAll(STDOUT_FILENO, {reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    bytes.size()}) == 0;
}

bool writeStandardError(std::string_view bytes)
{
    return writeAll(STDERR_FILENO, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}) == 0;
}

int readWholeFile(std::string_view name, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    int descriptor = STDIN_FILENO;
    if (name != "-") {
        PathBuffer path;
        path.assign(name);
        descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            return errno;
        }
        struct stat info {};
        if (fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
            close(descriptor);
            return EISDIR;
        }
    }
    std::array<std::uint8_t, 65536> chunk{};
    int error = 0;
    for (;;) {
        ssize_t got = read(descriptor, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = errno;
            break;
        }
        if (got == 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
    }
    if (descriptor != STDIN_FILENO) {
        close(descriptor);
    }
    return error;
}

std::size_t readFileStart(std::string_view name, std::uint8_t* destination, std::size_t capacity)
{
    PathBuffer path;
    path.assign(name);
    // O_NONBLOCK: a pipe without a writer must not hang the run.
    int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return 0;
    }
    std::size_t count = 0;
    while (count < capacity) {
        ssize_t got = read(descriptor, destination + count, capacity - count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        count += static_cast<std::size_t>(got);
    }
    close(descriptor);
    return count;
}

FileResult replaceFile(std::string_view name, std::span<const std::uint8_t> bytes)
{
    PathBuffer path;
    path.assign(name);
    struct stat info {};
    bool exists = false;
    if (int error = resolveLinks(path, info, exists); error != 0) {
        return {error};
    }
    if (exists && !S_ISREG(info.st_mode)) {
        return {writeInPlace(path, bytes)};
    }
    return {writeByRename(path, bytes)};
}

bool isRegularFile(std::string_view name)
{
    PathBuffer path;
    path.assign(name);
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool sameFile(std::string_view first, std::string_view second)
{
    PathBuffer a;
    PathBuffer b;
    a.assign(first);
    b.assign(second);
    struct stat infoA {};
    struct stat infoB {};
    return stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0 &&
           infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
}

std::string_view describeError(int error)
{
    return std::strerror(error);
}

}  // namespace tunestrip
