#pragma once
// Builds HEX text for the tests: records with correct checksums, joined by chosen line ends,
// and the file a compiler would write for a whole image.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace quorvel::testing {

inline std::string Record(unsigned address, unsigned type, const std::vector<std::uint8_t>& data,
                          int checksumDelta = 0) {
    char field[16];
    unsigned sum =
        static_cast<unsigned>(data.size()) + (address >> 8 & 0xFF) + (address & 0xFF) + type;
    std::snprintf(field, sizeof field, "%02X%04X%02X", static_cast<unsigned>(data.size()),
                  address & 0xFFFF, type);
    std::string line = std::string(":") + field;
    for (std::uint8_t byte : data) {
        std::snprintf(field, sizeof field, "%02X", byte);
        line += field;
        sum += byte;
    }
    std::snprintf(field, sizeof field, "%02X", (0x100 - (sum & 0xFF) + checksumDelta) & 0xFF);
    return line + field;
}

inline std::string Upper(unsigned upperAddress) {
    return Record(
        0, 4,
        {static_cast<std::uint8_t>(upperAddress >> 8), static_cast<std::uint8_t>(upperAddress)});
}

inline std::string EndOfFile() {
    return Record(0, 1, {});
}

inline std::string Lines(std::initializer_list<std::string> lines,
                         const std::string& end = "\r\n") {
    std::string text;
    for (const auto& line : lines)
        text += line + end;
    return text;
}

inline std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t first) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

// `image` from address 0 in data records of 16 bytes, each 64 KiB page announced by an
// extended linear address record, CR LF after every record.
inline std::string HexTextOf(const std::vector<std::uint8_t>& image) {
    std::string text;
    for (std::size_t address = 0; address < image.size(); address += 16) {
        if (address % 0x10000 == 0) text += Upper(static_cast<unsigned>(address >> 16)) + "\r\n";
        const auto first = image.begin() + static_cast<std::ptrdiff_t>(address);
        const auto count = std::min<std::size_t>(16, image.size() - address);
        text += Record(static_cast<unsigned>(address), 0,
                       {first, first + static_cast<std::ptrdiff_t>(count)}) +
                "\r\n";
    }
    return text + EndOfFile() + "\r\n";
}

} // namespace quorvel::testing
