#pragma once
// Waits limited by time: the command line's read attempts block for a slice, so counting them
// would say nothing about how long the board was given.

#include "WaitLimit.h"

#include <chrono>

namespace quorvel::cli {

class SecondsLimit final : public link::WaitLimit {
public:
    using Clock = std::chrono::steady_clock;

    SecondsLimit(Clock::duration forBootloader, Clock::duration forRequest)
        : forBootloader_(forBootloader), forRequest_(forRequest) {}

    void Begin(Wait wait) override {
        deadline_ = Clock::now() + (wait == Wait::Bootloader ? forBootloader_ : forRequest_);
    }
    bool Reached(int) override { return Clock::now() >= deadline_; }

private:
    Clock::duration forBootloader_;
    Clock::duration forRequest_;
    Clock::time_point deadline_{};
};

} // namespace quorvel::cli
