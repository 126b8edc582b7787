#pragma once
// What the bootloader conversation needs from the window and the serial port around it.
// The window implements it over its controls and ComPort1; tests implement it with fakes.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::link {

class BootloaderHost {
public:
    virtual ~BootloaderHost() = default;

    // The serial port. Errors are thrown and travel up untouched (OpenPort's are caught by
    // the handshake, every other one ends the conversation where it happens).
    virtual bool IsPortOpen() const = 0;
    virtual void OpenPort() = 0;
    virtual void ClosePort() = 0;
    virtual std::string PortName() const = 0;
    virtual void PurgeQueues() = 0;
    // One read attempt: the character waiting in the input queue, or "" at once when none is.
    // Reading may process pending window messages, so a nested click can run inside it.
    virtual std::string ReadOneCharacter() = 0;
    virtual void WriteText(const std::string& text) = 0;
    virtual void WriteByte(std::uint8_t byte) = 0;
    virtual void ProcessPendingMessages() = 0;

    // The window.
    virtual void AppendHistory(const std::string& line) = 0;
    virtual void AppendTerminal(const std::string& line) = 0;
    virtual void ClearTerminal() = 0;
    virtual void SetConnectCaption(const std::string& caption) = 0;
    virtual void SetStartCaption(const std::string& caption) = 0;
    virtual void SetStartEnabled(bool enabled) = 0;
    // ButtonConnect, ButtonSetupPort and ButtonOpenHex together.
    virtual void SetStepButtonsEnabled(bool enabled) = 0;
    virtual void ShowProgress(int position, int maximum) = 0;
    virtual void ShowCompletionDialog(const std::string& title, const std::string& content,
                                      const std::string& details) = 0;

    // The image: whether a load gave it any byte, the file it came from, and its bytes as they
    // are now (read afresh at every step of an upload).
    virtual bool ImageLoaded() const = 0;
    virtual std::string LoadedFileName() const = 0;
    virtual const std::vector<std::uint8_t>& FirmwareImage() const = 0;
    virtual bool CloseWhenFinished() const = 0;
    virtual void CloseMainWindow() = 0;
    // The user asked to close the window while a conversation runs: it ends at its next test.
    virtual bool CloseRequested() const = 0;
};

} // namespace quorvel::link
