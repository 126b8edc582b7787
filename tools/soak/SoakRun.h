#pragma once
// One run of the upload soak: a board that plays the fault of the run's seed, quorvel-cli
// uploading the run's image to it as a child process, and what came of it.

#include "BoardFaults.h"
#include "SoakOptions.h"

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::soak {

// What quorvel-cli must exit with against a board that plays this kind of fault: 0 for the
// faults an upload rides out, 5 (the board stopped asking) for a stall, 6 (a serial error) for
// a hang-up.
int ExpectedExitStatus(board::FaultKind kind);

struct RunRecord {
    std::uint32_t seed = 0;
    board::FaultKind faultKind = board::FaultKind::None;
    std::string faultDescription;
    std::optional<int> exitStatus; // nothing: quorvel-cli did not end in time and was killed
    // The board received the file's image and a good tail, and nothing it did not ask for.
    bool imageWhole = false;
    std::string boardReport; // the board's comparison and summary
    std::string cliOutput;   // what quorvel-cli printed
    std::vector<int> leakedDescriptors;
    std::vector<pid_t> liveChildren;

    bool ExitMismatch() const { return exitStatus && *exitStatus != ExpectedExitStatus(faultKind); }
    bool FalseSuccess() const { return exitStatus == 0 && !imageWhole; }
    bool LeftSomethingBehind() const {
        return !exitStatus || !leakedDescriptors.empty() || !liveChildren.empty();
    }
};

// Runs the upload for `seed`, keeping its files in `folder`. Throws when the run cannot be set
// up at all (no pseudo-terminal, no program, no file).
RunRecord RunOnce(const SoakOptions& options, const std::string& folder, std::uint32_t seed);

// "run with seed 17 (stall at byte 233 for 1000 ms): exit 0, expected 5" and what the board and
// quorvel-cli said.
std::string DescribeRun(const RunRecord& record);

} // namespace quorvel::soak
