#include "CliLinkView.h"

#include "StopRequest.h"

#include <cstdio>

namespace quorvel::cli {

using link::LinkState;

CliLinkView::CliLinkView(ProgressReport& progress, std::size_t streamLength,
                         std::function<std::size_t()> streamBytesSent)
    : progress_(progress), streamLength_(streamLength),
      streamBytesSent_(std::move(streamBytesSent)) {}

// The progress so far comes first, so that a log reads in the order things happened.
void CliLinkView::AppendHistory(const std::string& line) {
    progress_.Update(streamBytesSent_(), ProgressReport::Clock::now());
    progress_.Clear();
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void CliLinkView::ShowState(LinkState state) {
    if (state == LinkState::Uploading && state_ != LinkState::Uploading)
        progress_.Start(streamLength_, ProgressReport::Clock::now());
    state_ = state;
}

void CliLinkView::UploadEnded(link::UploadOutcome outcome) {
    progress_.Clear();
    outcome_ = outcome;
}

// Called after every read attempt of the upload: the progress follows the bytes sent.
void CliLinkView::ProcessPendingMessages() {
    progress_.Update(streamBytesSent_(), ProgressReport::Clock::now());
}

bool CliLinkView::StopRequested() const {
    return cli::StopRequested();
}

} // namespace quorvel::cli
