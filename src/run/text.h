// Text values: the byte strings of the program (arguments, file names, card
// names, option texts). Each holds at most 255 bytes; whatever would make it
// longer is cut off, so a value never grows past the limit and never
// allocates.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tunestrip {

inline constexpr std::size_t textCapacity = 255;

class Text {
public:
    constexpr Text() = default;
    // Takes the first 255 bytes of `from`.
    constexpr explicit Text(std::string_view from) { append(from); }

    // Appends as much of `more` as still fits; the rest is dropped.
    constexpr void append(std::string_view more)
    {
        std::size_t room = textCapacity - length_;
        std::size_t taken = more.size() < room ? more.size() : room;
        for (std::size_t i = 0; i < taken; ++i) {
            bytes_[length_ + i] = more[i];
        }
        length_ = static_cast<std::uint8_t>(length_ + taken);
    }

    [[nodiscard]] constexpr std::string_view view() const { return {bytes_.data(), length_}; }
    [[nodiscard]] constexpr std::size_t size() const { return length_; }
    [[nodiscard]] constexpr bool empty() const { return length_ == 0; }

private:
    std::array<char, textCapacity> bytes_{};
    std::uint8_t length_ = 0;
};

}  // namespace tunestrip
