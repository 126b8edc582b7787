#pragma once
// The window as the bootloader conversation's view: the history and terminal logs, the
// progress bar, the captions and enabling of the step buttons for each state of the link,
// and the completion dialog.

#include "BootloaderView.h"

namespace quorvel::app {

class TPelmora;

class TPelmoraLinkView : public link::BootloaderView {
public:
    explicit TPelmoraLinkView(TPelmora& window) : window_(window) {}

    void AppendHistory(const std::string& line) override;
    void AppendEcho(const std::string& line) override;
    void ClearEcho() override;
    void ShowProgress(int position, int maximum) override;
    void ShowState(link::LinkState state) override;
    void ShowCompletion(link::UploadOutcome outcome) override;
    void UploadEnded(link::UploadOutcome outcome) override;
    void ProcessPendingMessages() override;
    bool StopRequested() const override;

private:
    void SetStepButtonsEnabled(bool enabled);

    TPelmora& window_;
};

} // namespace quorvel::app
