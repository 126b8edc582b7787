#pragma once
// The CRC-32 that zip, PNG and most checksum tools print (reflected polynomial 0xEDB88320),
// so that an image's value can be compared with another tool's.

#include <cstddef>
#include <cstdint>

namespace quorvel::cli {

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t count);

} // namespace quorvel::cli
