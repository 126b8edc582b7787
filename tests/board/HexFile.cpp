#include "HexFile.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quorvel::board::testing {

namespace {

std::string Record(unsigned address, unsigned type, const std::uint8_t* data, unsigned count) {
    char field[16];
    std::snprintf(field, sizeof field, ":%02X%04X%02X", count, address & 0xFFFF, type);
    std::string line = field;
    unsigned sum = count + ((address >> 8) & 0xFF) + (address & 0xFF) + type;
    for (unsigned i = 0; i < count; ++i) {
        std::snprintf(field, sizeof field, "%02X", data[i]);
        line += field;
        sum += data[i];
    }
    std::snprintf(field, sizeof field, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + field;
}

} // namespace

std::string HexTextOf(const std::vector<std::uint8_t>& image) {
    std::string text;
    for (std::size_t address = 0; address < image.size(); address += 16) {
        if (address % 0x10000 == 0) {
            const std::uint8_t upper[2] = {static_cast<std::uint8_t>(address >> 24),
                                           static_cast<std::uint8_t>(address >> 16)};
            text += Record(0, 4, upper, 2);
        }
        const auto count = static_cast<unsigned>(std::min<std::size_t>(16, image.size() - address));
        text += Record(static_cast<unsigned>(address), 0, image.data() + address, count);
    }
    return text + Record(0, 1, nullptr, 0);
}

TemporaryFolder::TemporaryFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvel-board-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryFolder::Write(const std::string& name, const std::string& text) const {
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

} // namespace quorvel::board::testing
