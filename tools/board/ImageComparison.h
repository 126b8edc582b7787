#pragma once
// Comparing the image the board received with the image a HEX file holds.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::board {

using Bytes = std::vector<std::uint8_t>;

struct ImageDifference {
    std::size_t offset = 0;
    std::uint8_t expected = 0;
    std::uint8_t got = 0;
};

struct ImageComparison {
    std::size_t expectedLength = 0;
    std::size_t gotLength = 0;
    // The first offset, within the shorter of the two, where the bytes differ.
    std::optional<ImageDifference> firstDifference;

    bool Match() const { return !firstDifference && expectedLength == gotLength; }
};

ImageComparison CompareImages(const Bytes& expected, const Bytes& got);

// "match", or the first difference and the lengths, e.g.
// "differs at offset 0x0010 (16): expected 0x3C, got 0x00; length differs: expected 32, got 30".
std::string DescribeComparison(const ImageComparison& comparison);

struct HexComparison {
    std::string error; // the loader's reason when the file could not be taken in
    ImageComparison comparison;
};

// Loads the P18 image of the HEX file at `path` and compares `got` with it.
HexComparison CompareWithHexFile(const std::string& path, const Bytes& got);

// Writes `bytes` to `path`, replacing what was there; returns an error text on failure.
std::optional<std::string> WriteBytesToFile(const std::string& path, const Bytes& bytes);

} // namespace quorvel::board
