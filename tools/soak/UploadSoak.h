#pragma once
// The upload soak: uploads small images through quorvel-cli, one run after another, each to a
// virtual board that plays the fault of the run's seed, and counts what must never happen.

#include "BoardFaults.h"
#include "SoakOptions.h"

#include <chrono>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace quorvel::soak {

struct KindTally {
    std::size_t runs = 0;
    std::map<int, std::size_t> exits; // exit status to runs; -1 for a quorvel-cli that hung
};

struct SoakReport {
    std::size_t runs = 0;
    // The three counts that must be 0.
    std::size_t exitMismatches = 0; // quorvel-cli's exit status is not the one the fault demands
    std::size_t falseSuccesses = 0; // exit 0, yet the board did not get the file's image whole
    std::size_t leftBehind = 0;     // runs that left a descriptor open or a process running
    std::map<board::FaultKind, KindTally> kinds;
    std::vector<std::string> failures; // the first few failed runs, in full
    std::chrono::steady_clock::duration elapsed{};

    bool Clean() const { return exitMismatches == 0 && falseSuccesses == 0 && leftBehind == 0; }
};

// Runs the soak in a temporary folder of its own, removed at the end. Throws when a run cannot
// be set up at all.
SoakReport RunUploadSoak(const SoakOptions& options);

// The counts, the tallies by kind, the wall time and the failures kept, one item a line.
std::string FormatSoakReport(const SoakReport& report);

} // namespace quorvel::soak
