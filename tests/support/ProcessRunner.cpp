#include "ProcessRunner.h"

#include "ChildProcess.h"
#include "Patience.h"

#include <chrono>
#include <csignal>

namespace quorvel::testing {

namespace {

// Far longer than any program a test runs to its end takes; one still running by then hangs.
constexpr std::chrono::minutes kLongestRun{1};

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& arguments) {
    ChildProcess child(arguments);
    ProcessResult result;
    result.exitStatus = child.Wait(kLongestRun);
    child.Signal(SIGKILL); // only if it still runs
    child.Wait(kPatience);
    result.standardOutput = child.RemainingOutput();
    result.standardError = child.ErrorOutput();
    return result;
}

} // namespace quorvel::testing
