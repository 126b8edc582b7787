#include "BootloaderLink.h"
#include "FakeBootloaderHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvel::link {
namespace {

using ::testing::ElementsAre;
using testing::FakeBootloaderHost;

class Handshake : public ::testing::Test {
protected:
    FakeBootloaderHost host;
    BootloaderLink link{host, host};
};

TEST_F(Handshake, AGOnTheLastAllowedAttemptConnectsAndOneLaterTimesOut) {
    struct Case {
        long long gOnAttempt;
        bool connects;
    } const cases[] = {{1, true}, {PollLimit - 1, true}, {PollLimit, false}, {-1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gOnAttempt);
        FakeBootloaderHost host;
        BootloaderLink link(host, host);
        host.terminal = {"old echo"};
        host.gOnAttempt = c.gOnAttempt;
        link.ConnectOrDisconnect();
        EXPECT_EQ(host.portOpen, c.connects);
        EXPECT_EQ(host.written, c.connects ? "r" : "");
        EXPECT_THAT(host.states, ElementsAre(LinkState::WaitingForBootloader,
                                             c.connects ? LinkState::Connected : LinkState::Idle));
        EXPECT_EQ(host.history.back(), c.connects ? "Connected." : "Disconnected.");
        EXPECT_EQ(host.history.front(), "Waiting MCU response...");
        EXPECT_EQ(host.terminal.empty(), c.connects); // a timeout keeps the terminal log
        EXPECT_EQ(host.attempts, c.connects ? c.gOnAttempt : PollLimit);
    }
}

TEST_F(Handshake, NoiseIsDroppedAndWhatCameBeforeThePurgeIsGone) {
    host.incoming = {'g', 'g'}; // already queued when the user clicks: purged
    host.onAttempt = [this](long long attempt) {
        if (attempt == 1) host.incoming = {'\0', 'G', 'x', 'g'};
    };
    link.ConnectOrDisconnect();
    EXPECT_EQ(host.written, "r");
    EXPECT_EQ(link.PollCount, 4);
}

TEST_F(Handshake, AFailedOpenWritesOneLineAndChangesNothingElse) {
    for (const std::string name : {"ttyUSB0", ""}) {
        FakeBootloaderHost host;
        BootloaderLink link(host, host);
        host.openFails = true;
        host.portName = name;
        link.ConnectOrDisconnect();
        EXPECT_THAT(host.history, ElementsAre("Unable to open COM port: " + name + "."));
        EXPECT_TRUE(host.states.empty()) << "the window keeps its captions and buttons";
    }
}

// A failure after the device itself opened would otherwise leave it open behind "Connect".
TEST_F(Handshake, AnOpenThatFailsAfterTheDeviceOpenedClosesItAgain) {
    host.openFailsAfterOpening = true;
    link.ConnectOrDisconnect();
    EXPECT_THAT(host.history, ElementsAre("Unable to open COM port: ttyUSB0."));
    EXPECT_FALSE(host.portOpen);
    EXPECT_TRUE(host.states.empty());
}

TEST_F(Handshake, ClickWhileConnectedDisconnectsAndSendsNothing) {
    host.gOnAttempt = 3;
    link.ConnectOrDisconnect();
    host.terminal = {"echo"};
    link.ConnectOrDisconnect();
    EXPECT_FALSE(host.portOpen);
    EXPECT_EQ(host.written, "r");
    EXPECT_EQ(host.state, LinkState::Idle);
    EXPECT_TRUE(host.terminal.empty());
    EXPECT_THAT(host.history,
                ElementsAre("Waiting MCU response...", "Connected.", "Disconnected."));
}

TEST_F(Handshake, ANestedDisconnectDuringThePollEndsIt) {
    host.onAttempt = [this](long long attempt) {
        // No upload can start inside the poll.
        EXPECT_EQ(host.state, LinkState::WaitingForBootloader);
        if (attempt == 1000) link.ConnectOrDisconnect();
    };
    host.gOnAttempt = 5000;
    link.ConnectOrDisconnect();
    EXPECT_FALSE(host.portOpen);
    EXPECT_EQ(host.attempts, 1000);
    EXPECT_EQ(host.written, "");
    EXPECT_EQ(host.state, LinkState::Idle);
    EXPECT_EQ(host.terminalClears, 1);
    EXPECT_THAT(host.history, ElementsAre("Waiting MCU response...", "Disconnected."));
}

// Wherever the line fails, the handshake ends as a poll without "g" does, and the error goes
// on to be reported.
TEST_F(Handshake, ASerialErrorEndsItWithThePortClosedAndTheWindowIdle) {
    enum class Failing { Purge, Poll, Answer };
    for (const Failing failing : {Failing::Purge, Failing::Poll, Failing::Answer}) {
        SCOPED_TRACE(static_cast<int>(failing));
        FakeBootloaderHost host;
        BootloaderLink link(host, host);
        host.gOnAttempt = 20;
        host.purgeFails = failing == Failing::Purge;
        host.answerWriteFails = failing == Failing::Answer;
        if (failing == Failing::Poll)
            host.onAttempt = [](long long attempt) {
                if (attempt == 10) throw std::runtime_error("device gone");
            };
        EXPECT_THROW(link.ConnectOrDisconnect(), std::runtime_error);
        EXPECT_FALSE(host.portOpen);
        EXPECT_EQ(host.state, LinkState::Idle);
        EXPECT_EQ(host.history.back(), "Disconnected.");

        host.purgeFails = host.answerWriteFails = false;
        host.onAttempt = nullptr;
        host.gOnAttempt = 5;
        link.ConnectOrDisconnect(); // one click connects again
        EXPECT_EQ(host.state, LinkState::Connected);
        EXPECT_EQ(host.written, "r");
    }
}

TEST_F(Handshake, AStopRequestDuringThePollClosesThePort) {
    host.onAttempt = [this](long long attempt) {
        if (attempt == 50) host.stopRequested = true;
    };
    link.ConnectOrDisconnect();
    EXPECT_FALSE(host.portOpen);
    EXPECT_EQ(host.attempts, 50);
    EXPECT_EQ(host.written, "");
    EXPECT_EQ(host.state, LinkState::Idle);
}

} // namespace
} // namespace quorvel::link
