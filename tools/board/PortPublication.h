#pragma once
// Offers the board under a port name: the link `<ports folder>/<name>` to its slave end, where
// Quorvel's port list finds it. The link goes again with the object.

#include <string>

namespace quorvel::board {

class PortPublication {
public:
    // Creates the folder when missing and replaces a link of that name. Throws
    // std::system_error when the link cannot be made, or when no folder is given.
    PortPublication(const std::string& portsFolder, const std::string& name,
                    const std::string& slavePath);
    ~PortPublication();
    PortPublication(const PortPublication&) = delete;
    PortPublication& operator=(const PortPublication&) = delete;

    const std::string& LinkPath() const { return linkPath_; }

private:
    std::string linkPath_;
    std::string slavePath_;
};

} // namespace quorvel::board
