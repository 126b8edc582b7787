#pragma once
// What the bootloader conversation tells whoever shows it: the window (history, terminal log,
// progress bar, captions, completion dialog), the command line (lines on standard error and
// a progress line), tests (a record). Which caption or message stands for a state or an
// outcome is the view's business; the history lines are the conversation's own.

#include <string>

namespace quorvel::link {

enum class LinkState {
    Idle,                 // port closed
    WaitingForBootloader, // port open, polling for "g"
    Connected,            // "g" seen, "r" sent: an upload may begin
    Uploading,            // the image and its tail go out on the board's requests
    Stopping,             // a stop was asked for; the run winds down to its ending
};

enum class UploadOutcome {
    Finished,   // every request answered to the end of the tail
    Aborted,    // stopped before the end, by the user or the view
    TimedOut,   // the board stopped asking
    LineFailed, // a read or a write failed; the error travels on to be reported
};

class BootloaderView {
public:
    virtual ~BootloaderView() = default;

    virtual void AppendHistory(const std::string& line) = 0;
    // The terminal echo of one byte sent, and its clearing.
    virtual void AppendEcho(const std::string& line) = 0;
    virtual void ClearEcho() = 0;
    virtual void ShowProgress(int position, int maximum) = 0;
    virtual void ShowState(LinkState state) = 0;
    // A run that was finished or aborted, while the port is still open (the window's dialog).
    virtual void ShowCompletion(UploadOutcome outcome) = 0;
    // Every run that began, once its ending has left the port closed and the link idle.
    virtual void UploadEnded(UploadOutcome outcome) = 0;

    // Called between read attempts: lets a nested click (a stop, a disconnect) run.
    virtual void ProcessPendingMessages() = 0;
    // The user wants out (the window is closing, a signal came): a running conversation ends
    // at its next test as a stop or a disconnect would end it.
    virtual bool StopRequested() const = 0;
};

} // namespace quorvel::link
