// The start button: send the image on the board's requests, then the tail, and report.

#include "BootloaderLink.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace quorvel::link {

namespace {

constexpr const char* kNoFileStatus = ": No files opened.";
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
    const bool fileTaken = host_.StatusPanelText() != kNoFileStatus;
    if (!connected) host_.AppendHistory("Error: Connect first.");
    if (!fileTaken) host_.AppendHistory("Error: Load HEX file first.");
    return connected && fileTaken;
}

void BootloaderLink::BeginOrStopUpload() {
    if (!UploadPreconditionsHold()) return;
    if (UploadRunning == 1)
        StopUpload();
    else
        BeginUpload();
}

// The running upload sees the flag in its current wait. Its buttons come back with its
// common ending, so nothing can start a second conversation meanwhile; a run that a serial
// error ended has no ending to wait for, so they come back at once.
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
    uploadActive_ = true;
    try {
        if (RunUpload() == UploadEnd::TimedOut)
            host_.AppendHistory("Error: Timeout waiting for MCU.");
        else if (!host_.CloseRequested())
            ReportCompletion();
    } catch (...) {
        // A serial error ends the run where it happened; the port stays open (see StopUpload).
        uploadActive_ = false;
        throw;
    }
    uploadActive_ = false;
    CommonEnding();
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

void BootloaderLink::ReportCompletion() {
    host_.AppendHistory("Completed successfully.");
    host_.SetStartCaption("Begin uploading");
    const std::string file = "\"" + host_.OpenDialogFileName() + "\"";
    if (UploadRunning == 1)
        host_.ShowCompletionDialog("Uploading program has finished.",
                                   "Uploading program " + file + " has finished with success.");
    else
        host_.ShowCompletionDialog("Uploading program was aborted.",
                                   "Uploading program " + file + " was aborted.");
}

void BootloaderLink::CommonEnding() {
    host_.ClosePort();
    host_.SetStepButtonsEnabled(true);
    host_.SetConnectCaption("Connect");
    host_.AppendHistory("Disconnected.");
    SetProgressPosition(0);
    UploadRunning = 0;
    host_.SetStartCaption("Begin uploading");
    if (host_.CloseWhenFinished() || host_.CloseRequested()) host_.CloseMainWindow();
}

} // namespace quorvel::link
