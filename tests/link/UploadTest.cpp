#include "BootloaderLink.h"
#include "FakeBootloaderHost.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace quorvel::link {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeBootloaderHost;

std::vector<std::uint8_t> Bytes(std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    return bytes;
}

std::string Stream(const std::vector<std::uint8_t>& image, int tailBytes = 63) {
    return std::string(image.begin(), image.end()) + std::string(tailBytes, '\xFF');
}

class Upload : public ::testing::Test {
protected:
    // A connected board and a file taken in.
    void Connect(std::vector<std::uint8_t> image) {
        host.image = std::move(image);
        host.gOnAttempt = 2;
        link.ConnectOrDisconnect();
        ASSERT_EQ(host.state, LinkState::Connected);
        host.history.clear();
        host.states.clear();
    }

    FakeBootloaderHost host;
    BootloaderLink link{host, host};
};

TEST(ProgressMaximum, IsThreeAndAHalfPerByteRoundedHalfToEven) {
    const std::pair<long long, int> cases[] = {{0, 0},
                                               {1, 4},
                                               {2, 7},
                                               {3, 10},
                                               {5, 18},
                                               {7, 24},
                                               {9, 32},
                                               {1900000, 6650000},
                                               {0x7FFFFFFF, INT_MAX}};
    for (const auto& [length, maximum] : cases)
        EXPECT_EQ(ProgressMaximumFor(length), maximum) << length;
}

TEST_F(Upload, EvenAndOddImagesSendEveryByteThenTheTail) {
    for (const std::size_t length : {4u, 3u}) {
        SCOPED_TRACE(length);
        FakeBootloaderHost host;
        BootloaderLink link(host, host);
        host.image = Bytes(length);
        host.gOnAttempt = 1;
        link.ConnectOrDisconnect();
        host.history.clear();
        host.states.clear();
        link.BeginOrStopUpload();
        // The board asks for the tail with "x" first after an odd image: a run awaiting the
        // wrong letter would drop the request and time out instead of sending the tail.
        EXPECT_EQ(host.Stream(), Stream(Bytes(length)));
        EXPECT_THAT(host.history, ElementsAre("Uploading...", "Finishing...",
                                              "Completed successfully.", "Disconnected."));
        const std::vector<std::string> even = {"                     yy: A0", "         xx: A1",
                                               "                     yy: A2", "         xx: A3"};
        EXPECT_THAT(host.terminal, ElementsAreArray(even.begin(), even.begin() + length));
        EXPECT_THAT(host.completions, ElementsAre(UploadOutcome::Finished));
        EXPECT_TRUE(host.portOpenAtCompletion) << "the port closes once the dialog is dismissed";
        EXPECT_THAT(host.endings, ElementsAre(UploadOutcome::Finished));
        EXPECT_FALSE(host.portOpen);
        EXPECT_THAT(host.states, ElementsAre(LinkState::Uploading, LinkState::Idle));
        EXPECT_EQ(link.UploadRunning, 0);
        EXPECT_EQ(host.progressPosition, 0);
        EXPECT_EQ(host.progressMaximum, 441);
    }
}

TEST_F(Upload, ProgressStepsOncePerPairThenFillsTheTail) {
    Connect(Bytes(3));
    std::vector<std::pair<int, int>> shown;
    host.onAttempt = [&](long long) {
        shown.emplace_back(host.progressPosition, host.progressMaximum);
    };
    link.BeginOrStopUpload();
    // Image phase: maximum 10, one step of 7 for the one pair; then 0 of 441 and 63 steps.
    EXPECT_EQ(shown.front(), std::make_pair(0, 10));
    EXPECT_NE(std::find(shown.begin(), shown.end(), std::make_pair(7, 10)), shown.end());
    EXPECT_EQ(shown.back(), std::make_pair(434, 441));
}

// Without an image there is nothing to flash: a tail alone would be called a success.
TEST_F(Upload, AnEmptyImageIsRefusedAndNothingIsSent) {
    Connect({});
    link.BeginOrStopUpload();
    EXPECT_EQ(host.Stream(), "");
    EXPECT_THAT(host.history, ElementsAre("Error: Load HEX file first."));
    EXPECT_TRUE(host.completions.empty());
    EXPECT_TRUE(host.endings.empty());
    EXPECT_TRUE(host.portOpen) << "still connected: a file can be loaded and the upload begun";
    EXPECT_TRUE(host.states.empty());
    EXPECT_EQ(link.UploadRunning, 0);
}

TEST_F(Upload, LeftoverCharactersBeforeTheFirstRequestAreDropped) {
    Connect(Bytes(2));
    host.incoming.push_front('g');
    host.incoming.push_front('g');
    link.BeginOrStopUpload();
    EXPECT_EQ(host.Stream(), Stream(Bytes(2)));
}

TEST_F(Upload, PreconditionsAreBothReportedInOrder) {
    link.BeginOrStopUpload();
    EXPECT_THAT(host.history, ElementsAre("Error: Connect first.", "Error: Load HEX file first."));
    EXPECT_TRUE(host.states.empty());
    EXPECT_EQ(link.UploadRunning, 0);
    EXPECT_TRUE(host.endings.empty()) << "no run began, so nothing ends";
}

TEST_F(Upload, ARequestOnTheLastAttemptOfAWaitIsATimeout) {
    Connect(Bytes(2));
    host.requestsLeft = 0; // the board stops asking after "r"
    host.incoming.clear();
    host.onAttempt = [&](long long attempt) {
        if (attempt == 2 + PollLimit) host.incoming.push_back('y'); // the wait's 327,680th attempt
    };
    link.BeginOrStopUpload();
    EXPECT_EQ(host.Stream(), "");
    EXPECT_THAT(host.history,
                ElementsAre("Uploading...", "Error: Timeout waiting for MCU.", "Disconnected."));
    EXPECT_TRUE(host.completions.empty());
    EXPECT_THAT(host.endings, ElementsAre(UploadOutcome::TimedOut));
    EXPECT_FALSE(host.portOpen);
}

TEST_F(Upload, ATimeoutInTheTailComesAfterFinishing) {
    Connect(Bytes(2));
    host.requestsLeft = 2 + 10 - 1; // with the one that came after "r": 2 image and 10 tail bytes
    link.BeginOrStopUpload();
    EXPECT_EQ(host.Stream(), Stream(Bytes(2), 10));
    EXPECT_THAT(host.history, ElementsAre("Uploading...", "Finishing...",
                                          "Error: Timeout waiting for MCU.", "Disconnected."));
    EXPECT_TRUE(host.completions.empty());
}

TEST_F(Upload, StopDuringTheFirstWaitSendsTheWholePairAndReportsAnAbort) {
    Connect(Bytes(3));
    host.incoming.clear(); // the first "y" is late
    host.onAttempt = [&](long long attempt) {
        if (attempt == 100) {
            link.BeginOrStopUpload(); // the nested Stop click
            // No second conversation can start until the run has ended.
            EXPECT_EQ(host.state, LinkState::Stopping);
            link.BeginOrStopUpload(); // a Begin while the stopped run winds down does nothing
            EXPECT_EQ(link.UploadRunning, 0);
        }
    };
    link.BeginOrStopUpload();
    EXPECT_EQ(host.Stream(), std::string("\xA0\xA1", 2));
    EXPECT_THAT(host.terminal, ElementsAre("                     yy: A0", "         xx: A1"));
    EXPECT_THAT(host.history,
                ElementsAre("Uploading...", "Finishing...", "Upload aborted.", "Disconnected."));
    EXPECT_THAT(host.completions, ElementsAre(UploadOutcome::Aborted));
    EXPECT_THAT(host.endings, ElementsAre(UploadOutcome::Aborted));
    EXPECT_THAT(host.states,
                ElementsAre(LinkState::Uploading, LinkState::Stopping, LinkState::Idle));
    EXPECT_FALSE(host.portOpen);
}

// Whoever shows the run hears how it ended, once, after the port was closed: the window ends
// the program there when "Close when finished" is set.
TEST_F(Upload, EveryRunThatBeganEndsOnceWithItsOutcome) {
    enum class End { Success, Stop, Timeout };
    const std::pair<End, UploadOutcome> cases[] = {{End::Success, UploadOutcome::Finished},
                                                   {End::Stop, UploadOutcome::Aborted},
                                                   {End::Timeout, UploadOutcome::TimedOut}};
    for (const auto& [end, outcome] : cases) {
        SCOPED_TRACE(static_cast<int>(end));
        FakeBootloaderHost host;
        BootloaderLink link(host, host);
        host.image = Bytes(4);
        host.gOnAttempt = 1;
        link.ConnectOrDisconnect();
        if (end == End::Timeout) host.requestsLeft = 2;
        if (end == End::Stop)
            host.onAttempt = [&](long long attempt) {
                if (attempt == 5) link.BeginOrStopUpload();
            };
        link.BeginOrStopUpload();
        EXPECT_THAT(host.endings, ElementsAre(outcome));
        EXPECT_FALSE(host.portOpen);
    }
}

// Wherever a read or a write fails, the run ends as a timeout does: idle, port closed, the
// next click connects. The error goes on to be reported; "Close when finished" does not
// take its report away.
TEST_F(Upload, ASerialErrorEndsTheRunAndLeavesTheWindowIdle) {
    struct Case {
        const char* name;
        int failWriteAfter;
        long long failReadOnAttempt;
    } const cases[] = {{"WriteOfAnImageByte", 5, -1},
                       {"WriteOfATailByte", 8 + 3, -1},
                       {"ReadOfARequest", -1, 2 + 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeBootloaderHost host;
        BootloaderLink link(host, host);
        host.image = Bytes(8);
        host.gOnAttempt = 1;
        link.ConnectOrDisconnect();
        host.history.clear();
        host.failWriteAfter = c.failWriteAfter;
        host.onAttempt = [&](long long attempt) {
            if (attempt == c.failReadOnAttempt) throw std::runtime_error("device gone");
        };
        EXPECT_THROW(link.BeginOrStopUpload(), std::runtime_error);
        EXPECT_FALSE(host.portOpen);
        EXPECT_EQ(link.UploadRunning, 0);
        EXPECT_EQ(host.state, LinkState::Idle);
        EXPECT_EQ(host.progressPosition, 0);
        EXPECT_EQ(host.history.front(), "Uploading...");
        EXPECT_EQ(host.history.back(), "Disconnected.");
        EXPECT_EQ(std::count(host.history.begin(), host.history.end(), "Completed successfully."),
                  0);
        EXPECT_TRUE(host.completions.empty());
        EXPECT_THAT(host.endings, ElementsAre(UploadOutcome::LineFailed));

        host.onAttempt = nullptr;
        host.failWriteAfter = -1;
        host.gOnAttempt = 3;
        host.boardAnswersRequests = false;
        link.ConnectOrDisconnect(); // one click connects again
        EXPECT_EQ(host.state, LinkState::Connected);
    }
}

TEST_F(Upload, AStopRequestEndsTheRunAsAStopDoes) {
    Connect(Bytes(100));
    host.onAttempt = [&](long long attempt) {
        if (attempt == 20) host.stopRequested = true;
    };
    link.BeginOrStopUpload();
    EXPECT_LT(host.Stream().size(), 100u);
    EXPECT_EQ(host.Stream().size() % 2, 0u) << "the pair in flight is finished";
    EXPECT_THAT(host.endings, ElementsAre(UploadOutcome::Aborted));
    EXPECT_FALSE(host.portOpen);
}

TEST_F(Upload, AnImageThatShrinksDuringTheRunIsNeverReadPastItsEnd) {
    Connect(Bytes(10));
    host.onAttempt = [&](long long attempt) {
        if (attempt == 6) host.image.resize(3);
    };
    link.BeginOrStopUpload();
    EXPECT_EQ(host.Stream().substr(0, 3), std::string("\xA0\xA1\xA2", 3));
    EXPECT_FALSE(host.portOpen);
}

// A host whose read attempts block for a slice limits its waits by time, not by attempts: the
// link asks the limit after every attempt and tells it which wait begins.
TEST(WaitLimits, EndEachWaitTheirOwnWay) {
    struct ShortLimit : WaitLimit {
        std::vector<Wait> begun;
        int attemptsAllowed = 0;
        void Begin(Wait wait) override {
            begun.push_back(wait);
            attemptsAllowed = wait == Wait::Bootloader ? 5 : 3;
        }
        bool Reached(int pollCount) override { return pollCount >= attemptsAllowed; }
    };
    ShortLimit limit;
    FakeBootloaderHost host;
    BootloaderLink link(host, host);
    link.SetWaitLimit(limit);
    host.gOnAttempt = 6; // one attempt too late
    link.ConnectOrDisconnect();
    EXPECT_EQ(host.attempts, 5);
    EXPECT_EQ(host.state, LinkState::Idle);

    host.gOnAttempt = 5; // the last attempt allowed brings it: a timeout all the same
    link.ConnectOrDisconnect();
    EXPECT_EQ(host.state, LinkState::Idle);

    host.gOnAttempt = 2;
    link.ConnectOrDisconnect();
    ASSERT_EQ(host.state, LinkState::Connected);
    host.image = Bytes(4);
    host.requestsLeft = 1; // with the one after "r": two image bytes, then silence
    link.BeginOrStopUpload();
    EXPECT_EQ(host.Stream(), std::string("\xA0\xA1", 2));
    EXPECT_EQ(host.history[host.history.size() - 2], "Error: Timeout waiting for MCU.");
    EXPECT_EQ(host.attempts, 2 + 1 + 1 + 3) << "the third wait gave up after three attempts";
    EXPECT_EQ(limit.begun.back(), WaitLimit::Wait::Request);
    EXPECT_EQ(std::count(limit.begun.begin(), limit.begun.end(), WaitLimit::Wait::Bootloader), 3);
}

} // namespace
} // namespace quorvel::link
