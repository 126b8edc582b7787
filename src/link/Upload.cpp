// The start button: send the image on the board's requests, then the tail, and report.

#include "BootloaderLink.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace quorvel::link {

namespace {

constexpr int kProgressStep = 7;
constexpr int kTailProgressMaximum = kTailLength * kProgressStep;

std::string EchoLine(const char* prefix, std::uint8_t byte) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    return std::string(prefix) + hex;
}

// The echo of a byte requested by "y" and of one requested by "x": the two columns.
constexpr const char* kEvenEcho = "                     yy: ";
constexpr const char* kOddEcho = "         xx: ";

char OtherRequest(char request) {
    return request == kEvenRequest ? kOddRequest : kEvenRequest;
}

} // namespace

int ProgressMaximumFor(long long imageLength) {
    const long long twice = imageLength * 7; // twice L x 3.5
    long long maximum = twice / 2;
    if (twice % 2 != 0 && maximum % 2 != 0) ++maximum; // a half goes to the even neighbour
    return static_cast<int>(std::min<long long>(maximum, INT_MAX));
}

void BootloaderLink::SetProgressMaximum(int maximum) {
    progressMaximum_ = maximum;
    progressPosition_ = std::min(progressPosition_, maximum);
    view_.ShowProgress(progressPosition_, progressMaximum_);
}

void BootloaderLink::SetProgressPosition(int position) {
    progressPosition_ = std::clamp(position, 0, progressMaximum_);
    view_.ShowProgress(progressPosition_, progressMaximum_);
}

void BootloaderLink::StepProgress() {
    const bool roomForAStep = progressMaximum_ - progressPosition_ >= kProgressStep;
    SetProgressPosition(roomForAStep ? progressPosition_ + kProgressStep : progressMaximum_);
}

bool BootloaderLink::UploadPreconditionsHold() {
    const bool connected = port_.IsOpen();
    const bool imageLoaded = port_.ImageLoaded();
    if (!connected) view_.AppendHistory("Error: Connect first.");
    if (!imageLoaded) view_.AppendHistory("Error: Load HEX file first.");
    return connected && imageLoaded;
}

void BootloaderLink::BeginOrStopUpload() {
    if (!UploadPreconditionsHold()) return;
    if (UploadRunning == 1)
        StopUpload();
    else
        BeginUpload();
}

// The running upload sees the flag in its current wait and winds down to its ending, which
// gives the step buttons back, so nothing can start a second conversation meanwhile. With no
// run on the stack there is no ending to wait for.
void BootloaderLink::StopUpload() {
    UploadRunning = 0;
    view_.ShowState(uploadActive_ ? LinkState::Stopping : LinkState::Connected);
}

void BootloaderLink::BeginUpload() {
    if (uploadActive_) return; // a stopped run is still winding down
    UploadRunning = 1;
    view_.ShowState(LinkState::Uploading);
    try {
        UploadOutcome outcome;
        {
            const ScopedFlag active(uploadActive_);
            outcome = Report(RunUpload());
        }
        CommonEnding(outcome);
    } catch (...) {
        EndUploadAfterError();
        throw;
    }
}

UploadOutcome BootloaderLink::RunUpload() {
    SetProgressMaximum(ProgressMaximumFor(static_cast<long long>(port_.Image().size())));
    view_.AppendHistory("Uploading...");
    char tailRequest = kEvenRequest;
    if (!SendImage(tailRequest) || !SendTail(tailRequest)) return UploadOutcome::TimedOut;
    return UploadRunning == 1 ? UploadOutcome::Finished : UploadOutcome::Aborted;
}

// Each pair of bytes: the even one on "y", the odd one on "x". The image is read afresh at
// every step, so a change of its length can never make the run read past its end.
bool BootloaderLink::SendImage(char& tailRequest) {
    std::size_t index = 0;
    while (index < port_.Image().size()) {
        if (UploadRunning == 0) return true;
        std::uint8_t byte = port_.Image()[index++];
        if (!WaitFor(kEvenRequest)) return false;
        port_.Write(byte);
        view_.AppendEcho(EchoLine(kEvenEcho, byte));
        if (index >= port_.Image().size()) {
            tailRequest = kOddRequest;
            return true;
        }
        byte = port_.Image()[index++];
        if (!WaitFor(kOddRequest)) return false;
        StepProgress();
        port_.Write(byte);
        view_.AppendEcho(EchoLine(kOddEcho, byte));
    }
    return true;
}

bool BootloaderLink::SendTail(char tailRequest) {
    view_.AppendHistory("Finishing...");
    SetProgressPosition(0);
    SetProgressMaximum(kTailProgressMaximum);
    for (int sent = 0; sent < kTailLength; ++sent) {
        if (UploadRunning == 0) break;
        if (!WaitFor(tailRequest)) return false;
        port_.Write(kTailByte);
        tailRequest = OtherRequest(tailRequest);
        StepProgress();
    }
    return true;
}

// Ends on the awaited character, on a stop (the caller then sends its byte all the same),
// or on a timeout: the attempt that reaches the limit is a timeout whatever it brought.
bool BootloaderLink::WaitFor(char request) {
    PollCount = 0;
    waitLimit_->Begin(WaitLimit::Wait::Request);
    while (UploadRunning == 1) {
        ReadAttempt();
        view_.ProcessPendingMessages();
        if (view_.StopRequested()) UploadRunning = 0;
        if (waitLimit_->Reached(PollCount)) return false;
        if (RxText.size() == 1 && RxText[0] == request) return true;
    }
    return true;
}

// Only a run that answered every request to the end is a success; one that a stop or the
// view cut short says so. Either is shown while the port is still open.
UploadOutcome BootloaderLink::Report(UploadOutcome outcome) {
    switch (outcome) {
    case UploadOutcome::Finished:
        view_.AppendHistory("Completed successfully.");
        view_.ShowCompletion(outcome);
        break;
    case UploadOutcome::Aborted:
        view_.AppendHistory("Upload aborted.");
        view_.ShowCompletion(outcome);
        break;
    case UploadOutcome::TimedOut:
        view_.AppendHistory("Error: Timeout waiting for MCU.");
        break;
    case UploadOutcome::LineFailed: // travels as the error itself
        break;
    }
    return outcome;
}

void BootloaderLink::CommonEnding(UploadOutcome outcome) {
    port_.Close();
    ReturnToIdle();
    view_.UploadEnded(outcome);
}

// A serial error ends the run as a timeout does; the view hears that the line failed.
void BootloaderLink::EndUploadAfterError() {
    ClosePortQuietly();
    ReturnToIdle();
    view_.UploadEnded(UploadOutcome::LineFailed);
}

void BootloaderLink::ReturnToIdle() {
    view_.ShowState(LinkState::Idle);
    view_.AppendHistory("Disconnected.");
    SetProgressPosition(0);
    UploadRunning = 0;
}

} // namespace quorvel::link
