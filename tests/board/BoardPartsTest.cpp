// The board's pieces that need no pseudo-terminal: results, comparison, the line's timetable
// and the command line.

#include "BoardResult.h"
#include "CommandLine.h"
#include "LineClock.h"

#include <gtest/gtest.h>

namespace quorvel::board {
namespace {

using namespace std::chrono_literals;

Bytes Filled(std::size_t length, std::uint8_t value) {
    return Bytes(length, value);
}

Bytes Joined(Bytes first, const Bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct TailCase {
    const char* name;
    Bytes stream;
    bool tailOk;
    std::optional<std::size_t> firstBad;
    std::size_t imageLength;
};

void PrintTo(const TailCase& c, std::ostream* os) {
    *os << c.name;
}

class Tail : public ::testing::TestWithParam<TailCase> {};

TEST_P(Tail, IsTheLast63BytesAllFF) {
    const TailCase& c = GetParam();
    BoardResult result;
    result.stream = c.stream;
    EXPECT_EQ(result.TailOk(), c.tailOk);
    EXPECT_EQ(result.FirstBadTailOffset(), c.firstBad);
    EXPECT_EQ(result.Image().size(), c.imageLength);
    EXPECT_EQ(result.Image(),
              Bytes(c.stream.begin(), c.stream.begin() + static_cast<long>(c.imageLength)));
}

INSTANTIATE_TEST_SUITE_P(
    Streams, Tail,
    ::testing::Values(
        TailCase{"Empty", {}, false, std::nullopt, 0},
        TailCase{"TailOnly", Filled(63, 0xFF), true, std::nullopt, 0},
        TailCase{"OneShort", Filled(62, 0xFF), false, std::nullopt, 0},
        TailCase{"ImageOfFFs", Filled(100, 0xFF), true, std::nullopt, 37},
        TailCase{"ImageAndTail", Joined({1, 2, 3}, Filled(63, 0xFF)), true, std::nullopt, 3},
        TailCase{"LastByteWrong", Joined(Filled(65, 0xFF), {0xFE}), false, 65, 3},
        TailCase{"FirstTailByteWrong", Joined({0x00, 0xFE}, Filled(62, 0xFF)), false, 1, 1},
        TailCase{"ShortWithBadByte", Joined({0x00}, Filled(10, 0xFF)), false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Summary, NamesBytesTailRateElapsedAndEnding) {
    BoardResult result;
    result.stream = Joined(Filled(37, 0), Filled(63, 0xFF));
    result.elapsed = 250ms;
    result.unexpectedBytes = 2;
    result.endReason = EndReason::Silence;
    EXPECT_EQ(SummaryLine(result),
              "100 bytes, tail ok, 400 bytes/s, elapsed 0.250 s, 2 unexpected, ended by silence");
    result.stream.back() = 0;
    result.endReason = EndReason::Failed;
    result.failure = "poll: Bad file descriptor";
    EXPECT_EQ(SummaryLine(result), "100 bytes, tail bad at offset 99 (0x00), 400 bytes/s, elapsed "
                                   "0.250 s, 2 unexpected, ended by failure: poll: Bad file "
                                   "descriptor");
}

struct ComparisonCase {
    const char* name;
    Bytes expected;
    Bytes got;
    bool match;
    std::string description;
};

void PrintTo(const ComparisonCase& c, std::ostream* os) {
    *os << c.name;
}

class Comparison : public ::testing::TestWithParam<ComparisonCase> {};

TEST_P(Comparison, SaysMatchOrTheFirstDifferenceAndTheLengths) {
    const ComparisonCase& c = GetParam();
    const ImageComparison comparison = CompareImages(c.expected, c.got);
    EXPECT_EQ(comparison.Match(), c.match);
    EXPECT_EQ(DescribeComparison(comparison), c.description);
}

INSTANTIATE_TEST_SUITE_P(
    Images, Comparison,
    ::testing::Values(
        ComparisonCase{"BothEmpty", {}, {}, true, "match"},
        ComparisonCase{"Same", {1, 2, 3}, {1, 2, 3}, true, "match"},
        ComparisonCase{"FirstByte",
                       {1, 2, 3},
                       {9, 2, 8},
                       false,
                       "differs at offset 0x0000 (0): expected 0x01, got 0x09"},
        ComparisonCase{"LastByte",
                       {1, 2, 3},
                       {1, 2, 0xF3},
                       false,
                       "differs at offset 0x0002 (2): expected 0x03, got 0xF3"},
        ComparisonCase{"Shorter", {1, 2, 3}, {1, 2}, false, "length differs: expected 3, got 2"},
        ComparisonCase{"Longer", {1}, {1, 0xFF}, false, "length differs: expected 1, got 2"},
        ComparisonCase{"NothingReceived", {1}, {}, false, "length differs: expected 1, got 0"},
        ComparisonCase{"DifferentAndShorter",
                       {1, 2, 3},
                       {1, 5},
                       false,
                       "differs at offset 0x0001 (1): expected 0x02, got 0x05; length differs: "
                       "expected 3, got 2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineClock, EachCharacterTakesTenBitTimes) {
    LineClock clock(1000); // 10 ms a character
    const TimePoint start{};
    EXPECT_EQ(clock.TransmitDone(start), start + 10ms);
    // Ready before the line is free: it waits for the line, back to back.
    EXPECT_EQ(clock.TransmitDone(start), start + 20ms);
    // Ready later: the line was idle meanwhile.
    EXPECT_EQ(clock.TransmitDone(start + 50ms), start + 60ms);
}

TEST(LineClock, AReceivedCharacterEndsNoEarlierThanItsRequestAllows) {
    LineClock clock(1000);
    const TimePoint start{};
    // Seen at once: it still needed its ten bit times after the request was delivered.
    EXPECT_EQ(clock.ReceiveDone(start, start + 1ms), start + 10ms);
    // Seen late: the line was slower than its rate, the character ends when seen.
    EXPECT_EQ(clock.ReceiveDone(start + 10ms, start + 35ms), start + 35ms);
    // Two at once: the second waits for the first.
    EXPECT_EQ(clock.ReceiveDone(start + 30ms, start + 35ms), start + 45ms);
}

TEST(LineClock, UnpacedTakesNoTime) {
    LineClock clock(0);
    const TimePoint start{};
    EXPECT_FALSE(clock.Paced());
    EXPECT_EQ(clock.TransmitDone(start + 5ms), start + 5ms);
    EXPECT_EQ(clock.ReceiveDone(start, start + 7ms), start + 7ms);
}

CommandLine Parse(std::initializer_list<std::string_view> arguments) {
    return ParseCommandLine(std::vector<std::string_view>(arguments));
}

TEST(CommandLineOptions, DefaultsArePacedRepeatingAndHalfASecondOfSilence) {
    const CommandLine line = Parse({});
    EXPECT_EQ(line.error, "");
    EXPECT_FALSE(line.help);
    EXPECT_EQ(line.options.baudRate, 115200u);
    EXPECT_EQ(line.options.announceMode, AnnounceMode::Repeat);
    EXPECT_EQ(line.options.silence, 500ms);
    EXPECT_EQ(line.options.flashPause, 0ms);
    EXPECT_EQ(line.options.startDelay, 0ms);
    EXPECT_FALSE(line.options.stopAfter);
    EXPECT_FALSE(line.options.hangUpAfter);
    EXPECT_TRUE(line.options.noise.empty());
}

TEST(CommandLineOptions, EveryOptionReachesTheBoard) {
    const CommandLine line = Parse({"--baud",
                                    "9600",
                                    "--start-delay",
                                    "250",
                                    "--announce",
                                    "once",
                                    "--announce-interval",
                                    "7",
                                    "--noise",
                                    "ab\\x13\\0",
                                    "--silence",
                                    "1200",
                                    "--first-answer-wait",
                                    "60000",
                                    "--flash-pause",
                                    "2.5",
                                    "--stop-after",
                                    "100",
                                    "--hang-up-after",
                                    "0",
                                    "-o",
                                    "out.bin",
                                    "--compare",
                                    "in.hex"});
    ASSERT_EQ(line.error, "");
    const BoardOptions& options = line.options;
    EXPECT_EQ(options.baudRate, 9600u);
    EXPECT_EQ(options.startDelay, 250ms);
    EXPECT_EQ(options.announceMode, AnnounceMode::Once);
    EXPECT_EQ(options.announceInterval, 7ms);
    EXPECT_EQ(options.noise, Bytes({'a', 'b', 0x13, 0x00}));
    EXPECT_EQ(options.silence, 1200ms);
    EXPECT_EQ(options.firstAnswerWait, 60000ms);
    EXPECT_EQ(options.flashPause, 2500us);
    EXPECT_EQ(options.stopAfter, 100u);
    EXPECT_EQ(options.hangUpAfter, 0u);
    EXPECT_EQ(options.imageOutputPath, "out.bin");
    EXPECT_EQ(options.expectedHexPath, "in.hex");
}

TEST(CommandLineOptions, PublishTakesANameOrTheDefault) {
    EXPECT_EQ(Parse({"--publish", "bench1"}).options.publishName, "bench1");
    EXPECT_EQ(Parse({"--publish"}).options.publishName, "vboard0");
    const CommandLine followed = Parse({"--publish", "--no-pacing"});
    EXPECT_EQ(followed.options.publishName, "vboard0");
    EXPECT_EQ(followed.options.baudRate, 0u);
    for (const char* bad : {"a/b", "..", ""})
        EXPECT_NE(Parse({"--publish", bad}).error, "") << bad;
}

TEST(CommandLineOptions, NoPacingAndHelp) {
    EXPECT_EQ(Parse({"--no-pacing"}).options.baudRate, 0u);
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_NE(std::string(HelpText()).find("--hang-up-after"), std::string::npos);
}

class WrongUsage : public ::testing::TestWithParam<std::vector<std::string_view>> {};

TEST_P(WrongUsage, IsRefusedWithAReason) {
    const CommandLine line = ParseCommandLine(GetParam());
    EXPECT_NE(line.error, "");
}

INSTANTIATE_TEST_SUITE_P(Arguments, WrongUsage,
                         ::testing::Values(std::vector<std::string_view>{"--bogus"},
                                           std::vector<std::string_view>{"image.hex"},
                                           std::vector<std::string_view>{"--baud"},
                                           std::vector<std::string_view>{"--baud", "0"},
                                           std::vector<std::string_view>{"--baud", "-5"},
                                           std::vector<std::string_view>{"--baud", "115200x"},
                                           std::vector<std::string_view>{"--silence", "0"},
                                           std::vector<std::string_view>{"--silence", "soon"},
                                           std::vector<std::string_view>{"--announce-interval",
                                                                         "0"},
                                           std::vector<std::string_view>{"--flash-pause", "-1"},
                                           std::vector<std::string_view>{"--flash-pause", "nan"},
                                           std::vector<std::string_view>{"--start-delay", "inf"},
                                           std::vector<std::string_view>{"--stop-after", "1.5"},
                                           std::vector<std::string_view>{"--hang-up-after", ""},
                                           std::vector<std::string_view>{"--announce", "twice"},
                                           std::vector<std::string_view>{"--noise", "\\q"},
                                           std::vector<std::string_view>{"--noise", "\\x4"},
                                           std::vector<std::string_view>{"--noise", "trailing\\"},
                                           std::vector<std::string_view>{"-o", ""},
                                           std::vector<std::string_view>{"--compare"}));

struct EscapeCase {
    std::string_view text;
    Bytes bytes;
};

TEST(NoiseText, EscapesStandForOneByteEach) {
    const EscapeCase cases[] = {
        {"", {}},
        {"abc", {'a', 'b', 'c'}},
        {"\\x00\\xff\\xA5", {0x00, 0xFF, 0xA5}},
        {"\\n\\r\\t\\0\\\\", {'\n', '\r', '\t', 0, '\\'}},
        {"x\\x13y", {'x', 0x13, 'y'}},
    };
    for (const EscapeCase& c : cases) {
        Bytes bytes{9, 9};
        EXPECT_TRUE(DecodeEscapes(c.text, bytes)) << c.text;
        EXPECT_EQ(bytes, c.bytes) << c.text;
    }
}

} // namespace
} // namespace quorvel::board
