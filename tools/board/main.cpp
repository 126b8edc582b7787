// quorvel-board: a virtual Vantora board on a pseudo-terminal (quorvel-board --help).

#include "CommandLine.h"
#include "PortPublication.h"
#include "ProgramFolders.h"
#include "ProgramVersion.h"
#include "VirtualBoard.h"

#include <csignal>
#include <cstdio>
#include <memory>
#include <system_error>

namespace {

using namespace quorvel::board;

VirtualBoard* runningBoard = nullptr;

extern "C" void StopOnSignal(int) {
    if (runningBoard) runningBoard->RequestStop();
}

void StopOnSignals() {
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void PrintLine(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Prints what the options asked for at the end; returns the exit status.
int Report(const BoardOptions& options, const BoardResult& result) {
    int status = result.endReason == EndReason::Failed ? 1 : 0;
    if (options.faultSeed) PrintLine("fault: " + result.faultDescription);
    if (!options.imageOutputPath.empty()) {
        if (result.imageWriteError) {
            std::fprintf(stderr, "quorvel-board: %s\n", result.imageWriteError->c_str());
            status = 1;
        } else {
            PrintLine("image: " + std::to_string(result.Image().size()) + " bytes written to " +
                      options.imageOutputPath);
        }
    }
    if (const auto& compared = result.hexComparison) {
        if (!compared->error.empty()) {
            std::fprintf(stderr, "quorvel-board: %s: %s\n", options.expectedHexPath.c_str(),
                         compared->error.c_str());
            status = 1;
        } else {
            PrintLine("compare: " + DescribeComparison(compared->comparison));
            if (!compared->comparison.Match()) status = 1;
        }
    }
    PrintLine("summary: " + SummaryLine(result));
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine line = ParseCommandLine(std::vector<std::string_view>(argv + 1, argv + argc));
    if (!line.error.empty()) {
        std::fprintf(stderr, "quorvel-board: %s\nTry 'quorvel-board --help'.\n",
                     line.error.c_str());
        return 2;
    }
    if (line.help) {
        std::fputs(HelpText(), stdout);
        return 0;
    }
    if (line.version) {
        PrintLine(std::string("quorvel-board ") + quorvel::common::kVersionText);
        return 0;
    }
    std::unique_ptr<VirtualBoard> board;
    try {
        board = std::make_unique<VirtualBoard>(line.options);
    } catch (const std::system_error& error) {
        std::fprintf(stderr, "quorvel-board: no pseudo-terminal: %s\n", error.what());
        return 1;
    }
    runningBoard = board.get();
    StopOnSignals();
    std::unique_ptr<PortPublication> publication;
    if (!line.options.publishName.empty()) {
        try {
            publication = std::make_unique<PortPublication>(
                quorvel::common::PortsFolder(quorvel::common::ProgramFolder()),
                line.options.publishName, board->SlavePath());
        } catch (const std::system_error& error) {
            std::fprintf(stderr, "quorvel-board: cannot publish the port: %s\n", error.what());
            return 1;
        }
    }
    PrintLine(board->SlavePath());
    if (publication) PrintLine("published as " + publication->LinkPath());
    const BoardResult result = board->Run();
    return Report(line.options, result);
}
