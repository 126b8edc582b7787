#pragma once
// Runs a program to its end as a child process and collects its exit status and output.

#include <string>
#include <vector>

namespace quorvel::testing {

struct ProcessResult {
    int exitStatus = -1; // -1 when the program did not exit normally or within a minute
    std::string standardOutput;
    std::string standardError;
};

ProcessResult RunProcess(const std::vector<std::string>& arguments);

} // namespace quorvel::testing
