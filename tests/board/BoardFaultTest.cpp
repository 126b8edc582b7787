// The board's fault mode: a seed picks one fault for the run, and the board plays it to a host on
// the slave end of its line.

#include "BackgroundBoard.h"
#include "BoardFaults.h"
#include "ChildProcess.h"
#include "CommandLine.h"
#include "HexImageLoader.h"
#include "SlaveEnd.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace quorvel::board {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::Bytes;
using testing::kPatience;
using testing::SlaveEnd;
using testing::StreamOf;

const std::string kExampleHex = QUORVEL_EXAMPLE_HEX;
constexpr std::uint32_t kSeedsTried = 1000;

Bytes ExampleImage() {
    image::LoadedImage loaded;
    EXPECT_TRUE(image::LoadHexFile(kExampleHex, image::McuFamily::P18, loaded).ok());
    return loaded.FirmwareImage;
}

const std::set<std::uint8_t> kNeverStray = {'g', 'r', 'y', 'x', 0x11, 0x13};

bool AllStray(const Bytes& bytes) {
    return std::none_of(bytes.begin(), bytes.end(),
                        [](std::uint8_t byte) { return kNeverStray.count(byte) > 0; });
}

// The first seed from 0 whose fault for such a stream is of `kind`.
std::uint32_t SeedOf(FaultKind kind, std::size_t streamLength, Milliseconds stall) {
    for (std::uint32_t seed = 0; seed < kSeedsTried; ++seed)
        if (PickFault(seed, streamLength, stall).kind == kind) return seed;
    ADD_FAILURE() << "no seed below " << kSeedsTried << " picks " << FaultKindName(kind);
    return 0;
}

TEST(FaultChoice, TheSameSeedPicksTheSameFault) {
    for (std::uint32_t seed = 0; seed < kSeedsTried; ++seed) {
        const Fault first = PickFault(seed, 500, 700ms);
        EXPECT_EQ(PickFault(seed, 500, 700ms), first) << seed;
        EXPECT_EQ(DescribeFault(PickFault(seed, 500, 700ms), 0), DescribeFault(first, 0)) << seed;
    }
}

TEST(FaultChoice, ABoardReportsTheFaultItsSeedPicks) {
    const std::size_t streamLength = StreamOf(ExampleImage()).size();
    for (const std::uint32_t seed : {0u, 1u, 2u, 17u, 4'000'000'000u}) {
        BoardOptions options;
        options.faultSeed = seed;
        options.expectedHexPath = kExampleHex;
        options.stallLength = 900ms;
        const Fault picked = PickFault(seed, streamLength, options.stallLength);
        for (int board = 0; board < 2; ++board) {
            const BoardResult result = BackgroundBoard(options).Stop();
            EXPECT_EQ(result.faultKind, picked.kind) << seed;
            EXPECT_EQ(result.faultDescription, DescribeFault(picked, 0)) << seed;
        }
    }
}

TEST(FaultChoice, ARangeOfSeedsMeetsEveryKind) {
    std::set<FaultKind> met;
    for (std::uint32_t seed = 0; seed < 50; ++seed)
        met.insert(PickFault(seed, 300, 700ms).kind);
    EXPECT_EQ(met, std::set<FaultKind>(kFaultKinds.begin(), kFaultKinds.end()));
}

// What every fault must be, whatever the seed: strays that a host cannot take for the
// conversation, pauses a host waits through, stalls and hang-ups where a host meets them.
TEST(FaultChoice, EveryPickKeepsToItsKind) {
    for (const std::size_t streamLength : {std::size_t{64}, std::size_t{65}, std::size_t{5000}}) {
        std::size_t latestByte = 0;
        for (std::uint32_t seed = 0; seed < kSeedsTried; ++seed) {
            const Fault fault = PickFault(seed, streamLength, 700ms);
            SCOPED_TRACE(DescribeFault(fault, 0));
            switch (fault.kind) {
            case FaultKind::None:
                break;
            case FaultKind::StrayCharacters:
                EXPECT_FALSE(fault.strayBytes.empty());
                EXPECT_TRUE(AllStray(fault.strayBytes));
                EXPECT_GE(fault.strayInterval, 1u);
                break;
            case FaultKind::FlashPauses:
                EXPECT_GT(fault.flashPause, 0ms);
                EXPECT_LT(fault.flashPause, 100ms); // a request timeout is far longer
                break;
            case FaultKind::Stall:
                EXPECT_EQ(fault.stallLength, 700ms);
                [[fallthrough]];
            case FaultKind::HangUp:
                EXPECT_LT(fault.atByte, streamLength);
                latestByte = std::max(latestByte, fault.atByte);
                break;
            }
        }
        EXPECT_GE(latestByte, streamLength * 3 / 4) << "the bytes spread over the whole stream";
    }
}

TEST(FaultChoice, TheStreamLengthIsTheComparedImageAndItsTail) {
    BoardOptions options;
    EXPECT_EQ(FaultStreamLength(options), kShortestStream);
    options.expectedHexPath = kExampleHex;
    EXPECT_EQ(FaultStreamLength(options), ExampleImage().size() + kTailLength);
    options.expectedHexPath = kExampleHex + ".missing";
    EXPECT_EQ(FaultStreamLength(options), kShortestStream);
}

struct OptionCase {
    std::vector<std::string_view> arguments;
    bool accepted;
};

TEST(FaultOptions, SeedStallAndStallByteAreReadFromTheCommandLine) {
    const CommandLine line = ParseCommandLine(
        {"--faults", "4294967295", "--stall", "250", "--stall-after", "12", "--no-pacing"});
    ASSERT_EQ(line.error, "");
    EXPECT_EQ(line.options.faultSeed, 4294967295u);
    EXPECT_EQ(line.options.stallLength, 250ms);
    EXPECT_EQ(line.options.stallAfter, 12u);
    EXPECT_EQ(BoardOptions().faultSeed, std::nullopt);
    EXPECT_GT(BoardOptions().stallLength, 2s) << "longer than quorvel-cli's request timeout";

    const OptionCase cases[] = {
        {{"--faults", "0"}, true},       {{"--faults", "4294967296"}, false},
        {{"--faults", "-1"}, false},     {{"--faults", "seven"}, false},
        {{"--stall", "0"}, false},       {{"--stall", "1.5"}, true},
        {{"--stall-after", "x"}, false}, {{"--stall-after", "0"}, true},
    };
    for (const OptionCase& c : cases)
        EXPECT_EQ(ParseCommandLine(c.arguments).error.empty(), c.accepted)
            << c.arguments[0] << " " << c.arguments[1];
}

// What a plain host saw while it uploaded through a faulty line.
struct HostLog {
    Bytes beforeAnnounce;
    Bytes strays; // everything after the "r" that was neither a request nor an announcement
    std::string requests;
    // How long each request took to come after the previous answer (or the "r").
    std::vector<Clock::duration> waits;
    bool lineEnded = false; // a read failed before the stream was all sent
};

// Answers every request with the next byte of `stream`, waiting up to `patience` for each.
HostLog UploadThroughFault(SlaveEnd& slave, const Bytes& stream, Milliseconds patience) {
    HostLog log;
    if (!slave.ReadUntil('g', &log.beforeAnnounce)) return log;
    slave.Write('r');
    auto answeredAt = Clock::now();
    while (log.requests.size() < stream.size()) {
        const auto byte = slave.ReadByte(patience);
        if (!byte) {
            log.lineEnded = true;
            break;
        }
        if (*byte == 'g' && log.requests.empty()) continue; // announced before our "r" arrived
        if (*byte != 'y' && *byte != 'x') {
            log.strays.push_back(*byte);
            continue;
        }
        log.waits.push_back(Clock::now() - answeredAt);
        log.requests.push_back(static_cast<char>(*byte));
        slave.Write(stream[log.requests.size() - 1]);
        answeredAt = Clock::now();
    }
    return log;
}

class FaultOnTheLine : public ::testing::Test {
protected:
    // A board that plays the first fault of `kind` for the example's stream.
    Fault Start(FaultKind kind) {
        BoardOptions options;
        options.baudRate = 0;
        options.silence = 1000ms;
        options.stallLength = 600ms;
        options.expectedHexPath = kExampleHex;
        options.faultSeed = SeedOf(kind, stream_.size(), options.stallLength);
        board_.emplace(options);
        slave_.emplace(board_->SlavePath());
        return PickFault(*options.faultSeed, stream_.size(), options.stallLength);
    }

    const Bytes image_ = ExampleImage();
    const Bytes stream_ = StreamOf(image_);
    std::optional<BackgroundBoard> board_;
    std::optional<SlaveEnd> slave_;
};

TEST_F(FaultOnTheLine, WithNoFaultTheImageArrivesWhole) {
    Start(FaultKind::None);
    const HostLog host = UploadThroughFault(*slave_, stream_, kPatience);
    EXPECT_EQ(host.requests.size(), stream_.size());
    EXPECT_TRUE(host.strays.empty());
    const auto result = board_->WaitFor(2 * kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Image(), image_);
    EXPECT_TRUE(result->TailOk());
    EXPECT_EQ(result->faultKind, FaultKind::None);
    EXPECT_EQ(result->faultDescription, "none");
}

TEST_F(FaultOnTheLine, StrayCharactersComeBetweenRequestsAndTheImageStillArrivesWhole) {
    const Fault fault = Start(FaultKind::StrayCharacters);
    const HostLog host = UploadThroughFault(*slave_, stream_, kPatience);
    EXPECT_EQ(host.requests.size(), stream_.size());
    EXPECT_FALSE(host.strays.empty());
    EXPECT_TRUE(AllStray(host.strays));
    EXPECT_TRUE(AllStray(host.beforeAnnounce));
    for (const std::uint8_t stray : host.strays)
        EXPECT_NE(std::count(fault.strayBytes.begin(), fault.strayBytes.end(), stray), 0);
    const auto result = board_->WaitFor(2 * kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Image(), image_);
    EXPECT_TRUE(result->TailOk());
    EXPECT_EQ(result->unexpectedBytes, 0u);
    EXPECT_EQ(result->faultKind, FaultKind::StrayCharacters);
}

TEST_F(FaultOnTheLine, FlashPausesComeAfterEvery64BytesAndTheImageStillArrivesWhole) {
    const Fault fault = Start(FaultKind::FlashPauses);
    const HostLog host = UploadThroughFault(*slave_, stream_, kPatience);
    ASSERT_EQ(host.requests.size(), stream_.size());
    for (std::size_t byte = 64; byte < stream_.size(); byte += 64)
        EXPECT_GE(host.waits[byte], fault.flashPause) << "before byte " << byte;
    const auto result = board_->WaitFor(2 * kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Image(), image_);
    EXPECT_EQ(result->faultKind, FaultKind::FlashPauses);
}

TEST_F(FaultOnTheLine, AStallDelaysTheNextRequestByTheStall) {
    const Fault fault = Start(FaultKind::Stall);
    const HostLog host = UploadThroughFault(*slave_, stream_, fault.stallLength + kPatience);
    ASSERT_EQ(host.requests.size(), stream_.size()) << "the board asks again after the stall";
    EXPECT_GE(host.waits[fault.atByte], fault.stallLength);
    const auto result = board_->WaitFor(2 * kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->Image(), image_);
    EXPECT_EQ(result->faultKind, FaultKind::Stall);
    EXPECT_EQ(result->faultDescription, DescribeFault(fault, stream_.size()));
    EXPECT_EQ(result->faultDescription.find("not reached"), std::string::npos);
}

TEST_F(FaultOnTheLine, AHangUpClosesTheLineAtTheChosenByte) {
    const Fault fault = Start(FaultKind::HangUp);
    const HostLog host = UploadThroughFault(*slave_, stream_, kPatience);
    EXPECT_TRUE(host.lineEnded);
    EXPECT_EQ(host.requests.size(), fault.atByte);
    EXPECT_TRUE(slave_->SeesHangUp());
    const auto result = board_->WaitFor(kPatience);
    ASSERT_TRUE(result);
    EXPECT_EQ(result->endReason, EndReason::HungUp);
    EXPECT_EQ(result->stream,
              Bytes(stream_.begin(), stream_.begin() + static_cast<long>(fault.atByte)));
    EXPECT_EQ(result->faultKind, FaultKind::HangUp);
}

TEST_F(FaultOnTheLine, AFaultAtAByteTheHostNeverReachesIsSaidToBeNotReached) {
    const Fault fault = Start(FaultKind::HangUp);
    ASSERT_GT(fault.atByte, 0u);
    const HostLog host = UploadThroughFault(*slave_, Bytes(fault.atByte - 1, 0x5A), kPatience);
    ASSERT_EQ(host.requests.size(), fault.atByte - 1);
    const BoardResult result = board_->Stop();
    EXPECT_EQ(result.faultDescription, DescribeFault(fault, 0));
    EXPECT_NE(result.faultDescription.find("(not reached)"), std::string::npos);
}

TEST(FaultProgram, SaysWhichFaultItPlayedBeforeTheComparisonAndSummary) {
    const Bytes image = ExampleImage();
    const Bytes stream = StreamOf(image);
    const std::uint32_t seed = SeedOf(FaultKind::StrayCharacters, stream.size(), 3000ms);
    quorvel::testing::ChildProcess board({QUORVEL_BOARD_PROGRAM, "--no-pacing", "--silence", "300",
                                          "--faults", std::to_string(seed), "--compare",
                                          kExampleHex});
    const auto path = board.ReadLine(kPatience);
    ASSERT_TRUE(path);
    {
        SlaveEnd slave(*path);
        EXPECT_EQ(UploadThroughFault(slave, stream, kPatience).requests.size(), stream.size());
    }
    EXPECT_EQ(board.ReadLine(2 * kPatience),
              "fault: " + DescribeFault(PickFault(seed, stream.size(), 3000ms), stream.size()));
    EXPECT_EQ(board.ReadLine(kPatience), "compare: match");
    EXPECT_EQ(board.Wait(kPatience), 0);
}

} // namespace
} // namespace quorvel::board
