#pragma once
// A program the soak runs: its input from /dev/null, its output and errors to one file, and an
// end that the soak waits for within a bound.

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::soak {

class SpawnedProgram {
public:
    // Starts arguments[0] with the arguments; throws std::system_error when it cannot.
    SpawnedProgram(const std::vector<std::string>& arguments, const std::string& outputPath);
    // Kills the program and collects it if it still runs.
    ~SpawnedProgram();
    SpawnedProgram(const SpawnedProgram&) = delete;
    SpawnedProgram& operator=(const SpawnedProgram&) = delete;

    // The exit status once the program has ended within `timeout` (128 + the signal when a
    // signal ended it), or nothing while it still runs.
    std::optional<int> WaitFor(std::chrono::milliseconds timeout);
    // Kills the program and collects it; nothing to do once it has ended.
    void Kill();

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

} // namespace quorvel::soak
