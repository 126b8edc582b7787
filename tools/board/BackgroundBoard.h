#pragma once
// The virtual board on a thread of its own, for tests and benchmarks in the same process:
// open the slave path, talk, then collect the result.

#include "VirtualBoard.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace quorvel::board {

class BackgroundBoard {
public:
    // Opens the pseudo-terminal (throws std::system_error when it cannot) and starts the run.
    explicit BackgroundBoard(BoardOptions options);
    // Stops the run if it is still going and waits for its thread.
    ~BackgroundBoard();
    BackgroundBoard(const BackgroundBoard&) = delete;
    BackgroundBoard& operator=(const BackgroundBoard&) = delete;

    const std::string& SlavePath() const { return board_.SlavePath(); }

    // The result once the run has ended by itself within `timeout`, else nothing.
    std::optional<BoardResult> WaitFor(std::chrono::milliseconds timeout);

    // Ends the run if it is still going and returns its result; may be called again.
    BoardResult Stop();

private:
    VirtualBoard board_;
    std::mutex mutex_;
    std::condition_variable ended_;
    std::optional<BoardResult> result_;
    std::thread thread_; // last: it starts once everything above exists
};

} // namespace quorvel::board
