#include "BackgroundBoard.h"

#include <exception>

namespace quorvel::board {

namespace {

BoardResult RunCatching(VirtualBoard& board) {
    try {
        return board.Run();
    } catch (const std::exception& error) {
        BoardResult failed;
        failed.endReason = EndReason::Failed;
        failed.failure = error.what();
        return failed;
    }
}

} // namespace

BackgroundBoard::BackgroundBoard(BoardOptions options)
    : board_(std::move(options)), thread_([this] {
          BoardResult result = RunCatching(board_);
          const std::lock_guard lock(mutex_);
          result_ = std::move(result);
          ended_.notify_all();
      }) {}

BackgroundBoard::~BackgroundBoard() {
    board_.RequestStop();
    if (thread_.joinable()) thread_.join();
}

std::optional<BoardResult> BackgroundBoard::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!ended_.wait_for(lock, timeout, [this] { return result_.has_value(); }))
        return std::nullopt;
    return result_;
}

BoardResult BackgroundBoard::Stop() {
    board_.RequestStop();
    if (thread_.joinable()) thread_.join();
    const std::lock_guard lock(mutex_);
    return *result_;
}

} // namespace quorvel::board
