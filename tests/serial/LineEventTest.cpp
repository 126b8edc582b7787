// The event thread on a real pseudo-terminal: when it runs, what it hands over, how it ends.

#include "DeadlockWatch.h"
#include "ProcessUntil.h"
#include "PseudoTerminalPair.h"

#include "CPort.h"

#include <QDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvel::serial::testing {
namespace {

using quorvel::testing::kPatience;
using quorvel::testing::ProcessUntil;
using quorvel::testing::PseudoTerminalPair;

const TComEvents kWindowEvents{evRxChar, evTxEmpty, evRxFlag};

int OpenDescriptors() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                                .size());
}

class LineEvents : public ::testing::Test {
protected:
    LineEvents() {
        port.SetPort(pty.SlavePath());
        port.SetEvents(kWindowEvents);
        link.OnRx = [this](bool on) { seen.push_back(on ? "Rx on" : "Rx off"); };
        link.OnTx = [this](bool on) { seen.push_back(on ? "Tx on" : "Tx off"); };
        link.OnTxEmpty = [this] { seen.push_back("TxEmpty"); };
        port.AddLink(&link);
        port.OnRxChar = [this](QObject*, int count) {
            seen.push_back("RxChar " + std::to_string(count));
        };
        port.OnTxEmpty = [this](QObject*) { ++txEmpty; };
    }
    ~LineEvents() override {
        port.OnRxChar = nullptr;
        port.OnTxEmpty = nullptr;
        port.SetConnected(false);
        port.RemoveLink(&link);
    }

    bool Seen(const std::string& what) const {
        return std::find(seen.begin(), seen.end(), what) != seen.end();
    }

    PseudoTerminalPair pty;
    TComPort port;
    TComLink link;
    std::vector<std::string> seen;
    int txEmpty = 0;
};

TEST_F(LineEvents, AThreadRunsOnlyWhileAnOpenPortWatchesEvents) {
    struct Case {
        TComEvents events;
        bool thread;
    };
    for (const Case& each : {Case{{}, false}, Case{kWindowEvents, true},
                             Case{TComEvents::All(), true}, Case{{evRing}, true}}) {
        port.SetEvents(each.events);
        EXPECT_EQ(port.EventThread(), nullptr);
        port.SetConnected(true);
        EXPECT_EQ(port.EventThread() != nullptr, each.thread) << EventsToMask(each.events);
        port.SetConnected(false);
        EXPECT_EQ(port.EventThread(), nullptr);
    }
}

TEST_F(LineEvents, AByteThatArrivesIsReportedAndStaysQueuedForTheReads) {
    port.SetConnected(true);
    pty.Send("g");
    ASSERT_TRUE(ProcessUntil([&] { return Seen("RxChar 1"); }));
    EXPECT_TRUE(Seen("Rx on"));
    QString text;
    EXPECT_EQ(port.ReadText(text, 1), 1);
    EXPECT_EQ(text, "g");
    EXPECT_EQ(seen.back(), "Rx off");
}

TEST_F(LineEvents, AWriteIsFollowedByTransmissionOffWhenTheOutputHasGone) {
    port.SetConnected(true);
    port.WriteText(QStringLiteral("r"));
    ASSERT_TRUE(ProcessUntil([&] { return txEmpty == 1; }));
    const std::vector<std::string> expected = {"Tx on", "Tx off", "TxEmpty"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(pty.Receive(1), "r");
}

TEST_F(LineEvents, AnErrorInTheProcessingEndsTheThreadSilentlyAndTheCloseCompletes) {
    port.OnTxEmpty = [this](QObject*) {
        ++txEmpty;
        throw EComPort(CError_ClearComFailed, 5);
    };
    port.SetConnected(true);
    const TComThread* thread = port.EventThread();
    ASSERT_NE(thread, nullptr);
    port.WriteText(QStringLiteral("r"));
    EXPECT_NO_THROW(ASSERT_TRUE(ProcessUntil([&] { return thread->isFinished(); })));
    EXPECT_EQ(txEmpty, 1);
    EXPECT_TRUE(port.Connected());
    port.WriteText(QStringLiteral("r")); // nobody watches any more
    DeadlockWatch watch;
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(txEmpty, 1);
}

TEST_F(LineEvents, ACloseWhileTheThreadWaitsInAHandOverRunsItAndCompletes) {
    port.SetConnected(true);
    const TComThread* thread = port.EventThread();
    port.WriteText(QStringLiteral("r"));
    // No messages are processed here: the thread stays blocked in its hand-over.
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (!thread->Events().Contains(evTxEmpty) && std::chrono::steady_clock::now() < deadline)
        QThread::usleep(200);
    ASSERT_TRUE(thread->Events().Contains(evTxEmpty));
    DeadlockWatch watch;
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(txEmpty, 1);
}

TEST_F(LineEvents, AClosedFromInsideAHandOverCompletesAndThePortOpensAgain) {
    port.OnRxChar = [this](QObject*, int) { port.SetConnected(false); };
    port.SetConnected(true);
    pty.Send("g");
    {
        DeadlockWatch watch;
        ASSERT_TRUE(ProcessUntil([&] { return !port.Connected(); }));
    }
    port.OnRxChar = nullptr;
    port.SetConnected(true); // the device is free again
    EXPECT_TRUE(port.Connected());
    port.WriteText(QStringLiteral("r"));
    EXPECT_TRUE(ProcessUntil([&] { return txEmpty == 1; }));
}

TEST_F(LineEvents, AThousandOpeningsAndClosingsLeaveNoThreadOrDescriptorBehind) {
    port.SetConnected(true);
    port.SetConnected(false);
    const int before = OpenDescriptors();
    DeadlockWatch watch(std::chrono::seconds(120));
    for (int round = 0; round < 1000; ++round) {
        port.SetConnected(true);
        ASSERT_NE(port.EventThread(), nullptr);
        port.WriteBytes("y", 1); // often closed with a hand-over pending
        if (round % 2 == 0) QCoreApplication::processEvents();
        port.SetConnected(false);
        ASSERT_FALSE(port.Connected());
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

} // namespace
} // namespace quorvel::serial::testing
