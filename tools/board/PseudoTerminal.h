#pragma once
// The master end of a fresh pseudo-terminal pair. The slave end is left closed, so that the
// master reports a hang-up until some program opens the slave by its path.

#include "UniqueDescriptor.h"

#include <string>

namespace quorvel::board {

class PseudoTerminal {
public:
    // Throws std::system_error when no pair can be made.
    PseudoTerminal();

    int Master() const { return master_.Get(); }
    const std::string& SlavePath() const { return slavePath_; }
    bool IsOpen() const { return static_cast<bool>(master_); }

    // Ends the line for good: whoever holds the slave sees a hang-up.
    void Close() { master_.Close(); }

private:
    common::UniqueDescriptor master_;
    std::string slavePath_;
};

} // namespace quorvel::board
