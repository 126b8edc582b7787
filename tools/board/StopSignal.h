#pragma once
// A stop request that any thread, or a signal handler, may raise, and that a poll can wait on.

#include "UniqueDescriptor.h"

#include <atomic>

namespace quorvel::board {

class StopSignal {
public:
    // Throws std::system_error when no pipe can be made.
    StopSignal();

    // Async-signal-safe: one atomic store and one write to a non-blocking pipe.
    void Raise() noexcept;
    bool Raised() const noexcept { return raised_.load(); }

    // Readable once raised; for poll.
    int Descriptor() const { return readEnd_.Get(); }

private:
    std::atomic<bool> raised_{false};
    common::UniqueDescriptor readEnd_;
    common::UniqueDescriptor writeEnd_;
};

} // namespace quorvel::board
