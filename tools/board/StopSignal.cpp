#include "StopSignal.h"

#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace quorvel::board {

StopSignal::StopSignal() {
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "pipe2");
    readEnd_ = common::UniqueDescriptor(ends[0]);
    writeEnd_ = common::UniqueDescriptor(ends[1]);
}

void StopSignal::Raise() noexcept {
    static_assert(std::atomic<bool>::is_always_lock_free);
    raised_.store(true);
    const int savedErrno = errno; // a signal handler must leave errno as it found it
    const char byte = 1;
    // A full pipe already wakes every waiter, so a failed write loses nothing.
    [[maybe_unused]] const ssize_t ignored = ::write(writeEnd_.Get(), &byte, 1);
    errno = savedErrno;
}

} // namespace quorvel::board
