#include "SoakImage.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>

namespace quorvel::soak {

namespace {

constexpr std::size_t kShortestImage = 100;
constexpr std::size_t kLengthSpread = 500;
constexpr std::size_t kRecordLength = 16;

std::string Record(std::size_t address, unsigned type, const std::uint8_t* data,
                   std::size_t count) {
    char field[16];
    std::snprintf(field, sizeof field, ":%02zX%04zX%02X", count, address & 0xFFFF, type);
    std::string line = field;
    unsigned sum = static_cast<unsigned>(count + (address >> 8) + address + type);
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(field, sizeof field, "%02X", data[i]);
        line += field;
        sum += data[i];
    }
    std::snprintf(field, sizeof field, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + field;
}

} // namespace

Bytes SoakImage(std::uint32_t seed) {
    // Not the board's engine on the same seed, whose first draw picks the fault: the image's
    // length would follow the fault's kind.
    std::seed_seq sequence{seed, 0x1AA6Eu};
    std::mt19937 engine(sequence);
    Bytes image(kShortestImage + engine() % kLengthSpread);
    for (std::uint8_t& byte : image)
        byte = static_cast<std::uint8_t>(engine());
    return image;
}

bool WriteHexFile(const std::string& path, const Bytes& image) {
    std::string text;
    for (std::size_t address = 0; address < image.size(); address += kRecordLength) {
        const std::size_t count = std::min(kRecordLength, image.size() - address);
        text += Record(address, 0, image.data() + address, count);
    }
    text += Record(0, 1, nullptr, 0);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    return static_cast<bool>(file);
}

} // namespace quorvel::soak
