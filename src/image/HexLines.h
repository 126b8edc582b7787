#pragma once
// Line splitting and hex digits as a HEX file is read: a line ends at CR, LF or CR LF, a NUL
// ends the text, and a line end at the very end of the text adds no empty line.

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvel::image {

// The text up to, not including, its first NUL byte.
inline std::string_view TextBeforeNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    return nul == std::string_view::npos ? text : text.substr(0, nul);
}

// 0 to 15 for 0-9, A-F, a-f; -1 for every other byte.
inline int HexDigitValue(unsigned char c) {
    static constexpr auto table = [] {
        std::array<signed char, 256> values{};
        values.fill(-1);
        for (int i = 0; i < 10; ++i)
            values['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i) {
            values['A' + i] = static_cast<signed char>(10 + i);
            values['a' + i] = static_cast<signed char>(10 + i);
        }
        return values;
    }();
    return table[c];
}

class HexLineReader {
public:
    explicit HexLineReader(std::string_view text) : text_(text) {}

    // Gives the next line without its line end; false when the text is used up.
    bool Next(std::string_view& line) {
        if (position_ >= text_.size()) return false;
        std::size_t end = position_;
        while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n')
            ++end;
        line = text_.substr(position_, end - position_);
        position_ = end;
        if (position_ < text_.size() && text_[position_++] == '\r' && position_ < text_.size() &&
            text_[position_] == '\n')
            ++position_;
        return true;
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

} // namespace quorvel::image
