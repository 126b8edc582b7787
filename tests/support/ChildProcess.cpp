#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace quorvel::testing {

namespace {

// Reads `pipe` to its end and closes it.
std::string ReadToEnd(common::UniqueDescriptor& pipe) {
    std::string text;
    char buffer[4096];
    while (pipe) {
        const ssize_t count = ::read(pipe.Get(), buffer, sizeof buffer);
        if (count > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else {
            pipe.Close();
        }
    }
    return text;
}

// One read from a pipe that poll found ready; at its end the pipe is closed, so that poll no
// longer reports it.
void TakeReady(const pollfd& watched, common::UniqueDescriptor& pipe, std::string& kept) {
    if (watched.revents == 0) return;
    char buffer[4096];
    const ssize_t count = ::read(pipe.Get(), buffer, sizeof buffer);
    if (count > 0) {
        kept.append(buffer, static_cast<std::size_t>(count));
    } else if (count == 0 || errno != EINTR) {
        pipe.Close();
    }
}

struct Pipe {
    common::UniqueDescriptor readEnd, writeEnd;
};

Pipe MakePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    return {common::UniqueDescriptor(ends[0]), common::UniqueDescriptor(ends[1])};
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments) {
    Pipe output = MakePipe();
    Pipe error = MakePipe();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.writeEnd.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, error.writeEnd.Get(), STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid_ = -1;
        status_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    // The write ends close as `output` and `error` go: the child holds the only others.
    output_ = std::move(output.readEnd);
    error_ = std::move(error.readEnd);
}

ChildProcess::~ChildProcess() {
    if (!status_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void ChildProcess::Collect(std::chrono::milliseconds timeout) {
    pollfd watched[2] = {{output_.Get(), POLLIN, 0}, {error_.Get(), POLLIN, 0}};
    if (::poll(watched, 2, static_cast<int>(timeout.count())) <= 0) return;
    TakeReady(watched[0], output_, outputKept_);
    TakeReady(watched[1], error_, errorKept_);
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto end = outputKept_.find('\n');
        if (end != std::string::npos) {
            std::string line = outputKept_.substr(0, end);
            outputKept_.erase(0, end + 1);
            return line;
        }
        if (!output_) return std::nullopt;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        Collect(left);
    }
}

void ChildProcess::Signal(int signal) {
    if (!status_) ::kill(pid_, signal);
}

int ChildProcess::Wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int status = 0;
        const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        } else if (std::chrono::steady_clock::now() >= deadline) {
            return -1;
        } else {
            Collect(std::chrono::milliseconds(5));
        }
    }
    return *status_;
}

std::string ChildProcess::RemainingOutput() {
    return std::exchange(outputKept_, {}) + ReadToEnd(output_);
}

std::string ChildProcess::ErrorOutput() {
    return std::exchange(errorKept_, {}) + ReadToEnd(error_);
}

double ChildProcess::CpuSeconds() const {
    std::ifstream file("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // Fields 14 and 15 (user and system time in clock ticks) follow the parenthesised name.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; fields >> field && index <= 15; ++index)
        if (index >= 14) ticks += std::stod(field);
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

} // namespace quorvel::testing
