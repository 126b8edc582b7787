#pragma once
// The window and its serial port as the bootloader conversation sees them.

#include "BootloaderHost.h"

namespace quorvel::app {

class TPelmora;

class TPelmoraLinkHost : public link::BootloaderHost {
public:
    explicit TPelmoraLinkHost(TPelmora& window) : window_(window) {}

    bool IsPortOpen() const override;
    void OpenPort() override;
    void ClosePort() override;
    std::string PortName() const override;
    void PurgeQueues() override;
    std::string ReadOneCharacter() override;
    void WriteText(const std::string& text) override;
    void WriteByte(std::uint8_t byte) override;
    void ProcessPendingMessages() override;

    void AppendHistory(const std::string& line) override;
    void AppendTerminal(const std::string& line) override;
    void ClearTerminal() override;
    void SetConnectCaption(const std::string& caption) override;
    void SetStartCaption(const std::string& caption) override;
    void SetStartEnabled(bool enabled) override;
    void SetStepButtonsEnabled(bool enabled) override;
    void ShowProgress(int position, int maximum) override;
    void ShowCompletionDialog(const std::string& title, const std::string& content,
                              const std::string& details) override;
    bool ImageLoaded() const override;
    std::string LoadedFileName() const override;
    const std::vector<std::uint8_t>& FirmwareImage() const override;
    bool CloseWhenFinished() const override;
    void CloseMainWindow() override;
    bool CloseRequested() const override;

private:
    TPelmora& window_;
};

} // namespace quorvel::app
