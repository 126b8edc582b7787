// One-byte request and answer through a pseudo-terminal pair, as the upload runs it: the board
// (a thread on the master end) sends a request byte and waits for the answer; our end polls
// with ReadText and answers with WriteBytes. The same exchange with a bare read/write loop on
// the same line, in the same run, is the yardstick. Also: the cost of one empty read attempt.
#include "CPort.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace quorvel::serial;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRoundTrips = 10000;
constexpr int kRounds = 5;
constexpr int kEmptyReads = 1000000;

// The board: `count` times, send a request and wait for its answer.
void Board(int master, int count) {
    for (int index = 0; index < count; ++index) {
        const char request = (index & 1) ? 'x' : 'y';
        if (write(master, &request, 1) != 1) return;
        char answer;
        if (read(master, &answer, 1) != 1) return;
    }
}

// Runs `count` exchanges with `answerOne` on our end; gives nanoseconds per round trip.
double TimeRoundTrips(int master, int count, const std::function<void()>& answerOne) {
    const auto start = Clock::now();
    std::thread board(Board, master, count);
    for (int index = 0; index < count; ++index)
        answerOne();
    board.join();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / count;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void PortAnswer(TComPort& port) {
    QString text;
    while (port.ReadText(text, 1) == 0) {
    }
    const char answer = 0x5A;
    port.WriteBytes(&answer, 1);
}

void BareAnswer(int fd) {
    char request;
    for (;;) {
        const ssize_t got = read(fd, &request, 1);
        if (got == 1) break;
        if (got < 0 && errno != EAGAIN && errno != EINTR) return;
    }
    const char answer = 0x5A;
    while (write(fd, &answer, 1) != 1) {
    }
}

template <typename Attempt> double TimeEmptyReads(Attempt attempt) {
    const auto start = Clock::now();
    for (int index = 0; index < kEmptyReads; ++index)
        attempt();
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kEmptyReads;
}

} // namespace

int main() {
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }

    // The window's port: 115200 baud, software flow control, 2048-byte queues.
    TComPort port;
    port.SetPort(QString::fromLocal8Bit(name));
    port.SetBaudRate(br115200);
    port.FlowControl()->SetFlowControl(fcSoftware);
    port.Buffer()->SetInputSize(2048);
    port.Buffer()->SetOutputSize(2048);
    port.SetConnected(true);
    // The bare loop runs on the same line, so with the same settings; only the calls differ.
    fcntl(slave, F_SETFL, fcntl(slave, F_GETFL) | O_NONBLOCK);

    TComLink receiveLamp; // a lamp that hears every empty read, as the window's does
    receiveLamp.OnRx = [](bool) {};

    std::vector<double> portTimes, bareTimes, lampTimes;
    const auto bare = [&] {
        bareTimes.push_back(TimeRoundTrips(master, kRoundTrips, [&] { BareAnswer(slave); }));
    };
    const auto plain = [&] {
        portTimes.push_back(TimeRoundTrips(master, kRoundTrips, [&] { PortAnswer(port); }));
    };
    for (int round = 0; round < kRounds; ++round) {
        // Alternating who goes first keeps a drift of the machine out of the ratio.
        if (round % 2 == 0) {
            bare();
            plain();
        } else {
            plain();
            bare();
        }
        port.AddLink(&receiveLamp);
        lampTimes.push_back(TimeRoundTrips(master, kRoundTrips, [&] { PortAnswer(port); }));
        port.RemoveLink(&receiveLamp);
    }
    const double portTrip = Median(portTimes), bareTrip = Median(bareTimes);
    const double lampTrip = Median(lampTimes);

    QString text;
    char byte;
    const double portEmpty = TimeEmptyReads([&] { port.ReadText(text, 1); });
    port.AddLink(&receiveLamp);
    const double lampEmpty = TimeEmptyReads([&] { port.ReadText(text, 1); });
    port.RemoveLink(&receiveLamp);
    const double bareEmpty = TimeEmptyReads([&] {
        if (read(slave, &byte, 1) < 0 && errno != EAGAIN) std::abort();
    });

    std::printf("serial round trip, one byte each way through a pseudo-terminal pair "
                "(median of %d rounds of %d):\n",
                kRounds, kRoundTrips);
    std::printf("  port (ReadText polling + WriteBytes): %8.2f us\n", portTrip / 1000);
    std::printf("  port with a receive lamp link:        %8.2f us\n", lampTrip / 1000);
    std::printf("  bare read/write loop:                 %8.2f us\n", bareTrip / 1000);
    std::printf("  ratio port / bare:                    %8.3f (goal: at most 1.5)\n",
                portTrip / bareTrip);
    std::printf("  ratio port with lamp / bare:          %8.3f\n", lampTrip / bareTrip);
    std::printf("one empty read attempt (mean of %d):\n", kEmptyReads);
    std::printf("  port ReadText:                        %8.3f us\n", portEmpty / 1000);
    std::printf("  port ReadText with a receive lamp:    %8.3f us\n", lampEmpty / 1000);
    std::printf("  bare read:                            %8.3f us\n", bareEmpty / 1000);

    port.SetConnected(false);
    close(slave);
    close(master);
    return 0;
}
