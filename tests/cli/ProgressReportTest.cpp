// The upload's progress as a terminal and a log see it, on a clock the test turns.

#include "ProgressReport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace quorvel::cli {
namespace {

using namespace std::chrono_literals;
using Clock = ProgressReport::Clock;

// What the report wrote into a memory stream.
class Written {
public:
    Written() : file_(open_memstream(&buffer_, &size_)) {}
    ~Written() {
        std::fclose(file_);
        std::free(buffer_);
    }
    std::FILE* File() { return file_; }
    std::string Text() {
        std::fflush(file_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

TEST(ProgressText, SaysBytesPercentRateAndTimeLeft) {
    EXPECT_EQ(ProgressText(5760, 57600, 1.0),
              "    5760/57600 bytes   10%    5760 bytes/s   0:09 left");
    EXPECT_EQ(ProgressText(0, 100, 0.0), "       0/100 bytes    0%       0 bytes/s");
    EXPECT_EQ(ProgressText(100, 100, 2.0), "     100/100 bytes  100%      50 bytes/s   0:00 left");
    EXPECT_EQ(ProgressText(60, 9060, 1.0), "      60/9060 bytes    0%      60 bytes/s   2:30 left");
}

// A log gets a line at every tenth of the way, and none twice, however the bytes come.
TEST(ProgressReport, ElsewhereWritesALineAtEveryTenth) {
    Written out;
    ProgressReport report(out.File(), false);
    const auto start = Clock::now();
    report.Start(1000, start);
    for (std::size_t done : {50u, 99u, 100u, 101u, 250u, 999u, 1000u, 1000u})
        report.Update(done, start + 1s);
    const std::string text = out.Text();
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    // 100 (10 %), 250 (20 %: one line though it passes two tenths), 999 (90 %), 1000 (100 %)
    EXPECT_EQ(lines, 4u) << text;
    EXPECT_NE(text.find(" 100%"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos) << "nothing drawn in place in a log";
}

// A terminal gets one line, redrawn in place at most ten times a second, and taken away before
// another line is written.
TEST(ProgressReport, OnATerminalRedrawsOneLineAtMostTenTimesASecond) {
    Written out;
    ProgressReport report(out.File(), true);
    const auto start = Clock::now();
    report.Start(1000, start);
    for (int step = 1; step <= 100; ++step) // a byte every 5 ms for half a second
        report.Update(static_cast<std::size_t>(step), start + step * 5ms);
    std::string text = out.Text();
    std::size_t drawn = 0;
    for (char c : text)
        drawn += c == '\r';
    EXPECT_GE(drawn, 5u) << text;
    EXPECT_LE(drawn, 6u) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << "one line, redrawn in place";
    report.Clear();
    text = out.Text();
    EXPECT_EQ(text.substr(text.size() - 4), "\r\033[K") << "cleared for the next line";
}

} // namespace
} // namespace quorvel::cli
