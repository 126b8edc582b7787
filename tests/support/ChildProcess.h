#pragma once
// A program run by a test, with its standard output and error read through pipes while it runs
// and its standard input empty.

#include "UniqueDescriptor.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::testing {

class ChildProcess {
public:
    // The first argument is the program's path. A program that cannot be started counts as
    // one that ended abnormally.
    explicit ChildProcess(const std::vector<std::string>& arguments);
    ~ChildProcess(); // kills the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // One line of standard output, without its line end; nothing on a timeout or at the end.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Sent only while the child has not been waited for, so never to a stranger.
    void Signal(int signal);
    // The exit status once the child has ended within `timeout`; -1 if it did not or was killed.
    // What the child writes meanwhile is kept, so a child with much to say still ends.
    int Wait(std::chrono::milliseconds timeout);
    // All of standard output and error left after the child ended.
    std::string RemainingOutput();
    std::string ErrorOutput();
    // CPU seconds the child has used so far, user and system.
    double CpuSeconds() const;

private:
    // Waits up to `timeout` for either pipe and keeps what came; a pipe at its end is closed.
    void Collect(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    common::UniqueDescriptor output_;
    common::UniqueDescriptor error_;
    std::string outputKept_;
    std::string errorKept_;
    std::optional<int> status_;
};

} // namespace quorvel::testing
