#include "MasterLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace quorvel::board {

namespace {

// How long to rest between looks at a slave nobody holds open: a closed slave makes the master
// report a hang-up at once, so polling it again without a rest would spin.
constexpr auto kAbsentPeerRest = std::chrono::milliseconds(5);

timespec TimeoutUntil(TimePoint deadline) {
    const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(nanoseconds / 1'000'000'000),
                    static_cast<long>(nanoseconds % 1'000'000'000)};
}

} // namespace

LineEvent MasterLine::Fail(const char* what) {
    failure_ = std::string(what) + ": " + std::strerror(errno);
    return LineEvent::Failure;
}

bool MasterLine::ReadAvailable(Bytes& inbox, bool& peerGone) {
    const std::size_t before = inbox.size();
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t count = ::read(terminal_.Master(), buffer, sizeof buffer);
        if (count > 0) {
            inbox.insert(inbox.end(), buffer, buffer + count);
            // A short read emptied the queue; the next poll sees whatever comes later, so
            // there is no need to pay for a read that only says "nothing more".
            if (static_cast<std::size_t>(count) < sizeof buffer) break;
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        // EIO (or an end of file) is the slave being closed, everything it wrote already read.
        peerGone = count == 0 || errno == EIO;
        break;
    }
    return inbox.size() > before;
}

LineEvent MasterLine::Wait(TimePoint deadline, Bytes& inbox) {
    if (!terminal_.IsOpen()) return Rest(deadline);
    for (;;) {
        if (stop_.Raised()) return LineEvent::Stop;
        if (Clock::now() >= deadline) return LineEvent::Deadline;
        pollfd watched[2] = {{terminal_.Master(), POLLIN, 0}, {stop_.Descriptor(), POLLIN, 0}};
        const timespec timeout = TimeoutUntil(deadline - spinWindow_);
        if (::ppoll(watched, 2, &timeout, nullptr) < 0) {
            if (errno == EINTR) continue;
            return Fail("poll");
        }
        if (watched[1].revents != 0) return LineEvent::Stop;
        const short events = watched[0].revents;
        if (events & POLLNVAL) return Fail("poll");
        if (events == 0) continue;
        bool peerGone = false;
        if (ReadAvailable(inbox, peerGone)) return LineEvent::Input;
        if (peerGone || (events & (POLLHUP | POLLERR))) {
            const LineEvent rested = Rest(std::min(deadline, Clock::now() + kAbsentPeerRest));
            return rested == LineEvent::Stop ? rested : LineEvent::PeerAbsent;
        }
    }
}

bool MasterLine::PeerPresent() {
    if (!terminal_.IsOpen()) return false;
    pollfd watched{terminal_.Master(), POLLIN, 0};
    if (::poll(&watched, 1, 0) < 0) return false;
    return (watched.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

LineEvent MasterLine::WaitForPeer() {
    while (!PeerPresent()) {
        const LineEvent rested = Rest(Clock::now() + kAbsentPeerRest);
        if (rested != LineEvent::Deadline) return rested;
        if (!terminal_.IsOpen()) return Fail("the master end is closed");
    }
    return stop_.Raised() ? LineEvent::Stop : LineEvent::Input;
}

LineEvent MasterLine::Rest(TimePoint until) {
    for (;;) {
        if (stop_.Raised()) return LineEvent::Stop;
        if (Clock::now() >= until) return LineEvent::Deadline;
        pollfd watched{stop_.Descriptor(), POLLIN, 0};
        const timespec timeout = TimeoutUntil(until);
        if (::ppoll(&watched, 1, &timeout, nullptr) < 0 && errno != EINTR) return Fail("poll");
    }
}

LineEvent MasterLine::Write(const std::uint8_t* bytes, std::size_t count, TimePoint giveUpAt) {
    std::size_t written = 0;
    while (written < count) {
        if (stop_.Raised()) return LineEvent::Stop;
        if (!terminal_.IsOpen()) return LineEvent::Blocked;
        const ssize_t done = ::write(terminal_.Master(), bytes + written, count - written);
        if (done > 0) {
            written += static_cast<std::size_t>(done);
            continue;
        }
        if (done < 0 && errno == EINTR) continue;
        if (done < 0 && errno != EAGAIN) return Fail("write");
        // The slave's input queue is full: nobody reads it. Wait for room, a little at a time.
        if (Clock::now() >= giveUpAt) return LineEvent::Blocked;
        pollfd watched[2] = {{terminal_.Master(), POLLOUT, 0}, {stop_.Descriptor(), POLLIN, 0}};
        const timespec timeout = TimeoutUntil(std::min(giveUpAt, Clock::now() + kAbsentPeerRest));
        if (::ppoll(watched, 2, &timeout, nullptr) < 0 && errno != EINTR) return Fail("poll");
        if (watched[0].revents & (POLLHUP | POLLERR)) {
            if (Rest(std::min(giveUpAt, Clock::now() + kAbsentPeerRest)) == LineEvent::Stop)
                return LineEvent::Stop;
        }
    }
    return LineEvent::Written;
}

} // namespace quorvel::board
