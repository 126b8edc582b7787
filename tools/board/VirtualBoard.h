#pragma once
// The virtual board: plays the board's bootloader on the master end of a pseudo-terminal.
//
// Once a program opens the slave end, the board waits the start delay, sends its noise and
// announces "g" (once, or again every interval) until "r" arrives. Then it asks for the stream
// one byte per request, "y" for even and "x" for odd positions, until a request goes
// unanswered for the silence time. With a fault seed it first picks one fault for the run and
// plays it through the same options a person would set. A program that closes the slave before the
// "r" and opens it again gets a fresh announcement, as a board reset by hand would give.

#include "BoardFaults.h"
#include "BoardOptions.h"
#include "BoardResult.h"
#include "LineClock.h"
#include "MasterLine.h"
#include "PseudoTerminal.h"
#include "StopSignal.h"

#include <string>

namespace quorvel::board {

class VirtualBoard {
public:
    // Opens the pseudo-terminal; throws std::system_error when it cannot.
    explicit VirtualBoard(BoardOptions options);
    VirtualBoard(const VirtualBoard&) = delete;
    VirtualBoard& operator=(const VirtualBoard&) = delete;

    // The path another program opens to talk to the board, such as /dev/pts/3.
    const std::string& SlavePath() const { return terminal_.SlavePath(); }
    const BoardOptions& Options() const { return options_; }

    // Plays one upload in the calling thread and returns what it saw. Runs once; the master
    // end stays open afterwards (unless the board hung up) until the board is destroyed.
    BoardResult Run();

    // Ends a running Run() soon, from any thread or from a signal handler.
    void RequestStop() noexcept { stop_.Raise(); }

private:
    enum class Handshake { Answered, Unanswered, PeerLeft, Ended };

    bool Ends(LineEvent event);
    LineEvent PassTime(TimePoint until);
    LineEvent Send(const Bytes& characters, TimePoint readyAt, TimePoint& deliveredAt);
    LineEvent SendOne(std::uint8_t character, TimePoint readyAt, TimePoint& deliveredAt);
    void CountUnexpected();
    bool TakeAnswer();

    Handshake Announce(TimePoint& answeredAt);
    Handshake AwaitAnswer(TimePoint until, TimePoint announcedAt, TimePoint& answeredAt);
    void Transfer(TimePoint readyAt);
    Clock::duration PauseBeforeRequest(std::size_t received) const;
    Bytes RequestFor(std::size_t received) const;
    bool ReceiveOne(TimePoint requestedAt, TimePoint& doneAt);
    void ListenUntilPeerLeaves();
    void Finish();

    BoardOptions options_;
    Fault fault_; // picked from options_.faultSeed, already applied to options_
    PseudoTerminal terminal_;
    StopSignal stop_;
    MasterLine line_;
    LineClock clock_;

    Bytes inbox_; // read and not yet accounted for
    TimePoint lastSeenAt_{};
    bool peerLeft_ = false;
    bool ran_ = false;
    BoardResult result_;
};

} // namespace quorvel::board
