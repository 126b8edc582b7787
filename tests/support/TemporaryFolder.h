#pragma once
// A temporary folder to keep a test's files in, removed with all it holds, and reading a file
// back.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::testing {

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

} // namespace quorvel::testing
