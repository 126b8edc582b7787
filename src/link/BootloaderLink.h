#pragma once
// The conversation with the board's bootloader: the handshake behind the connect button and
// the upload behind the start button. It speaks to a port (the line and the image) and tells
// a view what happens. Both run on the user-interface thread; a click on either button may
// run nested inside a running wait (through the view's message processing) and ends it
// through the port's open flag or UploadRunning.

#include "BootloaderPort.h"
#include "BootloaderView.h"
#include "WaitLimit.h"
#include "WireProtocol.h"

#include <string>

namespace quorvel::link {

class BootloaderLink {
public:
    BootloaderLink(BootloaderPort& port, BootloaderView& view)
        : BootloaderLink(port, view, ownUploadRunning_) {}
    // With the stop flag kept by the caller (the window keeps it with its start button).
    BootloaderLink(BootloaderPort& port, BootloaderView& view, int& uploadRunning)
        : UploadRunning(uploadRunning), port_(port), view_(view) {}

    // Waits end after PollLimit attempts unless another limit is given; it must outlive the
    // link.
    void SetWaitLimit(WaitLimit& limit) { waitLimit_ = &limit; }

    // ButtonConnect: connect (open, wait for "g", answer "r") or disconnect.
    void ConnectOrDisconnect();
    // ButtonStartBootloader: begin an upload, or stop the running one.
    void BeginOrStopUpload();

private:
    int ownUploadRunning_ = 0;

public:
    // Read-attempt state shared by the handshake and every wait of the upload.
    int PollCount = 0;
    std::string RxText;
    // 1 while an upload runs; the only stop signal.
    int& UploadRunning;

    // A handshake or an upload is running (its code is on the stack).
    bool Busy() const { return polling_ || uploadActive_; }

    int ProgressPosition() const { return progressPosition_; }
    int ProgressMaximum() const { return progressMaximum_; }

private:
    // Holds a flag up while its scope runs, whichever way the scope is left.
    struct ScopedFlag {
        bool& flag;
        explicit ScopedFlag(bool& f) : flag(f) { flag = true; }
        ~ScopedFlag() { flag = false; }
    };

    void Disconnect();
    void ClosePortQuietly();
    void ReadAttempt();
    void PollForBootloader();
    void FinishHandshake();
    void EndHandshakeAfterError();

    bool UploadPreconditionsHold();
    void StopUpload();
    void BeginUpload();
    UploadOutcome RunUpload();
    bool SendImage(char& tailRequest); // false on a timeout
    bool SendTail(char tailRequest);   // false on a timeout
    bool WaitFor(char request);        // false on a timeout
    UploadOutcome Report(UploadOutcome outcome);
    void CommonEnding(UploadOutcome outcome);
    void EndUploadAfterError();
    void ReturnToIdle();

    void SetProgressMaximum(int maximum);
    void SetProgressPosition(int position);
    void StepProgress();

    BootloaderPort& port_;
    BootloaderView& view_;
    AttemptLimit attemptLimit_;
    WaitLimit* waitLimit_ = &attemptLimit_;
    bool pollTimedOut_ = false;
    bool uploadActive_ = false; // the run's code is on the stack
    bool polling_ = false;
    int progressPosition_ = 0;
    int progressMaximum_ = 100;
};

// L x 3.5 rounded to the nearest integer, halves to even: 1 gives 4, 3 gives 10, 5 gives 18.
int ProgressMaximumFor(long long imageLength);

} // namespace quorvel::link
