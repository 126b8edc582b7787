#pragma once
// Line splitting and hex digits as a HEX file is read: a line ends at CR, LF or CR LF, a NUL
// ends the text, and a line end at the very end of the text adds no empty line.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quorvel::image {

// The text up to, not including, its first NUL byte.
inline std::string_view TextBeforeNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

namespace detail {

constexpr int DigitOf(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

inline constexpr auto kDigitValues = [] {
    std::array<std::int8_t, 256> values{};
    for (int c = 0; c < 256; ++c)
        values[c] = static_cast<std::int8_t>(DigitOf(c));
    return values;
}();

// Indexed by the two characters of a pair; the loader reads millions of pairs per file.
inline constexpr auto kPairValues = [] {
    std::array<std::int16_t, 65536> values{};
    for (int high = 0; high < 256; ++high)
        for (int low = 0; low < 256; ++low) {
            const int a = DigitOf(high), b = DigitOf(low);
            values[high << 8 | low] = static_cast<std::int16_t>((a | b) < 0 ? -1 : a * 16 + b);
        }
    return values;
}();

} // namespace detail

// 0 to 15 for 0-9, A-F, a-f; -1 for every other byte.
inline int HexDigitValue(unsigned char c) {
    return detail::kDigitValues[c];
}

// The value of two hex digits, 0 to 255; -1 when either is not a digit.
inline int HexPairValue(unsigned char high, unsigned char low) {
    return detail::kPairValues[high << 8 | low];
}

class HexLineReader {
public:
    explicit HexLineReader(std::string_view text) : text_(text) {}

    // Gives the next line without its line end; false when the text is used up.
    bool Next(std::string_view& line) {
        if (position_ >= text_.size()) return false;
        const std::size_t end =
            std::min(NextAfter(nextCarriageReturn_, '\r'), NextAfter(nextLineFeed_, '\n'));
        line = text_.substr(position_, end - position_);
        position_ = end;
        if (position_ < text_.size() && text_[position_++] == '\r' && position_ < text_.size() &&
            text_[position_] == '\n')
            ++position_;
        return true;
    }

private:
    // Where `c` next stands at or after the current position (the text's size when nowhere).
    // A file uses few kinds of line end, so remembering each one's next place lets a fast
    // search skip whole lines instead of testing every character twice.
    std::size_t NextAfter(std::size_t& cached, char c) const {
        if (cached == kUnknown || cached < position_) {
            const void* found = std::memchr(text_.data() + position_, c, text_.size() - position_);
            cached = found
                         ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data())
                         : text_.size();
        }
        return cached;
    }

    std::string_view text_;
    std::size_t position_ = 0;
    static constexpr std::size_t kUnknown = std::string_view::npos;
    std::size_t nextCarriageReturn_ = kUnknown;
    std::size_t nextLineFeed_ = kUnknown;
};

} // namespace quorvel::image
