// The connect button: open the port, wait for the bootloader's "g", answer "r".

#include "BootloaderLink.h"

#include <exception>

namespace quorvel::link {

void BootloaderLink::ReadAttempt() {
    RxText = host_.ReadOneCharacter();
    ++PollCount;
}

void BootloaderLink::Disconnect() {
    host_.ClosePort();
    host_.SetConnectCaption("Connect");
    host_.ClearTerminal();
    host_.AppendHistory("Disconnected.");
}

// The port is closed whatever a failing close says: the conversation is over either way, and
// the error that ended it is the one worth reporting.
void BootloaderLink::ClosePortQuietly() {
    try {
        host_.ClosePort();
    } catch (...) {
    }
}

void BootloaderLink::ConnectOrDisconnect() {
    if (host_.IsPortOpen()) {
        Disconnect();
        return;
    }
    try {
        host_.OpenPort();
    } catch (const std::exception&) {
        // An error after the device itself opened (a modem-status query) would leave it open
        // behind a "Connect" caption.
        if (host_.IsPortOpen()) ClosePortQuietly();
        host_.AppendHistory("Unable to open COM port: " + host_.PortName() + ".");
        return;
    }
    try {
        host_.PurgeQueues();
        host_.AppendHistory("Waiting MCU response...");
        host_.SetConnectCaption("Waiting... Disconnect");
        host_.SetStartEnabled(false);
        PollForBootloader();
        if (host_.IsPortOpen()) FinishHandshake();
    } catch (...) {
        EndHandshakeAfterError();
        throw;
    }
    host_.SetStartEnabled(true);
}

// A tight loop of single reads with no pause. The reads let the window process its
// messages, so a click on "Waiting... Disconnect" closes the port in the middle of it.
void BootloaderLink::PollForBootloader() {
    const ScopedFlag polling(polling_);
    PollCount = 0;
    while (host_.IsPortOpen() && !host_.CloseRequested()) {
        ReadAttempt();
        if (PollCount == PollLimit) return;
        if (RxText.size() == 1 && RxText[0] == kBootloaderPresent) return;
    }
}

void BootloaderLink::FinishHandshake() {
    const bool timedOut = PollCount == PollLimit;
    if (timedOut || host_.CloseRequested()) {
        host_.ClosePort();
        host_.SetConnectCaption("Connect");
        host_.AppendHistory("Disconnected.");
        return;
    }
    host_.ClearTerminal();
    host_.AppendHistory("Connected.");
    host_.WriteText(std::string(1, kHandshakeAnswer));
    host_.SetConnectCaption("Disconnect");
}

// A serial error ends the handshake as a poll without "g" does: port closed, idle, ready for
// the next click. The error itself travels on to be reported.
void BootloaderLink::EndHandshakeAfterError() {
    ClosePortQuietly();
    host_.SetConnectCaption("Connect");
    host_.AppendHistory("Disconnected.");
    host_.SetStartEnabled(true);
}

} // namespace quorvel::link
