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
    host_.ShowProgress(progressPosition_, progressMaximum_);
}

void BootloaderLink::SetProgressPosition(int position) {
    progressPosition_ = std::clamp(position, 0, progressMaximum_);
    host_.ShowProgress(progressPosition_, progressMaximum_);
}

void BootloaderLink::StepProgress() {
    const bool roomForAStep = progressMaximum_ - progressPosition_ >= kProgressStep;
    SetProgressPosition(roomForAStep ? progressPosition_ + kProgressStep : progressMaximum_);
}

bool BootloaderLink::UploadPreconditionsHold() {
    const bool connected = host_.IsPortOpen();
    const bool imageLoaded = host_.ImageLoaded();
    if (!connected) host_.AppendHistory("Error: Connect first.");
    if (!imageLoaded) host_.AppendHistory("Error: Load HEX file first.");
    return connected && imageLoaded;
}

void BootloaderLink::BeginOrStopUpload() {
    if (!UploadPreconditionsHold()) return;
    if (UploadRunning == 1)
        StopUpload();
    else
        BeginUpload();
}

// The running upload sees the flag in its current wait. Its buttons come back with its
// common ending, so nothing can start a second conversation meanwhile; with no run on the
// stack there is no ending to wait for, so they come back at once.
void BootloaderLink::StopUpload() {
    if (!uploadActive_) host_.SetStepButtonsEnabled(true);
    UploadRunning = 0;
    host_.SetStartCaption("Begin uploading");
}

void BootloaderLink::BeginUpload() {
    if (uploadActive_) return; // a stopped run is still winding down
    host_.SetStepButtonsEnabled(false);
    UploadRunning = 1;
    host_.SetStartCaption("Stop uploading");
    try {
        {
            const ScopedFlag active(uploadActive_);
            ReportEnd(RunUpload());
        }
        CommonEnding();
    } catch (...) {
        EndUploadAfterError();
        throw;
    }
}

BootloaderLink::UploadEnd BootloaderLink::RunUpload() {
    SetProgressMaximum(ProgressMaximumFor(static_cast<long long>(host_.FirmwareImage().size())));
    host_.AppendHistory("Uploading...");
    char tailRequest = kEvenRequest;
    if (SendImage(tailRequest) == UploadEnd::TimedOut) return UploadEnd::TimedOut;
    return SendTail(tailRequest);
}

// Each pair of bytes: the even one on "y", the odd one on "x". The image is read afresh at
// every step, so a change of its length can never make the run read past its end.
BootloaderLink::UploadEnd BootloaderLink::SendImage(char& tailRequest) {
    std::size_t index = 0;
    while (index < host_.FirmwareImage().size()) {
        if (UploadRunning == 0) return UploadEnd::Finished;
        std::uint8_t byte = host_.FirmwareImage()[index++];
        if (!WaitFor(kEvenRequest)) return UploadEnd::TimedOut;
        host_.WriteByte(byte);
        host_.AppendTerminal(EchoLine(kEvenEcho, byte));
        if (index >= host_.FirmwareImage().size()) {
            tailRequest = kOddRequest;
            return UploadEnd::Finished;
        }
        byte = host_.FirmwareImage()[index++];
        if (!WaitFor(kOddRequest)) return UploadEnd::TimedOut;
        StepProgress();
        host_.WriteByte(byte);
        host_.AppendTerminal(EchoLine(kOddEcho, byte));
    }
    return UploadEnd::Finished;
}

BootloaderLink::UploadEnd BootloaderLink::SendTail(char tailRequest) {
    host_.AppendHistory("Finishing...");
    SetProgressPosition(0);
    SetProgressMaximum(kTailProgressMaximum);
    for (int sent = 0; sent < kTailLength; ++sent) {
        if (UploadRunning == 0) break;
        if (!WaitFor(tailRequest)) return UploadEnd::TimedOut;
        host_.WriteByte(kTailByte);
        tailRequest = OtherRequest(tailRequest);
        StepProgress();
    }
    return UploadEnd::Finished;
}

// Ends on the awaited character, on a stop (the caller then sends its byte all the same),
// or on a timeout: the attempt that reaches PollLimit is a timeout whatever it brought.
bool BootloaderLink::WaitFor(char request) {
    PollCount = 0;
    while (UploadRunning == 1) {
        ReadAttempt();
        host_.ProcessPendingMessages();
        if (host_.CloseRequested()) UploadRunning = 0;
        if (PollCount == PollLimit) return false;
        if (RxText.size() == 1 && RxText[0] == request) return true;
    }
    return true;
}

// Only a run that answered every request to the end is a success; one that a stop or the
// window's close cut short says so.
void BootloaderLink::ReportEnd(UploadEnd end) {
    if (end == UploadEnd::TimedOut)
        host_.AppendHistory("Error: Timeout waiting for MCU.");
    else if (UploadRunning == 1)
        ReportCompletion();
    else
        ReportAbort();
}

void BootloaderLink::ReportCompletion() {
    host_.AppendHistory("Completed successfully.");
    host_.SetStartCaption("Begin uploading");
    if (host_.CloseRequested()) return; // the window is going away
    host_.ShowCompletionDialog("Success", "Uploading program has finished.",
                               "Uploading program " + QuotedFile() + " has finished with success.");
}

void BootloaderLink::ReportAbort() {
    host_.AppendHistory("Upload aborted.");
    host_.SetStartCaption("Begin uploading");
    if (host_.CloseRequested()) return; // the window is going away
    host_.ShowCompletionDialog("Aborted", "Uploading program was aborted.",
                               "Uploading program " + QuotedFile() + " was aborted.");
}

std::string BootloaderLink::QuotedFile() const {
    return "\"" + host_.LoadedFileName() + "\"";
}

void BootloaderLink::CommonEnding() {
    host_.ClosePort();
    ReturnToIdle();
    if (host_.CloseWhenFinished() || host_.CloseRequested()) host_.CloseMainWindow();
}

// A serial error ends the run as a timeout does, but the program stays: "Close when finished"
// would take the error's report with it.
void BootloaderLink::EndUploadAfterError() {
    ClosePortQuietly();
    ReturnToIdle();
    if (host_.CloseRequested()) host_.CloseMainWindow();
}

void BootloaderLink::ReturnToIdle() {
    host_.SetStepButtonsEnabled(true);
    host_.SetConnectCaption("Connect");
    host_.AppendHistory("Disconnected.");
    SetProgressPosition(0);
    UploadRunning = 0;
    host_.SetStartCaption("Begin uploading");
}

} // namespace quorvel::link
