#pragma once
// How long one wait for a character may last. The window counts read attempts, PollLimit of
// them with no pause; a host whose attempts block for a slice counts time instead.

#include "WireProtocol.h"

namespace quorvel::link {

class WaitLimit {
public:
    enum class Wait {
        Bootloader, // the handshake's wait for "g"
        Request,    // the upload's wait for each "y" or "x"
    };

    virtual ~WaitLimit() = default;
    virtual void Begin(Wait wait) = 0;
    // Asked after every attempt: true ends the wait as a timeout, whatever the attempt brought.
    virtual bool Reached(int pollCount) = 0;
};

class AttemptLimit final : public WaitLimit {
public:
    void Begin(Wait) override {}
    bool Reached(int pollCount) override { return pollCount == PollLimit; }
};

} // namespace quorvel::link
