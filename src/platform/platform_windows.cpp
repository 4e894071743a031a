// Windows implementation of the operating-system layer. File names are the
// command line's bytes, handed to the system's byte-string ("A") calls as
// they are.
#include "platform/platform.h"

#include <windows.h>

#include <array>
#include <cstring>

#include "platform/command_line_split.h"

namespace tunestrip {
namespace {

// A name with its terminating zero, as the system calls want it.
struct PathBuffer {
    std::array<char, MAX_PATH * 4> bytes{};

    explicit PathBuffer(std::string_view from)
    {
        std::size_t taken = std::min(from.size(), bytes.size() - 1);
        if (taken > 0) {
            std::memcpy(bytes.data(), from.data(), taken);
        }
        bytes[taken] = '\0';
    }
    [[nodiscard]] const char* c_str() const { return bytes.data(); }
};

int writeAll(HANDLE file, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr)) {
            return static_cast<int>(GetLastError());
        }
        data += written;
        size -= written;
    }
    return 0;
}

// The directory part of a name, with its final separator, or empty.
std::string_view directoryOf(std::string_view name)
{
    std::size_t separator = name.find_last_of("\\/:");
    return separator == std::string_view::npos ? std::string_view{} : name.substr(0, separator + 1);
}

int writeInPlace(const PathBuffer& path, std::span<const std::uint8_t> bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    int error = writeAll(file, bytes.data(), bytes.size());
    CloseHandle(file);
    return error;
}

int writeByRename(std::string_view name, const PathBuffer& path, std::span<const std::uint8_t> bytes)
{
    std::string directory{directoryOf(name)};
    PathBuffer folder{directory.empty() ? std::string_view{"."} : std::string_view{directory}};
    std::array<char, MAX_PATH> temporary{};
    if (GetTempFileNameA(folder.c_str(), "tsp", 0, temporary.data()) == 0) {
        return static_cast<int>(GetLastError());
    }
    HANDLE file = CreateFileA(temporary.data(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    int error = file == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError()) : 0;
    if (error == 0) {
        error = writeAll(file, bytes.data(), bytes.size());
        if (!CloseHandle(file) && error == 0) {
            error = static_cast<int>(GetLastError());
        }
    }
    if (error == 0 && !MoveFileExA(temporary.data(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = static_cast<int>(GetLastError());
    }
    if (error != 0) {
        DeleteFileA(temporary.data());
    }
    return error;
}

}  // namespace

std::vector<std::string> programArguments(int, char**)
{
    std::vector<std::string> arguments = splitCommandLine(GetCommandLineA());
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());  // the program's own name
    }
    return arguments;
}

bool writeStandardOutput(std::string_view bytes)
{
    // Straight to the handle: no C runtime text mode turns "\r\n" into "\r\r\n".
    return writeAll(GetStdHandle(STD_OUTPUT_HANDLE), reinterpret_cast<const std::uint8_t*>(bytes.data()),
                    bytes.size()) == 0;
}

bool writeStandardError(std::string_view bytes)
{
    return writeAll(GetStdHandle(STD_ERROR_HANDLE), reinterpret_cast<const std::uint8_t*>(bytes.data()),
                    bytes.size()) == 0;
}

int readWholeFile(std::string_view name, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    HANDLE file = GetStdHandle(STD_INPUT_HANDLE);
    bool own = name != "-";
    if (own) {
        PathBuffer path{name};
        file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return static_cast<int>(GetLastError());
        }
    }
    std::array<std::uint8_t, 65536> chunk{};
    int error = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr)) {
            DWORD reason = GetLastError();
            error = reason == ERROR_BROKEN_PIPE ? 0 : static_cast<int>(reason);  // a pipe's writer has finished
            break;
        }
        if (got == 0) {
            break;
        }
        bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
    }
    if (own) {
        CloseHandle(file);
    }
    return error;
}

std::size_t readFileStart(std::string_view name, std::uint8_t* destination, std::size_t capacity)
{
    PathBuffer path{name};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    std::size_t count = 0;
    while (count < capacity) {
        DWORD got = 0;
        if (!ReadFile(file, destination + count, static_cast<DWORD>(capacity - count), &got, nullptr) || got == 0) {
            break;
        }
        count += got;
    }
    CloseHandle(file);
    return count;
}

FileResult replaceFile(std::string_view name, std::span<const std::uint8_t> bytes)
{
    PathBuffer path{name};
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {static_cast<int>(ERROR_ACCESS_DENIED)};
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DEVICE)) {
        return {writeInPlace(path, bytes)};
    }
    // A reserved device name such as NUL has no attributes of a file.
    if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND) {
        return {writeInPlace(path, bytes)};
    }
    return {writeByRename(name, path, bytes)};
}

bool isRegularFile(std::string_view name)
{
    PathBuffer path{name};
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool sameFile(std::string_view first, std::string_view second)
{
    auto identify = [](std::string_view name, BY_HANDLE_FILE_INFORMATION& info) {
        PathBuffer path{name};
        HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        bool known = GetFileInformationByHandle(file, &info) != 0;
        CloseHandle(file);
        return known;
    };
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return identify(first, a) && identify(second, b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

std::string_view describeError(int error)
{
    static std::array<char, 512> text{};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  static_cast<DWORD>(error), 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string_view message{text.data(), length};
    // The system's texts end in a full stop and a line end; the caller adds its own.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.' ||
                                message.back() == ' ')) {
        message.remove_suffix(1);
    }
    if (message.empty()) {
        return "system error";
    }
    return message;
}

}  // namespace tunestrip
