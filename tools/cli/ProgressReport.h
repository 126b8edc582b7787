#pragma once
// The upload's progress on standard error. On a terminal one line, redrawn in place at most ten
// times a second and cleared whenever another line is written; elsewhere (a pipe, a log) a
// line at every tenth of the way.

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace quorvel::cli {

// "  12288/131135 bytes   9%   5621 bytes/s   0:21 left"
std::string ProgressText(std::size_t done, std::size_t total, double seconds);

class ProgressReport {
public:
    using Clock = std::chrono::steady_clock;

    ProgressReport(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

    void Start(std::size_t total, Clock::time_point now);
    void Update(std::size_t done, Clock::time_point now);
    // Takes the progress line off the terminal, so that the next line starts clean.
    void Clear();
    bool Started() const { return total_ > 0; }

private:
    void Draw(std::size_t done, Clock::time_point now);

    std::FILE* out_;
    bool terminal_;
    std::size_t total_ = 0;
    Clock::time_point started_{};
    Clock::time_point drawnAt_{};
    bool drawn_ = false;        // a line stands on the terminal
    std::size_t nextTenth_ = 1; // the next tenth to report elsewhere
};

} // namespace quorvel::cli
