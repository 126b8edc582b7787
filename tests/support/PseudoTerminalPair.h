#pragma once
// A real pseudo-terminal pair, both ends held open: the port under test opens the slave by its
// path, the test holds the master and plays the board.

#include "Patience.h"
#include "UniqueDescriptor.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

namespace quorvel::testing {

class PseudoTerminalPair {
public:
    PseudoTerminalPair() {
        char name[256] = {};
        int master = -1, slave = -1;
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty: " << errno;
            return;
        }
        master_ = common::UniqueDescriptor(master);
        slave_ = common::UniqueDescriptor(slave);
        slavePath_ = QString::fromLocal8Bit(name);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    }

    const QString& SlavePath() const { return slavePath_; }
    int Slave() const { return slave_.Get(); }
    int Master() const { return master_.Get(); }

    void CloseMaster() { master_.Close(); }

    void Send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t sent = write(master_.Get(), bytes.data() + done, bytes.size() - done);
            if (sent > 0) {
                done += static_cast<std::size_t>(sent);
            } else if (sent < 0 && errno != EAGAIN && errno != EINTR) {
                ADD_FAILURE() << "master write: " << errno;
                return;
            } else {
                WaitFor(POLLOUT, kPatience);
            }
        }
    }

    // What arrives at the master until `count` bytes are there or `patience` passes.
    std::string Receive(std::size_t count, std::chrono::milliseconds patience = kPatience) {
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (bytes.size() < count) {
            char buffer[256];
            const ssize_t got =
                read(master_.Get(), buffer, std::min(sizeof buffer, count - bytes.size()));
            if (got > 0) {
                bytes.append(buffer, static_cast<std::size_t>(got));
                continue;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !WaitFor(POLLIN, left)) break;
        }
        return bytes;
    }

private:
    bool WaitFor(short events, std::chrono::milliseconds patience) {
        pollfd entry{master_.Get(), events, 0};
        return poll(&entry, 1, static_cast<int>(patience.count())) > 0;
    }

    // Members go in reverse: the master closes first.
    common::UniqueDescriptor slave_;
    common::UniqueDescriptor master_;
    QString slavePath_;
};

} // namespace quorvel::testing
