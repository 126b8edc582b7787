// quorvel-cli upload, run after run, against boards that play every kind of fault: each run
// ends as its fault demands, a success is never a false one, and nothing is left behind.

#include "UploadSoak.h"
#include "LeftBehind.h"
#include "SpawnedProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace quorvel::soak {
namespace {

using namespace std::chrono_literals;

std::size_t RunsOf(const SoakReport& report, board::FaultKind kind) {
    const auto tally = report.kinds.find(kind);
    return tally == report.kinds.end() ? 0 : tally->second.runs;
}

// The soak's times, generous for a loaded machine: a stall still lasts far longer than
// quorvel-cli waits for a request, and a board far longer than that for an answer.
SoakOptions Soak(const std::string& program, std::size_t runs) {
    SoakOptions options;
    options.cliPath = program;
    options.runs = runs;
    options.firstSeed = 1; // seeds 1 to 40 pick every kind of fault
    options.requestTimeout = 1000ms;
    options.stall = 4000ms;
    options.boardSilence = 4000ms;
    return options;
}

TEST(UploadSoak, EveryRunEndsAsItsFaultDemandsAndLeavesNothingBehind) {
    const SoakReport report = RunUploadSoak(Soak(QUORVEL_CLI, 40));
    const std::string text = FormatSoakReport(report);

    EXPECT_EQ(report.runs, 40u);
    EXPECT_EQ(report.exitMismatches, 0u) << text;
    EXPECT_EQ(report.falseSuccesses, 0u) << text;
    EXPECT_EQ(report.leftBehind, 0u) << text;
    for (const board::FaultKind kind : board::kFaultKinds)
        EXPECT_GT(RunsOf(report, kind), 0u) << board::FaultKindName(kind) << " never came up\n"
                                            << text;
}

// Stand-ins for quorvel-cli that the soak must catch.
class UntrueUploader : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-untrue-XXXXXX");
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        folder_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Script(const std::string& name, const std::string& body) const {
        const auto path = folder_ / name;
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path.string();
    }

    std::filesystem::path folder_;
};

TEST_F(UntrueUploader, ClaimingSuccessWithoutUploadingIsAFalseSuccessAndTheWrongExit) {
    SoakOptions options = Soak(Script("claims", "exit 0"), 10);
    options.boardPatience = 100ms; // the board never hears from it, so it will not end by itself
    const SoakReport report = RunUploadSoak(options);
    EXPECT_EQ(report.falseSuccesses, 10u);
    EXPECT_EQ(report.exitMismatches,
              RunsOf(report, board::FaultKind::Stall) + RunsOf(report, board::FaultKind::HangUp));
    EXPECT_EQ(report.leftBehind, 0u);
    EXPECT_EQ(report.failures.size(), SoakOptions().failuresKept);
}

TEST_F(UntrueUploader, OneThatNeverEndsIsKilledAndCountedAsLeftBehind) {
    SoakOptions options = Soak(Script("hangs", "exec sleep 60"), 3);
    options.cliPatience = 500ms;
    const SoakReport report = RunUploadSoak(options);
    EXPECT_EQ(report.leftBehind, 3u);
    EXPECT_EQ(report.exitMismatches, 0u) << "a hang has no exit status to compare";
    ASSERT_FALSE(report.failures.empty());
    EXPECT_NE(report.failures[0].find("did not end"), std::string::npos) << report.failures[0];
}

TEST(LeftBehind, SeesADescriptorLeftOpenAndAChildStillRunning) {
    const std::set<int> before = OpenDescriptors();
    const int descriptor = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(before.count(descriptor), 0u);
    EXPECT_EQ(OpenDescriptors().count(descriptor), 1u);
    ::close(descriptor);
    EXPECT_EQ(OpenDescriptors(), before);

    SpawnedProgram sleeper({"/bin/sleep", "60"}, "/dev/null");
    EXPECT_EQ(LiveChildren().size(), 1u);
    sleeper.Kill();
    EXPECT_TRUE(LiveChildren().empty());
}

} // namespace
} // namespace quorvel::soak
