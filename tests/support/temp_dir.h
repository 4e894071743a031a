// A fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tunestrip::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    // The path of `name` inside the directory, as text.
    [[nodiscard]] std::string file(std::string_view name) const;
    // The names of the directory's entries, sorted.
    [[nodiscard]] std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};

void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes);
[[nodiscard]] std::vector<std::uint8_t> readBytes(const std::string& name);

// `count` bytes that vary from one to the next (a simple counter pattern
// starting at `seed`), so that a misplaced byte shows.
[[nodiscard]] std::vector<std::uint8_t> patternBytes(std::size_t count, std::uint8_t seed = 1);

}  // namespace tunestrip::testing
