// Writes an Intel HEX file of an image of N bytes (default 1.9 MB) with 16-byte data records,
// an extended-linear-address record at each 64 KiB and CR LF line ends, as a compiler emits.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void PutRecord(std::FILE* out, unsigned address, unsigned type, const std::uint8_t* data,
               unsigned count) {
    unsigned sum = count + (address >> 8) + (address & 0xFF) + type;
    std::fprintf(out, ":%02X%04X%02X", count, address & 0xFFFF, type);
    for (unsigned i = 0; i < count; ++i) {
        std::fprintf(out, "%02X", data[i]);
        sum += data[i];
    }
    std::fprintf(out, "%02X\r\n", (0x100 - (sum & 0xFF)) & 0xFF);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.hex [IMAGE_BYTES]\n", argv[0]);
        return 2;
    }
    const unsigned long length = argc > 2 ? std::strtoul(argv[2], nullptr, 0) : 1900000;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    std::uint32_t state = 12345;
    for (unsigned long address = 0; address < length; address += 16) {
        if (address % 0x10000 == 0) {
            const std::uint8_t upper[2] = {static_cast<std::uint8_t>(address >> 24),
                                           static_cast<std::uint8_t>(address >> 16)};
            PutRecord(out, 0, 4, upper, 2);
        }
        std::uint8_t data[16];
        const unsigned count = length - address < 16 ? unsigned(length - address) : 16;
        for (unsigned i = 0; i < count; ++i) {
            state = state * 1103515245u + 12345u;
            data[i] = static_cast<std::uint8_t>(state >> 16);
        }
        PutRecord(out, address & 0xFFFF, 0, data, count);
    }
    PutRecord(out, 0, 1, nullptr, 0);
    return std::fclose(out) == 0 ? 0 : 1;
}
