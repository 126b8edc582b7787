#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace quorvel::board::testing {

namespace {

std::string ReadAll(int descriptor) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else {
            return text;
        }
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
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(output.writeEnd.Get(), STDOUT_FILENO);
        ::dup2(error.writeEnd.Get(), STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (pid_ < 0) throw std::runtime_error("fork failed");
    output_ = std::move(output.readEnd);
    error_ = std::move(error.readEnd);
}

ChildProcess::~ChildProcess() {
    if (!status_ && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd watched{output_.Get(), POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t count = ::read(output_.Get(), buffer, sizeof buffer);
        if (count == 0) return std::nullopt;
        if (count > 0) buffered_.append(buffer, static_cast<std::size_t>(count));
    }
}

void ChildProcess::Signal(int signal) {
    ::kill(pid_, signal);
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
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return *status_;
}

std::string ChildProcess::RemainingOutput() {
    return std::exchange(buffered_, {}) + ReadAll(output_.Get());
}

std::string ChildProcess::ErrorOutput() {
    return ReadAll(error_.Get());
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

} // namespace quorvel::board::testing
