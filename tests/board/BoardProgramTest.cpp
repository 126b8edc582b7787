// quorvel-board as a person runs it: a process that prints its slave path and a summary.

#include "ChildProcess.h"
#include "HexText.h"
#include "ProgramFolders.h"
#include "ProgramVersion.h"
#include "SlaveEnd.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quorvel::board::testing {
namespace {

using namespace std::chrono_literals;
using quorvel::testing::ChildProcess;
using quorvel::testing::HexTextOf;
using quorvel::testing::ReadFileBytes;
using quorvel::testing::TemporaryFolder;

const std::string kProgram = QUORVEL_BOARD_PROGRAM;

ChildProcess Start(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), kProgram);
    return ChildProcess(arguments);
}

bool IsCharacterDevice(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISCHR(status.st_mode);
}

TEST(BoardProgram, HelpExplainsTheOptionsAndExitsZero) {
    ChildProcess board = Start({"--help"});
    EXPECT_EQ(board.Wait(kPatience), 0);
    const std::string help = board.RemainingOutput();
    for (const char* option :
         {"--baud", "--no-pacing", "--start-delay", "--announce", "--noise", "--silence",
          "--flash-pause", "--stop-after", "--hang-up-after", "--output", "--compare", "--version"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(BoardProgram, VersionIsTheProjectsAndExitsZero) {
    ChildProcess board = Start({"--version"});
    EXPECT_EQ(board.Wait(kPatience), 0);
    EXPECT_EQ(board.RemainingOutput(), std::string("quorvel-board ") + common::kVersionText + "\n");
}

TEST(BoardProgram, WrongUsageExitsTwoWithAReason) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--bogus"}, {"--baud", "fast"}, {"--silence"}}) {
        ChildProcess board = Start(arguments);
        EXPECT_EQ(board.Wait(kPatience), 2) << arguments[0];
        EXPECT_NE(board.ErrorOutput().find("--help"), std::string::npos) << arguments[0];
        EXPECT_EQ(board.RemainingOutput(), "") << arguments[0];
    }
}

TEST(BoardProgram, PrintsTheSlavePathFirstAndASummaryOnSignals) {
    for (const int signal : {SIGINT, SIGTERM}) {
        ChildProcess board = Start({});
        const auto path = board.ReadLine(kPatience);
        ASSERT_TRUE(path);
        EXPECT_TRUE(IsCharacterDevice(*path)) << *path;
        board.Signal(signal);
        EXPECT_EQ(board.Wait(kPatience), 0);
        EXPECT_NE(board.RemainingOutput().find("summary: 0 bytes, tail short"), std::string::npos);
    }
}

TEST(BoardProgram, PublishesItselfBesideTheProgramUntilItEnds) {
    const std::string name = "test-board-" + std::to_string(::getpid());
    const std::string link =
        common::PortsFolder(kProgram.substr(0, kProgram.rfind('/'))) + "/" + name;
    ChildProcess board = Start({"--publish", name});
    const auto path = board.ReadLine(kPatience);
    ASSERT_TRUE(path);
    EXPECT_EQ(board.ReadLine(kPatience), "published as " + link);
    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), *path);
    board.Signal(SIGTERM);
    EXPECT_EQ(board.Wait(kPatience), 0);
    EXPECT_NE(::access(link.c_str(), F_OK), 0) << "the link outlived the board";
}

TEST(BoardProgram, RestsWhileNobodyHoldsTheSlaveOpen) {
    ChildProcess board = Start({});
    const auto path = board.ReadLine(kPatience);
    ASSERT_TRUE(path);
    {
        SlaveEnd slave(*path); // open and close: the master then reports a hang-up
        ASSERT_EQ(slave.ReadByte(), 'g');
    }
    // A second with nobody on the line, the span its CPU time is measured over: a board that
    // spun would use most of it.
    std::this_thread::sleep_for(1s);
    EXPECT_LT(board.CpuSeconds(), 0.3) << "the board spins on a closed slave";
    board.Signal(SIGTERM);
    EXPECT_EQ(board.Wait(kPatience), 0);
}

// Runs an upload of `sent` against a board told to compare with the HEX file of `expected`.
struct ProgramRun {
    int status;
    std::string output;
};

ProgramRun UploadThroughProgram(const Bytes& expected, const Bytes& sent,
                                const TemporaryFolder& folder) {
    const std::string hex = folder.Write("firmware.hex", HexTextOf(expected));
    ChildProcess board = Start({"--no-pacing", "--silence", "1000", "--compare", hex, "-o",
                                folder.PathOf("received.bin")});
    const auto path = board.ReadLine(kPatience);
    if (!path) return {-1, "no slave path"};
    SlaveEnd slave(*path);
    UploadStream(slave, StreamOf(sent));
    // The board ends by itself once the line has been silent for its silence time.
    const int status = board.Wait(1000ms + kPatience);
    return {status, board.RemainingOutput()};
}

TEST(BoardProgram, ComparesWithTheHexFileAndWritesTheImage) {
    const TemporaryFolder folder;
    const Bytes image = PatternImage(500);
    const ProgramRun run = UploadThroughProgram(image, image, folder);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("compare: match\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("summary: 563 bytes, tail ok,"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("ended by silence"), std::string::npos) << run.output;
    EXPECT_EQ(ReadFileBytes(folder.PathOf("received.bin")), image);
}

TEST(BoardProgram, ADifferenceFromTheHexFileExitsOne) {
    const TemporaryFolder folder;
    const Bytes image = PatternImage(500);
    Bytes sent = image;
    sent[17] ^= 0xFF;
    const ProgramRun run = UploadThroughProgram(image, sent, folder);
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("compare: differs at offset 0x0011 (17)"), std::string::npos)
        << run.output;
}

} // namespace
} // namespace quorvel::board::testing
