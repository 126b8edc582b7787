// The connect button: open the port, wait for the bootloader's "g", answer "r".

#include "BootloaderLink.h"

#include <exception>

namespace quorvel::link {

void BootloaderLink::ReadAttempt() {
    RxText = port_.ReadAttempt();
    ++PollCount;
}

void BootloaderLink::Disconnect() {
    port_.Close();
    view_.ShowState(LinkState::Idle);
    view_.ClearEcho();
    view_.AppendHistory("Disconnected.");
}

// The port is closed whatever a failing close says: the conversation is over either way, and
// the error that ended it is the one worth reporting.
void BootloaderLink::ClosePortQuietly() {
    try {
        port_.Close();
    } catch (...) {
    }
}

void BootloaderLink::ConnectOrDisconnect() {
    if (port_.IsOpen()) {
        Disconnect();
        return;
    }
    try {
        port_.Open();
    } catch (const std::exception&) {
        // An error after the device itself opened (a modem-status query) would leave it open
        // behind a "Connect" caption.
        if (port_.IsOpen()) ClosePortQuietly();
        view_.AppendHistory("Unable to open COM port: " + port_.Name() + ".");
        return;
    }
    try {
        port_.Purge();
        view_.AppendHistory("Waiting MCU response...");
        view_.ShowState(LinkState::WaitingForBootloader);
        PollForBootloader();
        if (port_.IsOpen()) FinishHandshake();
    } catch (...) {
        EndHandshakeAfterError();
        throw;
    }
}

// A tight loop of single reads with no pause. The reads let the view process its messages,
// so a click on "Waiting... Disconnect" closes the port in the middle of it.
void BootloaderLink::PollForBootloader() {
    const ScopedFlag polling(polling_);
    PollCount = 0;
    pollTimedOut_ = false;
    waitLimit_->Begin(WaitLimit::Wait::Bootloader);
    while (port_.IsOpen() && !view_.StopRequested()) {
        ReadAttempt();
        pollTimedOut_ = waitLimit_->Reached(PollCount);
        if (pollTimedOut_) return;
        if (RxText.size() == 1 && RxText[0] == kBootloaderPresent) return;
    }
}

// A poll without "g" keeps the terminal's echo; a completed handshake starts it afresh.
void BootloaderLink::FinishHandshake() {
    if (pollTimedOut_ || view_.StopRequested()) {
        port_.Close();
        view_.ShowState(LinkState::Idle);
        view_.AppendHistory("Disconnected.");
        return;
    }
    view_.ClearEcho();
    view_.AppendHistory("Connected.");
    port_.Write(static_cast<std::uint8_t>(kHandshakeAnswer));
    view_.ShowState(LinkState::Connected);
}

// A serial error ends the handshake as a poll without "g" does: port closed, idle, ready for
// the next click. The error itself travels on to be reported.
void BootloaderLink::EndHandshakeAfterError() {
    ClosePortQuietly();
    view_.ShowState(LinkState::Idle);
    view_.AppendHistory("Disconnected.");
}

} // namespace quorvel::link
