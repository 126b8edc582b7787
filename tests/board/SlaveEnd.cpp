#include "SlaveEnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace quorvel::board::testing {

SlaveEnd::SlaveEnd(const std::string& path) : path_(path) {
    Reopen();
}

void SlaveEnd::Reopen() {
    Close();
    descriptor_ =
        common::UniqueDescriptor(::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    ASSERT_TRUE(descriptor_) << path_ << ": " << std::strerror(errno);
    termios settings{};
    ASSERT_EQ(::tcgetattr(descriptor_.Get(), &settings), 0);
    ::cfmakeraw(&settings);
    ASSERT_EQ(::tcsetattr(descriptor_.Get(), TCSANOW, &settings), 0);
}

std::optional<std::uint8_t> SlaveEnd::ReadByte(milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (descriptor_) {
        std::uint8_t byte = 0;
        const ssize_t count = ::read(descriptor_.Get(), &byte, 1);
        if (count == 1) return byte;
        if (count == 0 || (errno != EAGAIN && errno != EINTR)) return std::nullopt;
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd watched{descriptor_.Get(), POLLIN, 0};
        ::poll(&watched, 1, static_cast<int>(left.count()) + 1);
    }
    return std::nullopt;
}

bool SlaveEnd::ReadUntil(std::uint8_t wanted, Bytes* skipped, milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        const auto byte = ReadByte(std::max(left, milliseconds(0)));
        if (!byte) return false;
        if (*byte == wanted) return true;
        if (skipped) skipped->push_back(*byte);
    }
}

void SlaveEnd::Write(const Bytes& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::write(descriptor_.Get(), bytes.data() + written, bytes.size() - written);
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        ASSERT_GT(count, 0) << std::strerror(errno);
        written += static_cast<std::size_t>(count);
    }
}

// Bytes the board sent before it hung up (announcements) are read and dropped on the way: the
// hang-up shows only once they are gone.
bool SlaveEnd::SeesHangUp(milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd watched{descriptor_.Get(), POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(std::max<long long>(left.count(), 0))) <= 0) break;
        if (watched.revents & POLLHUP) return true;
        std::uint8_t pending[64];
        const ssize_t got = ::read(descriptor_.Get(), pending, sizeof pending);
        if (got == 0 || (got < 0 && errno == EIO)) return true;
    }
    const std::uint8_t byte = 0;
    return ::write(descriptor_.Get(), &byte, 1) < 0 && errno == EIO;
}

HostRun UploadStream(SlaveEnd& slave, const Bytes& stream) {
    HostRun run;
    run.announced = slave.ReadUntil('g', &run.skippedBeforeAnnounce);
    if (!run.announced) return run;
    slave.Write('r');
    for (std::size_t sent = 0; sent < stream.size();) {
        const auto request = slave.ReadByte();
        if (!request) break;
        if (*request == 'g') continue; // announced again before our "r" arrived
        run.requests.push_back(static_cast<char>(*request));
        slave.Write(stream[sent++]);
    }
    if (run.requests.size() == stream.size()) {
        do {
            run.requestAfterStream = slave.ReadByte();
        } while (run.requestAfterStream == 'g');
    }
    return run;
}

Bytes StreamOf(const Bytes& image) {
    Bytes stream = image;
    stream.insert(stream.end(), 63, 0xFF);
    return stream;
}

Bytes PatternImage(std::size_t length) {
    Bytes image(length);
    for (std::size_t i = 0; i < length; ++i)
        image[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return image;
}

} // namespace quorvel::board::testing
