#pragma once
// The bootloader conversation as the command line shows it: the history lines, one a line, on
// standard error, a progress report while the image goes out, and Ctrl-C as the stop button.

#include "BootloaderView.h"
#include "ProgressReport.h"

#include <functional>
#include <optional>

namespace quorvel::cli {

class CliLinkView : public link::BootloaderView {
public:
    // `streamBytesSent` says how many bytes of the image and its tail have gone out.
    CliLinkView(ProgressReport& progress, std::size_t streamLength,
                std::function<std::size_t()> streamBytesSent);

    void AppendHistory(const std::string& line) override;
    void AppendEcho(const std::string&) override {}
    void ClearEcho() override {}
    void ShowProgress(int, int) override {}
    void ShowState(link::LinkState state) override;
    void ShowCompletion(link::UploadOutcome) override {}
    void UploadEnded(link::UploadOutcome outcome) override;
    void ProcessPendingMessages() override;
    bool StopRequested() const override;

    link::LinkState State() const { return state_; }
    std::optional<link::UploadOutcome> Outcome() const { return outcome_; }

private:
    ProgressReport& progress_;
    std::size_t streamLength_;
    std::function<std::size_t()> streamBytesSent_;
    link::LinkState state_ = link::LinkState::Idle;
    std::optional<link::UploadOutcome> outcome_;
};

} // namespace quorvel::cli
