#pragma once
// The timetable of a serial line at a fixed baud rate: a character takes 10 bit times in each
// direction. Times are deadlines on the line's own schedule, not "now plus a little", so a late
// wake-up of the board does not slow the line down and the rate stays what the baud rate says.

#include <chrono>

namespace quorvel::board {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;

class LineClock {
public:
    // 0: no pacing, every character takes no time.
    explicit LineClock(unsigned baudRate);

    Clock::duration CharacterTime() const { return characterTime_; }
    bool Paced() const { return characterTime_ > Clock::duration::zero(); }

    // When a character that the board may start sending at `readyAt` has fully arrived at the
    // other end; the next one cannot start before that.
    TimePoint TransmitDone(TimePoint readyAt);

    // When a character the board read at `seenAt` has fully arrived: it cannot have started
    // before `earliestStart` (the request it answers was on the line then) nor before the
    // previous received character ended.
    TimePoint ReceiveDone(TimePoint earliestStart, TimePoint seenAt);

private:
    Clock::duration characterTime_;
    TimePoint transmitFree_{};
    TimePoint receiveFree_{};
};

} // namespace quorvel::board
