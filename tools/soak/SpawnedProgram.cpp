#include "SpawnedProgram.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>

extern char** environ;

namespace quorvel::soak {

namespace {

using namespace std::chrono_literals;

// How often a wait looks whether the program has ended: far below the time a run takes.
constexpr auto kLookInterval = 1ms;

class SpawnActions {
public:
    explicit SpawnActions(const std::string& outputPath) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions_, 1, outputPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions_, 1, 2);
    }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    const posix_spawn_file_actions_t* Get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

int StatusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    return 128 + WTERMSIG(waitStatus);
}

} // namespace

SpawnedProgram::SpawnedProgram(const std::vector<std::string>& arguments,
                               const std::string& outputPath) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const SpawnActions actions(outputPath);
    const int error = posix_spawn(&pid_, argv[0], actions.Get(), nullptr, argv.data(), environ);
    if (error != 0) throw std::system_error(error, std::generic_category(), arguments[0]);
}

SpawnedProgram::~SpawnedProgram() {
    Kill();
}

std::optional<int> SpawnedProgram::WaitFor(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int waitStatus = 0;
        const pid_t ended = ::waitpid(pid_, &waitStatus, WNOHANG);
        if (ended == pid_) {
            status_ = StatusOf(waitStatus);
        } else if (ended < 0 && errno != EINTR) {
            status_ = -1; // not ours to collect any more: nothing is left to wait for
        } else if (std::chrono::steady_clock::now() >= deadline) {
            break;
        } else {
            std::this_thread::sleep_for(kLookInterval);
        }
    }
    return status_;
}

void SpawnedProgram::Kill() {
    if (status_) return;
    ::kill(pid_, SIGKILL);
    int waitStatus = 0;
    while (::waitpid(pid_, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    status_ = StatusOf(waitStatus);
}

} // namespace quorvel::soak
