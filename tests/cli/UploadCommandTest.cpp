// quorvel-cli upload as a person or a script runs it: a process against the virtual board on a
// pseudo-terminal, judged by its exit status, its lines and what the board received.

#include "BackgroundBoard.h"
#include "ChildProcess.h"
#include "HexText.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::cli::testing {
namespace {

using namespace std::chrono_literals;
using board::BackgroundBoard;
using board::BoardOptions;
using board::BoardResult;
using quorvel::testing::ChildProcess;
using quorvel::testing::HexTextOf;
using quorvel::testing::TemporaryFolder;

constexpr auto kPatience = 10s;

std::vector<std::uint8_t> Pattern(std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return bytes;
}

BoardOptions Unpaced() {
    BoardOptions options;
    options.baudRate = 0;
    options.silence = 300ms;
    return options;
}

class Upload : public ::testing::Test {
protected:
    std::string HexFile(const std::vector<std::uint8_t>& image) {
        return folder.Write("fw.hex", HexTextOf(image));
    }

    // The command's standard error goes to its standard output, so that a test can read its
    // lines while it runs.
    static ChildProcess Start(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>&1", QUORVEL_CLI, "upload"});
        return ChildProcess(arguments);
    }

    struct Run {
        int exitStatus;
        std::string output;
    };
    static Run RunToTheEnd(const std::vector<std::string>& arguments) {
        ChildProcess cli = Start(arguments);
        const int status = cli.Wait(kPatience);
        return {status, cli.RemainingOutput()};
    }

    TemporaryFolder folder;
};

TEST_F(Upload, SendsTheImageAndTheTailByteForByteAndExitsZero) {
    for (const std::size_t length : {std::size_t{1000}, std::size_t{1001}}) {
        SCOPED_TRACE(length);
        BackgroundBoard board(Unpaced());
        const auto image = Pattern(length);
        const Run run = RunToTheEnd({"--port", board.SlavePath(), HexFile(image)});
        EXPECT_EQ(run.exitStatus, 0) << run.output;
        const auto result = board.WaitFor(kPatience);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->Image(), image);
        EXPECT_TRUE(result->TailOk());
        EXPECT_EQ(result->unexpectedBytes, 0u);
        // The window's history lines, one a line, with progress lines between them.
        std::string history;
        for (const char* line :
             {"Waiting MCU response...\n", "Connected.\n", "Uploading...\n", "Finishing...\n",
              "Completed successfully.\n", "Disconnected.\n"}) {
            const auto at = run.output.find(line);
            ASSERT_NE(at, std::string::npos) << line << run.output;
            EXPECT_GE(at, history.size()) << "in order: " << line;
            history = run.output.substr(0, at);
        }
        EXPECT_NE(run.output.find("100%"), std::string::npos) << run.output;
    }
}

struct Failure {
    const char* name;
    BoardOptions board;
    std::vector<std::string> options;
    int exitStatus;
    std::string says; // a line the command prints
};

std::vector<Failure> Failures() {
    BoardOptions silent = Unpaced();
    silent.startDelay = 30s; // never says "g" while the command waits
    BoardOptions stops = Unpaced();
    stops.stopAfter = 300;
    stops.silence = 5s;
    BoardOptions hangsUp = Unpaced();
    hangsUp.hangUpAfter = 200;
    return {
        {"NoBootloader", silent, {"--wait", "0.5"}, 4, "no \"g\" from the board within 0.5 s"},
        {"BoardStopsAsking",
         stops,
         {"--timeout", "0.3"},
         5,
         "the board stopped asking after 300 of 1063 bytes"},
        {"BoardHangsUp", hangsUp, {}, 6, "Disconnected."},
    };
}

class FailingUpload : public Upload, public ::testing::WithParamInterface<Failure> {};

TEST_P(FailingUpload, ExitsWithItsStatusAndClosesThePort) {
    const Failure& failure = GetParam();
    BackgroundBoard board(failure.board);
    std::vector<std::string> arguments{"--port", board.SlavePath(), HexFile(Pattern(1000))};
    arguments.insert(arguments.end(), failure.options.begin(), failure.options.end());
    const Run run = RunToTheEnd(arguments);
    EXPECT_EQ(run.exitStatus, failure.exitStatus) << run.output;
    EXPECT_NE(run.output.find(failure.says), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Completed successfully."), std::string::npos) << run.output;
    const BoardResult result = board.Stop();
    EXPECT_LE(result.stream.size(), 1000u) << "never more than the board asked for";
}

INSTANTIATE_TEST_SUITE_P(, FailingUpload, ::testing::ValuesIn(Failures()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Upload, ARefusedFileEndsBeforeThePortIsOpened) {
    BackgroundBoard board(Unpaced());
    const std::string bad =
        folder.Write("bad.hex", quorvel::testing::Record(0, 0, {1}) + "\r\n:02000000FE00\r\n");
    const Run run = RunToTheEnd({"--port", board.SlavePath(), bad});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.output.find("(line 1)"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("Waiting MCU response..."), std::string::npos);
    const BoardResult result = board.Stop();
    EXPECT_EQ(result.announcements, 0u) << "nobody opened the line";
}

TEST_F(Upload, AStopSignalEndsTheRunAsTheStopButtonDoes) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        BoardOptions paced = Unpaced();
        paced.baudRate = 115200; // some seconds for 20 KB: time for the signal to land
        BackgroundBoard board(paced);
        ChildProcess cli = Start({"--port", board.SlavePath(), HexFile(Pattern(20000))});
        // Not a terminal: a line at every tenth of the way; the first says it is under way.
        std::optional<std::string> line;
        while ((line = cli.ReadLine(kPatience)) && line->find("10%") == std::string::npos) {
        }
        ASSERT_TRUE(line.has_value()) << cli.RemainingOutput();
        cli.Signal(signal);
        EXPECT_EQ(cli.Wait(kPatience), 130);
        const std::string rest = cli.RemainingOutput();
        EXPECT_NE(rest.find("Upload aborted.\nDisconnected.\n"), std::string::npos) << rest;
        const BoardResult result = board.WaitFor(kPatience).value_or(board.Stop());
        EXPECT_GT(result.stream.size(), 0u);
        EXPECT_LT(result.stream.size(), 20000u);
        // The pair under way is finished, its second byte without waiting for its request.
        EXPECT_EQ((result.stream.size() + result.unexpectedBytes) % 2, 0u);
        EXPECT_LE(result.unexpectedBytes, 2u);
    }
}

TEST_F(Upload, APortThatCannotBeOpenedSaysWhyAndExitsThree) {
    const Run missing = RunToTheEnd({"--port", "/dev/no-such-port", HexFile(Pattern(10))});
    EXPECT_EQ(missing.exitStatus, 3);
    EXPECT_NE(missing.output.find("Unable to open COM port: /dev/no-such-port."), std::string::npos)
        << missing.output;
    EXPECT_NE(missing.output.find("cannot open /dev/no-such-port: No such file or directory"),
              std::string::npos)
        << missing.output;
    EXPECT_EQ(missing.output.find("dialout"), std::string::npos);

    // Someone without the right to the device: tests run as root, so the command runs as
    // nobody against a line that only root may open.
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run as another user";
    BackgroundBoard board(Unpaced());
    ASSERT_EQ(::chmod(board.SlavePath().c_str(), 0600), 0);
    const std::string file = HexFile(Pattern(10));
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(folder.PathOf("").c_str(), 0755), 0);
    ChildProcess cli({"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                      "/bin/sh", "-c", "exec \"$0\" \"$@\" 2>&1", QUORVEL_CLI, "upload", "--port",
                      board.SlavePath(), file});
    EXPECT_EQ(cli.Wait(kPatience), 3);
    const std::string output = cli.RemainingOutput();
    EXPECT_NE(output.find("Permission denied"), std::string::npos) << output;
    EXPECT_NE(output.find("sudo adduser $USER dialout"), std::string::npos) << output;
}

TEST_F(Upload, WrongUsageExitsTwoAndHelpListsTheExitStatuses) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"fw.hex"},
          {"--port", "ttyS0"},
          {"--port", "x", "--wait", "0", "fw.hex"},
          {"--port", "x", "--parity", "sideways", "fw.hex"},
          {"--bogus"}}) {
        const Run run = RunToTheEnd(arguments);
        EXPECT_EQ(run.exitStatus, 2) << arguments.front() << run.output;
    }
    const Run help = RunToTheEnd({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* status : {"  0 ", "  1 ", "  2 ", "  3 ", "  4 ", "  5 ", "  6 ", "  130 "})
        EXPECT_NE(help.output.find(status), std::string::npos) << status;
}

} // namespace
} // namespace quorvel::cli::testing
