// The virtual board as a host sees it: through the real slave end of its pseudo-terminal.

#include "BackgroundBoard.h"
#include "HexText.h"
#include "SlaveEnd.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace quorvel::board {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::kPatience;
using testing::PatternImage;
using testing::SlaveEnd;
using testing::StreamOf;
using testing::UploadStream;

// Unpaced, with a silence long enough for a stalled round trip.
BoardOptions Quick() {
    BoardOptions options;
    options.baudRate = 0;
    options.silence = 1000ms;
    return options;
}

// The requests the board must make for a stream of `length` bytes.
std::string AlternatingRequests(std::size_t length) {
    std::string requests;
    for (std::size_t i = 0; i < length; ++i)
        requests += i % 2 == 0 ? 'y' : 'x';
    return requests;
}

struct UploadCase {
    const char* name;
    std::size_t imageLength;
    AnnounceMode announce;
    unsigned baudRate;
};

void PrintTo(const UploadCase& c, std::ostream* os) {
    *os << c.name;
}

class Upload : public ::testing::TestWithParam<UploadCase> {};

TEST_P(Upload, ReceivesTheWholeStreamOnAlternatingRequests) {
    const UploadCase& c = GetParam();
    BoardOptions options = Quick();
    options.announceMode = c.announce;
    options.baudRate = c.baudRate;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    const Bytes image = PatternImage(c.imageLength);
    const Bytes stream = StreamOf(image);

    const auto host = UploadStream(slave, stream);
    ASSERT_TRUE(host.announced);
    EXPECT_EQ(host.requests, AlternatingRequests(stream.size()));
    // The board goes on asking until the line falls silent.
    EXPECT_EQ(host.requestAfterStream, stream.size() % 2 == 0 ? 'y' : 'x');
    const BoardResult result = board.Stop();

    EXPECT_TRUE(result.handshakeDone);
    EXPECT_EQ(result.stream, stream);
    EXPECT_EQ(result.Image(), image);
    EXPECT_TRUE(result.TailOk());
    EXPECT_EQ(result.unexpectedBytes, 0u);
    EXPECT_EQ(result.requests, stream.size() + 1);
    EXPECT_EQ(result.endReason, EndReason::Stopped);
}

INSTANTIATE_TEST_SUITE_P(
    Images, Upload,
    ::testing::Values(UploadCase{"Empty", 0, AnnounceMode::Repeat, 0},
                      UploadCase{"OneByte", 1, AnnounceMode::Repeat, 0},
                      UploadCase{"EvenLength", 64, AnnounceMode::Repeat, 0},
                      UploadCase{"OddLength", 65, AnnounceMode::Repeat, 0},
                      UploadCase{"EveryByteValue", 1000, AnnounceMode::Repeat, 0},
                      UploadCase{"AnnouncedOnceEven", 10, AnnounceMode::Once, 0},
                      UploadCase{"AnnouncedOnceOdd", 11, AnnounceMode::Once, 0},
                      UploadCase{"PacedEven", 40, AnnounceMode::Repeat, 1'000'000},
                      UploadCase{"PacedOdd", 41, AnnounceMode::Once, 1'000'000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Announcement, RepeatsUntilTheAnswerComes) {
    BackgroundBoard board(Quick());
    SlaveEnd slave(board.SlavePath());
    for (int announcement = 0; announcement < 3; ++announcement)
        ASSERT_EQ(slave.ReadByte(), 'g') << "announcement " << announcement;
    slave.Write('r');
    ASSERT_TRUE(slave.ReadUntil('y')); // leftover "g"s may come first
    EXPECT_GE(board.Stop().announcements, 3u);
}

TEST(Announcement, OnceSaysItOnlyOnce) {
    BoardOptions options = Quick();
    options.announceMode = AnnounceMode::Once;
    options.announceInterval = 1ms;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    ASSERT_EQ(slave.ReadByte(), 'g');
    EXPECT_EQ(slave.ReadByte(300ms), std::nullopt);
    slave.Write('r');
    EXPECT_EQ(slave.ReadByte(), 'y');
    EXPECT_EQ(board.Stop().announcements, 1u);
}

TEST(Announcement, NoiseComesBeforeTheFirstAnnouncement) {
    BoardOptions options = Quick();
    options.noise = {0x00, 'q', 0x13, 0x11, '\r', '\n', 0xFF};
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    const auto host = UploadStream(slave, StreamOf({1, 2, 3}));
    EXPECT_EQ(host.skippedBeforeAnnounce, options.noise);
    EXPECT_EQ(board.Stop().Image(), Bytes({1, 2, 3}));
}

TEST(Announcement, WaitsTheStartDelayAfterTheSlaveIsOpened) {
    BoardOptions options = Quick();
    options.startDelay = 300ms;
    BackgroundBoard board(options);
    // Nobody listens yet, so the delay has not begun. Time passing with nobody on the line is the
    // point, and the board shows nothing meanwhile: a bounded wait, with no condition to wait on.
    std::this_thread::sleep_for(100ms);
    SlaveEnd slave(board.SlavePath());
    const auto openedAt = std::chrono::steady_clock::now();
    ASSERT_EQ(slave.ReadByte(), 'g');
    EXPECT_GE(std::chrono::steady_clock::now() - openedAt, 290ms);
}

TEST(Announcement, StartsAgainWhenTheSlaveIsReopenedBeforeTheAnswer) {
    BoardOptions options = Quick();
    options.announceMode = AnnounceMode::Once;
    options.noise = {'#'};
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    ASSERT_EQ(slave.ReadByte(), '#');
    ASSERT_EQ(slave.ReadByte(), 'g');
    slave.Close();
    // The host stays away a while: the board can learn of it only while the slave is closed,
    // and must wait for the host to come back rather than end.
    EXPECT_FALSE(board.WaitFor(100ms)) << "the board ended when the host closed the slave";
    slave.Reopen();
    const auto host = UploadStream(slave, StreamOf({7, 8}));
    EXPECT_EQ(host.skippedBeforeAnnounce, Bytes{'#'});
    const BoardResult result = board.Stop();
    EXPECT_EQ(result.Image(), Bytes({7, 8}));
    EXPECT_EQ(result.announcements, 2u);
}

TEST(Announcement, StopBeforeAnyoneOpensTheSlaveEndsAtOnce) {
    BackgroundBoard board(Quick());
    // Nobody opens the slave for a while, and the board waits for someone without end.
    EXPECT_FALSE(board.WaitFor(50ms)) << "the board ended with nobody on the line";
    const BoardResult result = board.Stop();
    EXPECT_EQ(result.endReason, EndReason::Stopped);
    EXPECT_EQ(result.announcements, 0u);
    EXPECT_FALSE(result.handshakeDone);
}

TEST(Violations, BytesNobodyAskedForAreCountedAndNotTaken) {
    BackgroundBoard board(Quick());
    SlaveEnd slave(board.SlavePath());
    ASSERT_TRUE(slave.ReadUntil('g'));
    slave.Write({'z', 'q', 'r'}); // two before the answer
    ASSERT_TRUE(slave.ReadUntil('y'));
    slave.Write({0x10, 0x20, 0x30}); // three bytes for one request
    ASSERT_EQ(slave.ReadByte(), 'x');
    slave.Write(0x40);
    ASSERT_EQ(slave.ReadByte(), 'y');
    const BoardResult result = board.Stop();
    EXPECT_EQ(result.stream, Bytes({0x10, 0x40}));
    EXPECT_EQ(result.unexpectedBytes, 4u);
}

TEST(Violations, ABytePutInDuringTheFlashPauseIsNotTakenAsTheNextAnswer) {
    BoardOptions options = Quick();
    options.flashPause = 200ms;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    ASSERT_TRUE(slave.ReadUntil('g'));
    slave.Write('r');
    const Bytes block = PatternImage(64);
    for (std::size_t i = 0; i < block.size(); ++i) {
        ASSERT_TRUE(slave.ReadUntil(i % 2 == 0 ? 'y' : 'x')) << i;
        slave.Write(block[i]);
    }
    // So that the board has taken byte 63 on its own and 0xEE comes during the pause. Nothing on
    // the line shows that a byte was taken, so this is a bounded wait, well inside the pause.
    std::this_thread::sleep_for(50ms);
    slave.Write(0xEE); // nobody asked: the board is writing its flash
    ASSERT_EQ(slave.ReadByte(), 'y');
    slave.Write(0x42);
    ASSERT_EQ(slave.ReadByte(), 'x');
    const BoardResult result = board.Stop();
    Bytes expected = block;
    expected.push_back(0x42);
    EXPECT_EQ(result.stream, expected);
    EXPECT_EQ(result.unexpectedBytes, 1u);
}

TEST(Violations, AHostThatSkipsTheTailIsReported) {
    BackgroundBoard board(Quick());
    SlaveEnd slave(board.SlavePath());
    Bytes stream = StreamOf(PatternImage(20));
    stream[stream.size() - 5] = 0x00;
    UploadStream(slave, stream);
    const BoardResult result = board.Stop();
    EXPECT_FALSE(result.TailOk());
    EXPECT_EQ(result.FirstBadTailOffset(), stream.size() - 5);
    EXPECT_NE(SummaryLine(result).find("tail bad"), std::string::npos);
}

TEST(Ending, ASilentLineEndsTheRun) {
    BoardOptions options = Quick();
    options.silence = 300ms;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    UploadStream(slave, {5, 6, 7});
    const auto result = board.WaitFor(options.silence + kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->endReason, EndReason::Silence);
    EXPECT_EQ(result->stream, Bytes({5, 6, 7}));
    EXPECT_FALSE(result->TailOk());
}

TEST(Ending, TheFirstRequestMayWaitLongerThanTheSilence) {
    BoardOptions options = Quick();
    options.silence = 200ms;
    options.firstAnswerWait = 5000ms;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    ASSERT_TRUE(slave.ReadUntil('g'));
    slave.Write('r');
    ASSERT_EQ(slave.ReadByte(), 'y');
    // Someone has yet to click: a stretch of silence longer than the silence time is the point,
    // so it is a bounded wait.
    std::this_thread::sleep_for(3 * options.silence);
    slave.Write(0x42);
    ASSERT_EQ(slave.ReadByte(), 'x');
    const auto result = board.WaitFor(options.silence + kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->endReason, EndReason::Silence);
    EXPECT_EQ(result->stream, Bytes({0x42}));
}

TEST(Ending, StopsAskingAfterTheRequestLimitAndEndsWhenTheSlaveCloses) {
    BoardOptions options = Quick();
    options.stopAfter = 5;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    const auto host = UploadStream(slave, StreamOf(PatternImage(10)));
    EXPECT_EQ(host.requests, "yxyxy");
    EXPECT_FALSE(board.WaitFor(100ms)) << "the board must wait for the host to give up";
    slave.Close();
    const auto result = board.WaitFor(kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->endReason, EndReason::RequestLimitReached);
    EXPECT_EQ(result->stream.size(), 5u);
}

TEST(Ending, HangsUpAfterTheGivenCount) {
    BoardOptions options = Quick();
    options.hangUpAfter = 6;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    const auto host = UploadStream(slave, StreamOf(PatternImage(10)));
    EXPECT_EQ(host.requests, "yxyxyx");
    EXPECT_TRUE(slave.SeesHangUp());
    const auto result = board.WaitFor(kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->endReason, EndReason::HungUp);
    EXPECT_EQ(result->stream, Bytes(PatternImage(6)));
}

TEST(Ending, HangUpAfterNothingClosesRightAfterTheAnswer) {
    BoardOptions options = Quick();
    options.hangUpAfter = 0;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    ASSERT_TRUE(slave.ReadUntil('g'));
    slave.Write('r');
    EXPECT_TRUE(slave.SeesHangUp());
    const auto result = board.WaitFor(kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->endReason, EndReason::HungUp);
    EXPECT_EQ(result->requests, 0u);
}

TEST(Ending, SurvivesTheHostClosingAndReopeningMidUpload) {
    BackgroundBoard board(Quick());
    SlaveEnd slave(board.SlavePath());
    ASSERT_TRUE(slave.ReadUntil('g'));
    slave.Write('r');
    ASSERT_TRUE(slave.ReadUntil('y'));
    slave.Write(0xA1);
    // The host is away a while, so that the board's next request finds nobody there. Nothing on
    // the line can show when the board has noticed, so this is a bounded wait.
    slave.Close();
    std::this_thread::sleep_for(50ms);
    slave.Reopen();
    ASSERT_TRUE(slave.ReadUntil('x'));
    slave.Write(0xA2);
    ASSERT_EQ(slave.ReadByte(), 'y');
    EXPECT_EQ(board.Stop().stream, Bytes({0xA1, 0xA2}));
}

TEST(Results, ImageIsWrittenAndComparedWithTheHexFile) {
    const quorvel::testing::TemporaryFolder folder;
    const Bytes image = PatternImage(300);
    struct Case {
        const char* name;
        Bytes sent;
        bool match;
        std::string description;
    };
    Bytes changed = image;
    changed[0x123] = 0x00;
    const Case cases[] = {
        {"same", image, true, "match"},
        {"one byte changed", changed, false,
         "differs at offset 0x0123 (291): expected 0x" +
             std::string(1, "0123456789ABCDEF"[image[0x123] >> 4]) +
             std::string(1, "0123456789ABCDEF"[image[0x123] & 15]) + ", got 0x00"},
        {"short", Bytes(image.begin(), image.end() - 2), false,
         "length differs: expected 300, got 298"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoardOptions options = Quick();
        options.expectedHexPath = folder.Write("expected.hex", quorvel::testing::HexTextOf(image));
        options.imageOutputPath = folder.PathOf("received.bin");
        BackgroundBoard board(options);
        SlaveEnd slave(board.SlavePath());
        UploadStream(slave, StreamOf(c.sent));
        const BoardResult result = board.Stop();
        EXPECT_EQ(result.imageWriteError, std::nullopt);
        EXPECT_EQ(quorvel::testing::ReadFileBytes(options.imageOutputPath), c.sent);
        ASSERT_TRUE(result.hexComparison);
        EXPECT_EQ(result.hexComparison->error, "");
        EXPECT_EQ(result.hexComparison->comparison.Match(), c.match);
        EXPECT_EQ(DescribeComparison(result.hexComparison->comparison), c.description);
    }
}

TEST(Results, AMissingHexFileOrOutputFolderIsReportedNotFatal) {
    const quorvel::testing::TemporaryFolder folder;
    BoardOptions options = Quick();
    options.expectedHexPath = folder.PathOf("absent.hex");
    options.imageOutputPath = folder.PathOf("no/such/folder/image.bin");
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    UploadStream(slave, StreamOf({1}));
    const BoardResult result = board.Stop();
    ASSERT_TRUE(result.imageWriteError);
    EXPECT_NE(result.imageWriteError->find("image.bin"), std::string::npos);
    ASSERT_TRUE(result.hexComparison);
    EXPECT_NE(result.hexComparison->error.find("absent.hex"), std::string::npos);
    EXPECT_EQ(result.stream, StreamOf({1}));
}

// Speed is measured in bench/; these only check that the options take effect at all, with
// bounds the board guarantees by construction (it never runs faster than it is told).
TEST(Timing, PacingNeverLetsTheLineRunFasterThanTheBaudRate) {
    BoardOptions options = Quick();
    options.baudRate = 19200;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    const Bytes stream = StreamOf(PatternImage(67));
    UploadStream(slave, stream);
    const BoardResult result = board.Stop();
    ASSERT_EQ(result.stream, stream);
    const auto lineTime = std::chrono::microseconds(stream.size() * 20 * 1'000'000 / 19200);
    EXPECT_GE(result.elapsed, lineTime * 99 / 100);
    EXPECT_LE(result.BytesPerSecond(), 19200.0 / 20 * 1.01);
}

TEST(Timing, FlashPauseFollowsEvery64Bytes) {
    BoardOptions options = Quick();
    options.flashPause = 30ms;
    BackgroundBoard board(options);
    SlaveEnd slave(board.SlavePath());
    const Bytes stream = StreamOf(PatternImage(137)); // 200 bytes: pauses after 64, 128, 192
    UploadStream(slave, stream);
    const BoardResult result = board.Stop();
    ASSERT_EQ(result.stream, stream);
    EXPECT_GE(result.elapsed, 90ms);
}

} // namespace
} // namespace quorvel::board
