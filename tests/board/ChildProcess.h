#pragma once
// A program run by a test, with its standard output and error read through pipes.

#include "UniqueDescriptor.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::board::testing {

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& arguments);
    ~ChildProcess(); // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Id() const { return pid_; }
    // One line of standard output, without its line end; nothing on a timeout or at the end.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    void Signal(int signal);
    // The exit status once the child has ended within `timeout`; -1 if it did not or was killed.
    int Wait(std::chrono::milliseconds timeout);
    // All of standard output and error left after the child ended.
    std::string RemainingOutput();
    std::string ErrorOutput();
    // CPU seconds the child has used so far, user and system.
    double CpuSeconds() const;

private:
    pid_t pid_ = -1;
    common::UniqueDescriptor output_;
    common::UniqueDescriptor error_;
    std::string buffered_;
    std::optional<int> status_;
};

} // namespace quorvel::board::testing
