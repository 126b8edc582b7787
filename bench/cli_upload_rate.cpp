// quorvel-cli upload against the virtual board: its rate paced at 115200 baud beside the line's
// limit, its rate unpaced beside a bare responder loop on the same kind of board, and its
// processor time per byte beside the window's for the same paced upload.
//   quorvel-bench-cli-upload QUORVEL_CLI FILE.hex IMAGE_BYTES

#include "BackgroundBoard.h"
#include "BareResponder.h"
#include "OffscreenBenchmark.h"
#include "WindowUpload.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using quorvel::board::BoardResult;

constexpr double kLineLimit = 115200.0 / 20; // a request and an answer, 10 bit times each
constexpr int kUnpacedRounds = 5;

struct CliRun {
    int exitStatus = -1;
    BoardResult board;
    double cpuSeconds = 0;
};

// Runs quorvel-cli upload to a fresh board, its output out of the way.
CliRun UploadThroughCli(const std::string& cli, const std::string& hexFile, unsigned baudRate) {
    quorvel::board::BoardOptions options;
    options.baudRate = baudRate;
    options.silence = 1000ms;
    quorvel::board::BackgroundBoard board(options);
    const pid_t child = ::fork();
    if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execl(cli.c_str(), cli.c_str(), "upload", "--port", board.SlavePath().c_str(),
                hexFile.c_str(), nullptr);
        ::_exit(127);
    }
    CliRun run;
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    run.board = board.WaitFor(5s).value_or(board.Stop());
    return run;
}

bool Whole(const BoardResult& result, std::size_t streamLength) {
    return result.stream.size() == streamLength && result.TailOk();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s QUORVEL_CLI FILE.hex IMAGE_BYTES\n", argv[0]);
        return 2;
    }
    quorvel::bench::PrepareOffscreenBenchmark();
    const std::string cli = argv[1];
    const std::string hexFile = argv[2];
    const std::size_t imageLength = std::strtoul(argv[3], nullptr, 0);
    const std::size_t streamLength = imageLength + quorvel::board::kTailLength;
    std::printf("quorvel-cli upload of a %zu-byte image to the virtual board\n", imageLength);

    // Unpaced, the host is all that limits the rate: the command and the bare loop by turns,
    // since one run differs from the next on a small machine.
    std::vector<double> ratios;
    for (int round = 0; round < kUnpacedRounds; ++round) {
        const CliRun run = UploadThroughCli(cli, hexFile, 0);
        const BoardResult bare = quorvel::bench::UploadWithBareResponder(0, imageLength);
        ratios.push_back(run.board.BytesPerSecond() / bare.BytesPerSecond());
        std::printf("  unpaced: quorvel-cli %8.0f bytes/s (exit %d, %s), bare loop %8.0f bytes/s,"
                    " %.1f%%\n",
                    run.board.BytesPerSecond(), run.exitStatus,
                    Whole(run.board, streamLength) ? "byte-exact" : "INCOMPLETE",
                    bare.BytesPerSecond(), 100.0 * ratios.back());
    }
    std::printf("  unpaced: median %.1f%% of the bare loop's rate\n", 100.0 * Median(ratios));

    const CliRun paced = UploadThroughCli(cli, hexFile, 115200);
    const double cliCpuPerByte = paced.cpuSeconds / static_cast<double>(streamLength);
    std::printf("  paced at 115200 baud: quorvel-cli %.0f bytes/s (exit %d, %s), %.1f%% of the"
                " line's %.0f bytes/s\n",
                paced.board.BytesPerSecond(), paced.exitStatus,
                Whole(paced.board, streamLength) ? "byte-exact" : "INCOMPLETE",
                100.0 * paced.board.BytesPerSecond() / kLineLimit, kLineLimit);

    QApplication application(argc, argv);
    QTemporaryDir folder;
    quorvel::bench::AnswerDialogsAtOnce();
    const auto window = quorvel::bench::UploadThroughWindow(
        115200, folder, QString::fromStdString(hexFile), streamLength);
    const double windowCpuPerByte = window.cpuSeconds / static_cast<double>(streamLength);
    std::printf("  paced at 115200 baud: the window %.0f bytes/s (%s)\n",
                window.boardBytesPerSecond, window.whole ? "byte-exact" : "INCOMPLETE");
    std::printf("  processor time per byte: quorvel-cli %.2f us, the window's thread %.2f us"
                " (%.1f%%)\n",
                cliCpuPerByte * 1e6, windowCpuPerByte * 1e6,
                100.0 * cliCpuPerByte / windowCpuPerByte);
    return 0;
}
