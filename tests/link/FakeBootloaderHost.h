#pragma once
// A port and a view for the bootloader conversation without widgets or devices. The board on
// the other end is a small model: it says "g" when told to, and after "r" asks for each byte
// with "y"/"x" until `requestsLeft` runs out. Every read attempt is counted.

#include "BootloaderPort.h"
#include "BootloaderView.h"

#include <deque>
#include <functional>
#include <stdexcept>

namespace quorvel::link::testing {

class FakeBootloaderHost : public BootloaderPort, public BootloaderView {
public:
    // The port.
    bool portOpen = false;
    bool openFails = false;
    bool openFailsAfterOpening = false; // the device opened, then a query on it failed
    bool purgeFails = false;
    std::string portName = "ttyUSB0";
    std::deque<char> incoming; // what the next read attempts deliver, one per attempt
    long long attempts = 0;    // read attempts since the port was opened
    long long gOnAttempt = -1; // the board's "g" arrives on exactly this attempt
    long long requestsLeft = 1'000'000;
    bool boardAnswersRequests = false;
    char nextRequest = 'y';
    std::string written;           // every byte written since the port was opened
    int failWriteAfter = -1;       // Write throws once the stream after "r" holds this many bytes
    bool answerWriteFails = false; // the handshake's "r" cannot be written
    std::function<void(long long attempt)>
        onAttempt; // runs inside a read attempt, as a nested click would
    std::vector<std::uint8_t> image;

    // The view.
    std::vector<std::string> history;
    std::vector<std::string> terminal;
    LinkState state = LinkState::Idle;
    std::vector<LinkState> states; // every state shown, in order
    int progressPosition = 0, progressMaximum = 100;
    std::vector<UploadOutcome> completions; // shown while the port was still open
    std::vector<UploadOutcome> endings;     // after the ending
    bool portOpenAtCompletion = false;
    bool stopRequested = false;
    int terminalClears = 0;

    bool IsOpen() const override { return portOpen; }
    void Open() override {
        if (openFails) throw std::runtime_error("cannot open");
        portOpen = true;
        attempts = 0;
        written.clear();
        if (openFailsAfterOpening) throw std::runtime_error("modem status unknown");
    }
    void Close() override { portOpen = false; }
    std::string Name() const override { return portName; }
    void Purge() override {
        if (purgeFails) throw std::runtime_error("purge failed");
        incoming.clear();
    }
    std::string ReadAttempt() override {
        ++attempts;
        if (onAttempt) onAttempt(attempts);
        if (attempts == gOnAttempt) incoming.push_back('g');
        if (incoming.empty()) return "";
        const char c = incoming.front();
        incoming.pop_front();
        return std::string(1, c);
    }
    void Write(std::uint8_t byte) override {
        if (written.empty()) { // the handshake's answer
            if (answerWriteFails) throw std::runtime_error("write failed");
            written += static_cast<char>(byte);
            if (byte == 'r') {
                boardAnswersRequests = true;
                Request();
            }
            return;
        }
        if (failWriteAfter >= 0 && static_cast<int>(Stream().size()) >= failWriteAfter)
            throw std::runtime_error("device gone");
        written += static_cast<char>(byte);
        Request();
    }
    bool ImageLoaded() const override { return !image.empty(); }
    const std::vector<std::uint8_t>& Image() const override { return image; }

    void AppendHistory(const std::string& line) override { history.push_back(line); }
    void AppendEcho(const std::string& line) override { terminal.push_back(line); }
    void ClearEcho() override {
        terminal.clear();
        ++terminalClears;
    }
    void ShowProgress(int position, int maximum) override {
        progressPosition = position;
        progressMaximum = maximum;
    }
    void ShowState(LinkState shown) override {
        state = shown;
        states.push_back(shown);
    }
    void ShowCompletion(UploadOutcome outcome) override {
        completions.push_back(outcome);
        portOpenAtCompletion = portOpen;
    }
    void UploadEnded(UploadOutcome outcome) override { endings.push_back(outcome); }
    void ProcessPendingMessages() override {}
    bool StopRequested() const override { return stopRequested; }

    // The bytes written after the handshake's "r".
    std::string Stream() const { return written.size() > 1 ? written.substr(1) : ""; }

private:
    void Request() {
        if (!boardAnswersRequests || requestsLeft <= 0) return;
        --requestsLeft;
        incoming.push_back(nextRequest);
        nextRequest = nextRequest == 'y' ? 'x' : 'y';
    }
};

} // namespace quorvel::link::testing
