#include "SoakRun.h"

#include "BackgroundBoard.h"
#include "LeftBehind.h"
#include "SoakImage.h"
#include "SpawnedProgram.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace quorvel::soak {

namespace {

constexpr int kUploaded = 0;
constexpr int kBoardStopped = 5;
constexpr int kLineFailed = 6;

std::string SecondsText(milliseconds duration) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::chrono::duration<double>(duration).count());
    return text;
}

std::vector<std::string> UploadCommand(const SoakOptions& options, const std::string& port,
                                       const std::string& hexPath) {
    return {options.cliPath,
            "upload",
            "--port",
            port,
            hexPath,
            "--timeout",
            SecondsText(options.requestTimeout),
            "--wait",
            SecondsText(options.bootloaderWait)};
}

// Unpaced, with the run's fault. It asks for exactly the stream, so after a success it ends as
// soon as quorvel-cli closes the line, instead of a silence later.
board::BoardOptions BoardOptionsFor(const SoakOptions& options, std::uint32_t seed,
                                    const std::string& hexPath, std::size_t imageLength) {
    board::BoardOptions board;
    board.baudRate = 0;
    board.silence = options.boardSilence;
    board.stallLength = options.stall;
    board.faultSeed = seed;
    board.expectedHexPath = hexPath;
    board.stopAfter = imageLength + board::kTailLength;
    return board;
}

// After a success the board must have taken every byte: it ends by itself once quorvel-cli has
// closed the line. After anything else it is stopped at once: it has taken all that came before
// the fault, and a stalled board would only go on waiting.
board::BoardResult ResultOf(board::BackgroundBoard& board, std::optional<int> exitStatus,
                            const SoakOptions& options, std::string& note) {
    if (exitStatus == kUploaded) {
        if (auto result = board.WaitFor(options.boardPatience)) return *result;
        note = "; the board was still running after the upload";
    }
    return board.Stop();
}

bool ImageWhole(const board::BoardResult& result) {
    const auto& compared = result.hexComparison;
    return compared && compared->error.empty() && compared->comparison.Match() && result.TailOk() &&
           result.unexpectedBytes == 0;
}

std::string BoardReport(const board::BoardResult& result) {
    std::string report;
    if (const auto& compared = result.hexComparison)
        report =
            "compare: " +
            (compared->error.empty() ? DescribeComparison(compared->comparison) : compared->error) +
            "; ";
    return report + "summary: " + SummaryLine(result);
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Runs the upload; everything it opens is closed again when this returns.
void Upload(const SoakOptions& options, const std::string& folder, RunRecord& record) {
    const Bytes image = SoakImage(record.seed);
    const std::string hexPath = folder + "/image.hex";
    const std::string outputPath = folder + "/quorvel-cli.txt";
    if (!WriteHexFile(hexPath, image)) throw std::runtime_error("cannot write " + hexPath);
    board::BackgroundBoard board(BoardOptionsFor(options, record.seed, hexPath, image.size()));
    {
        SpawnedProgram cli(UploadCommand(options, board.SlavePath(), hexPath), outputPath);
        record.exitStatus = cli.WaitFor(options.cliPatience);
    }
    std::string note;
    const board::BoardResult result = ResultOf(board, record.exitStatus, options, note);
    record.faultKind = result.faultKind;
    record.faultDescription = result.faultDescription;
    record.imageWhole = ImageWhole(result);
    record.boardReport = BoardReport(result) + note;
    record.cliOutput = ReadText(outputPath);
}

} // namespace

int ExpectedExitStatus(board::FaultKind kind) {
    switch (kind) {
    case board::FaultKind::None:
    case board::FaultKind::StrayCharacters:
    case board::FaultKind::FlashPauses:
        return kUploaded;
    case board::FaultKind::Stall:
        return kBoardStopped;
    case board::FaultKind::HangUp:
        return kLineFailed;
    }
    return kUploaded;
}

RunRecord RunOnce(const SoakOptions& options, const std::string& folder, std::uint32_t seed) {
    const std::set<int> descriptorsBefore = OpenDescriptors();
    RunRecord record;
    record.seed = seed;
    Upload(options, folder, record);
    const std::set<int> descriptorsAfter = OpenDescriptors();
    std::set_difference(descriptorsAfter.begin(), descriptorsAfter.end(), descriptorsBefore.begin(),
                        descriptorsBefore.end(), std::back_inserter(record.leakedDescriptors));
    record.liveChildren = LiveChildren();
    return record;
}

std::string DescribeRun(const RunRecord& record) {
    std::string text =
        "run with seed " + std::to_string(record.seed) + " (" + record.faultDescription + "): ";
    text += record.exitStatus ? "exit " + std::to_string(*record.exitStatus)
                              : std::string("quorvel-cli did not end and was killed");
    text += ", expected " + std::to_string(ExpectedExitStatus(record.faultKind));
    if (record.FalseSuccess()) text += ", but the board did not get the file's image whole";
    for (const int descriptor : record.leakedDescriptors)
        text += ", descriptor " + std::to_string(descriptor) + " left open";
    for (const pid_t child : record.liveChildren)
        text += ", child " + std::to_string(child) + " still there";
    return text + "\n  board: " + record.boardReport + "\n  quorvel-cli said:\n" + record.cliOutput;
}

} // namespace quorvel::soak
