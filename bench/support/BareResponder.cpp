#include "BareResponder.h"

#include "BackgroundBoard.h"
#include "UniqueDescriptor.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace quorvel::bench {

namespace {

using namespace std::chrono_literals;

// Reads one byte, waiting at most a second; -1 when none came.
int ReadByte(int descriptor) {
    pollfd watched{descriptor, POLLIN, 0};
    std::uint8_t byte = 0;
    while (::poll(&watched, 1, 1000) > 0) {
        const ssize_t count = ::read(descriptor, &byte, 1);
        if (count == 1) return byte;
        if (count == 0 || (errno != EAGAIN && errno != EINTR)) return -1;
    }
    return -1;
}

} // namespace

board::BoardResult UploadWithBareResponder(unsigned baudRate, std::size_t imageLength) {
    board::BoardOptions options;
    options.baudRate = baudRate;
    options.silence = 1000ms;
    board::BackgroundBoard board(options);
    const common::UniqueDescriptor slave(
        ::open(board.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
    if (!slave) {
        std::perror(board.SlavePath().c_str());
        std::exit(1);
    }
    termios settings{};
    ::tcgetattr(slave.Get(), &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave.Get(), TCSANOW, &settings);
    while (ReadByte(slave.Get()) != 'g') {
    }
    const std::uint8_t answer = 'r';
    (void)!::write(slave.Get(), &answer, 1);
    const std::size_t total = imageLength + board::kTailLength;
    for (std::size_t sent = 0; sent < total;) {
        const int request = ReadByte(slave.Get());
        if (request < 0) break;
        if (request == 'g') continue;
        const std::uint8_t byte = sent < imageLength ? static_cast<std::uint8_t>(sent) : 0xFF;
        if (::write(slave.Get(), &byte, 1) == 1) ++sent;
    }
    ReadByte(slave.Get()); // the request after the tail: the board has taken every byte
    return board.Stop();
}

} // namespace quorvel::bench
