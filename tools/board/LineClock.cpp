#include "LineClock.h"

#include <algorithm>

namespace quorvel::board {

namespace {

constexpr long long kBitsPerCharacter = 10; // start bit, 8 data bits, stop bit

Clock::duration CharacterTimeAt(unsigned baudRate) {
    if (baudRate == 0) return Clock::duration::zero();
    const auto nanoseconds = (kBitsPerCharacter * 1'000'000'000LL + baudRate / 2) / baudRate;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(nanoseconds));
}

} // namespace

LineClock::LineClock(unsigned baudRate) : characterTime_(CharacterTimeAt(baudRate)) {}

TimePoint LineClock::TransmitDone(TimePoint readyAt) {
    transmitFree_ = std::max(readyAt, transmitFree_) + characterTime_;
    return transmitFree_;
}

TimePoint LineClock::ReceiveDone(TimePoint earliestStart, TimePoint seenAt) {
    receiveFree_ = std::max(seenAt, std::max(earliestStart, receiveFree_) + characterTime_);
    return receiveFree_;
}

} // namespace quorvel::board
