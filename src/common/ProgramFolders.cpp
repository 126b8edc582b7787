#include "ProgramFolders.h"

#include <filesystem>
#include <system_error>

namespace quorvel::common {

namespace fs = std::filesystem;

std::string ProgramFolder() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

std::string PortsFolder(const std::string& programFolder) {
    if (programFolder.empty()) return {};
    return (fs::path(programFolder) / "ports").string();
}

} // namespace quorvel::common
