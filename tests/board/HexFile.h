#pragma once
// Intel HEX text for an image, and a temporary folder to keep files in.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::board::testing {

// 16-byte data records from address 0, an extended linear address record at each 64 KiB.
std::string HexTextOf(const std::vector<std::uint8_t>& image);

class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    std::string PathOf(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

} // namespace quorvel::board::testing
