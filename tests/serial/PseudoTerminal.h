#pragma once
// A real pseudo-terminal pair: the port opens the slave by its path, the test holds the master
// and plays the board.

#include <gtest/gtest.h>

#include <QString>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <unistd.h>

namespace quorvel::serial::testing {

// Allow the other end of a pseudo-terminal at least this long: round trips stall at times.
constexpr auto kPatience = std::chrono::seconds(2);

class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty: " << errno;
            return;
        }
        slavePath_ = QString::fromLocal8Bit(name);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PseudoTerminal() {
        CloseMaster();
        if (slave_ >= 0) close(slave_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const QString& SlavePath() const { return slavePath_; }
    int Slave() const { return slave_; }
    int Master() const { return master_; }

    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

    void Send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t sent = write(master_, bytes.data() + done, bytes.size() - done);
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
                read(master_, buffer, std::min(sizeof buffer, count - bytes.size()));
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
        pollfd entry{master_, events, 0};
        return poll(&entry, 1, static_cast<int>(patience.count())) > 0;
    }

    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

} // namespace quorvel::serial::testing
