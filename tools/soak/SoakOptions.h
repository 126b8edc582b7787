#pragma once
// How the upload soak runs: which quorvel-cli, how many runs from which seed, and the times that
// quorvel-cli and the boards are given.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel::soak {

using std::chrono::milliseconds;

struct SoakOptions {
    std::string cliPath; // the quorvel-cli program
    std::size_t runs = 1000;
    std::uint32_t firstSeed = 1; // run i uses seed firstSeed + i, for its image and its fault

    milliseconds requestTimeout{300};  // quorvel-cli --timeout
    milliseconds bootloaderWait{2000}; // quorvel-cli --wait
    // The board's stall: well over the request timeout, so a stalled run always times out.
    milliseconds stall{1000};
    // How long a board waits for an answer: over the request timeout, so that quorvel-cli is
    // always the one to give up.
    milliseconds boardSilence{1000};
    // A quorvel-cli that has not ended this long after it started hangs; it is killed.
    milliseconds cliPatience{20000};
    // How long a board may take to see that quorvel-cli has closed the line after a success.
    milliseconds boardPatience{5000};

    // How many failed runs the report describes in full.
    std::size_t failuresKept = 5;
};

} // namespace quorvel::soak
