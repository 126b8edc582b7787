#include "UploadSoak.h"

#include "SoakRun.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace quorvel::soak {

namespace {

class SoakFolder {
public:
    SoakFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quorvel-soak-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make " + pattern);
        path_ = pattern;
    }
    ~SoakFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    SoakFolder(const SoakFolder&) = delete;
    SoakFolder& operator=(const SoakFolder&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void Count(const RunRecord& record, const SoakOptions& options, SoakReport& report) {
    ++report.runs;
    KindTally& tally = report.kinds[record.faultKind];
    ++tally.runs;
    ++tally.exits[record.exitStatus.value_or(-1)];
    report.exitMismatches += record.ExitMismatch();
    report.falseSuccesses += record.FalseSuccess();
    report.leftBehind += record.LeftSomethingBehind();
    const bool failed =
        record.ExitMismatch() || record.FalseSuccess() || record.LeftSomethingBehind();
    if (failed && report.failures.size() < options.failuresKept)
        report.failures.push_back(DescribeRun(record));
}

std::string TallyLine(board::FaultKind kind, const KindTally& tally) {
    char text[96];
    std::snprintf(text, sizeof text, "  %-17s %5zu runs, expected exit %d; got",
                  FaultKindName(kind), tally.runs, ExpectedExitStatus(kind));
    std::string line = text;
    const char* separator = " ";
    for (const auto& [status, runs] : tally.exits) {
        line += separator;
        line += status < 0 ? std::string("a hang") : "exit " + std::to_string(status);
        line += " in " + std::to_string(runs);
        separator = ", ";
    }
    return line + "\n";
}

} // namespace

SoakReport RunUploadSoak(const SoakOptions& options) {
    const SoakFolder folder;
    SoakReport report;
    const auto startedAt = std::chrono::steady_clock::now();
    for (std::size_t run = 0; run < options.runs; ++run) {
        const auto seed = static_cast<std::uint32_t>(options.firstSeed + run);
        Count(RunOnce(options, folder.Path(), seed), options, report);
    }
    report.elapsed = std::chrono::steady_clock::now() - startedAt;
    return report;
}

std::string FormatSoakReport(const SoakReport& report) {
    const double seconds = std::chrono::duration<double>(report.elapsed).count();
    char text[160];
    std::string lines;
    std::snprintf(text, sizeof text,
                  "exit status not the fault's: %zu\n"
                  "exit 0 but the image not whole: %zu\n"
                  "descriptors or processes left behind: %zu\n",
                  report.exitMismatches, report.falseSuccesses, report.leftBehind);
    lines += text;
    for (const board::FaultKind kind : board::kFaultKinds) {
        const auto tally = report.kinds.find(kind);
        lines += TallyLine(kind, tally == report.kinds.end() ? KindTally{} : tally->second);
    }
    std::snprintf(text, sizeof text, "%zu runs in %.1f s wall time (%.0f ms a run)\n", report.runs,
                  seconds,
                  report.runs > 0 ? 1000.0 * seconds / static_cast<double>(report.runs) : 0.0);
    lines += text;
    for (const std::string& failure : report.failures)
        lines += "failed " + failure + "\n";
    return lines;
}

} // namespace quorvel::soak
