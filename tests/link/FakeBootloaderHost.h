#pragma once
// A window and a port for the bootloader conversation without widgets or devices. The
// board on the other end is a small model: it says "g" when told to, and after "r" asks for
// each byte with "y"/"x" until `requestsLeft` runs out. Every read attempt is counted.

#include "BootloaderHost.h"

#include <deque>
#include <functional>
#include <stdexcept>

namespace quorvel::link::testing {

class FakeBootloaderHost : public BootloaderHost {
public:
    // The port.
    bool portOpen = false;
    bool openFails = false;
    bool openFailsAfterOpening = false; // the device opened, then a query on it failed
    bool purgeFails = false;
    bool writeTextFails = false;
    std::string portName = "ttyUSB0";
    std::deque<char> incoming; // what the next read attempts deliver, one per attempt
    long long attempts = 0;    // read attempts since the port was opened
    long long gOnAttempt = -1; // the board's "g" arrives on exactly this attempt
    long long requestsLeft = 1'000'000;
    bool boardAnswersRequests = false;
    char nextRequest = 'y';
    std::string written;     // every byte written since the port was opened
    int failWriteAfter = -1; // WriteByte throws once this many bytes were written
    std::function<void(long long attempt)>
        onAttempt; // runs inside a read attempt, as a nested click would

    // The window.
    std::vector<std::string> history;
    std::vector<std::string> terminal;
    std::string connectCaption = "Connect";
    std::string startCaption = "Begin uploading";
    bool startEnabled = true;
    bool stepButtonsEnabled = true;
    int progressPosition = 0, progressMaximum = 100;
    struct Dialog {
        std::string title, content, details;
    };
    std::vector<Dialog> dialogs;
    std::string loadedFile;
    std::vector<std::uint8_t> image;
    bool closeWhenFinished = false;
    bool closeRequested = false;
    int windowClosed = 0;
    int terminalClears = 0;

    bool IsPortOpen() const override { return portOpen; }
    void OpenPort() override {
        if (openFails) throw std::runtime_error("cannot open");
        portOpen = true;
        if (openFailsAfterOpening) throw std::runtime_error("modem status unknown");
        attempts = 0;
        written.clear();
    }
    void ClosePort() override { portOpen = false; }
    std::string PortName() const override { return portName; }
    void PurgeQueues() override {
        if (purgeFails) throw std::runtime_error("purge failed");
        incoming.clear();
    }
    std::string ReadOneCharacter() override {
        ++attempts;
        if (onAttempt) onAttempt(attempts);
        if (attempts == gOnAttempt) incoming.push_back('g');
        if (incoming.empty()) return "";
        const char c = incoming.front();
        incoming.pop_front();
        return std::string(1, c);
    }
    void WriteText(const std::string& text) override {
        if (writeTextFails) throw std::runtime_error("write failed");
        written += text;
        if (text == "r") {
            boardAnswersRequests = true;
            Request();
        }
    }
    void WriteByte(std::uint8_t byte) override {
        if (failWriteAfter >= 0 && static_cast<int>(Stream().size()) >= failWriteAfter)
            throw std::runtime_error("device gone");
        written += static_cast<char>(byte);
        Request();
    }
    void ProcessPendingMessages() override {}

    void AppendHistory(const std::string& line) override { history.push_back(line); }
    void AppendTerminal(const std::string& line) override { terminal.push_back(line); }
    void ClearTerminal() override {
        terminal.clear();
        ++terminalClears;
    }
    void SetConnectCaption(const std::string& caption) override { connectCaption = caption; }
    void SetStartCaption(const std::string& caption) override { startCaption = caption; }
    void SetStartEnabled(bool enabled) override { startEnabled = enabled; }
    void SetStepButtonsEnabled(bool enabled) override { stepButtonsEnabled = enabled; }
    void ShowProgress(int position, int maximum) override {
        progressPosition = position;
        progressMaximum = maximum;
    }
    void ShowCompletionDialog(const std::string& title, const std::string& content,
                              const std::string& details) override {
        dialogs.push_back({title, content, details});
    }
    bool ImageLoaded() const override { return !image.empty(); }
    std::string LoadedFileName() const override { return loadedFile; }
    const std::vector<std::uint8_t>& FirmwareImage() const override { return image; }
    bool CloseWhenFinished() const override { return closeWhenFinished; }
    void CloseMainWindow() override { ++windowClosed; }
    bool CloseRequested() const override { return closeRequested; }

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
