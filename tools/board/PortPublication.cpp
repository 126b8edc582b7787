#include "PortPublication.h"

#include "ProgramFolders.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace quorvel::board {

namespace fs = std::filesystem;

PortPublication::PortPublication(const std::string& portsFolder, const std::string& name,
                                 const std::string& slavePath)
    : slavePath_(slavePath) {
    // An unknown folder is no licence to publish into the working directory.
    if (portsFolder.empty())
        throw std::system_error(ENOENT, std::generic_category(), "no folder for ports");
    const fs::path folder(portsFolder);
    if (const int error = common::MakePortsFolder(portsFolder))
        throw std::system_error(error, std::generic_category(), portsFolder);
    linkPath_ = (folder / name).string();
    // Made under another name and renamed over the old one, so the name never dangles.
    const std::string fresh = linkPath_ + ".new-" + std::to_string(::getpid());
    ::unlink(fresh.c_str());
    if (::symlink(slavePath.c_str(), fresh.c_str()) != 0 ||
        std::rename(fresh.c_str(), linkPath_.c_str()) != 0) {
        const int error = errno;
        ::unlink(fresh.c_str());
        throw std::system_error(error, std::generic_category(), linkPath_);
    }
}

// Only our own link goes: another board may have published the name since.
PortPublication::~PortPublication() {
    std::error_code ignored;
    if (fs::read_symlink(linkPath_, ignored) == slavePath_) fs::remove(linkPath_, ignored);
}

} // namespace quorvel::board
