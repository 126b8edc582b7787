#pragma once
// Offers the board under a port name: the link `<folder>/ports/<name>` to its slave end,
// where Quorvel's port list finds it. The link goes again with the object.

#include <string>

namespace quorvel::board {

class PortPublication {
public:
    // Creates the folder when missing and replaces a link of that name. Throws
    // std::system_error when the link cannot be made.
    PortPublication(const std::string& programFolder, const std::string& name,
                    const std::string& slavePath);
    ~PortPublication();
    PortPublication(const PortPublication&) = delete;
    PortPublication& operator=(const PortPublication&) = delete;

    const std::string& LinkPath() const { return linkPath_; }

private:
    std::string linkPath_;
    std::string slavePath_;
};

// The folder of the running program file.
std::string ProgramFolder();

} // namespace quorvel::board
