#pragma once
// Reading and writing the master end while watching for a stop request: every wait of the
// board goes through here, so none of them can outlive a stop or spin on a closed slave.

#include "ImageComparison.h"
#include "LineClock.h"
#include "PseudoTerminal.h"
#include "StopSignal.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel::board {

enum class LineEvent {
    Input,      // bytes were appended to the inbox
    Deadline,   // the deadline passed with nothing to read
    PeerAbsent, // no program holds the slave open; the call rested a little before returning
    Written,    // a write placed all its bytes
    Blocked,    // a write could not be placed before its deadline
    Stop,       // a stop was requested
    Failure,    // the pseudo-terminal failed; Failure() says how
};

class MasterLine {
public:
    MasterLine(PseudoTerminal& terminal, StopSignal& stop) : terminal_(terminal), stop_(stop) {}

    // Waits until `deadline` for input and appends whatever is there to `inbox`.
    LineEvent Wait(TimePoint deadline, Bytes& inbox);

    // Appends to `inbox` whatever is queued, without waiting; true when there was something.
    bool TakeQueued(Bytes& inbox) {
        bool peerGone = false;
        return terminal_.IsOpen() && ReadAvailable(inbox, peerGone);
    }

    // Whether some program holds the slave open right now.
    bool PeerPresent();

    // Returns Input once some program holds the slave open, or Stop or Failure.
    LineEvent WaitForPeer();

    // Writes all of `bytes`, waiting for room in the pseudo-terminal's queue until `giveUpAt`.
    LineEvent Write(const std::uint8_t* bytes, std::size_t count, TimePoint giveUpAt);

    // Rests until `until` (or a stop); used where the line has nothing to offer.
    LineEvent Rest(TimePoint until);

    const std::string& Failure() const { return failure_; }

    // The last stretch before a deadline that waits are to watch by polling without sleeping,
    // because a timed sleep wakes tens of microseconds late: too late for a paced line.
    void SetSpinWindow(Clock::duration window) { spinWindow_ = window; }

private:
    LineEvent Fail(const char* what);
    bool ReadAvailable(Bytes& inbox, bool& peerGone);

    PseudoTerminal& terminal_;
    StopSignal& stop_;
    std::string failure_;
    Clock::duration spinWindow_{};
};

} // namespace quorvel::board
