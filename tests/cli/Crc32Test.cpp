#include "Crc32.h"

#include <gtest/gtest.h>

#include <string_view>

namespace quorvel::cli {
namespace {

// The values every CRC-32 tool agrees on, so an image's CRC can be checked with another one.
TEST(Crc32, GivesTheValuesOtherToolsGive) {
    const std::pair<std::string_view, std::uint32_t> cases[] = {
        {"", 0x00000000u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& [text, crc] : cases)
        EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), crc)
            << text;
}

} // namespace
} // namespace quorvel::cli
