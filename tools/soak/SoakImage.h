#pragma once
// The firmware of one soak run: a small image from the run's seed, written as an Intel HEX file.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::soak {

using Bytes = std::vector<std::uint8_t>;

// A few hundred bytes, every byte value possible (the line's special characters among them);
// the same seed gives the same image.
Bytes SoakImage(std::uint32_t seed);

// Writes `image` from address 0 as 16-byte data records and an end record; false on failure.
bool WriteHexFile(const std::string& path, const Bytes& image);

} // namespace quorvel::soak
