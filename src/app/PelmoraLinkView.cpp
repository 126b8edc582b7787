#include "PelmoraLinkView.h"

#include "Pelmora.h"

#include "LogView.h"
#include "ProgressBar.h"
#include "StyledControls.h"
#include "TaskDialog.h"

#include <QCoreApplication>

namespace quorvel::app {

using link::LinkState;
using link::UploadOutcome;

namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace

void TPelmoraLinkView::AppendHistory(const std::string& line) {
    window_.AppendHistory(Text(line));
}

void TPelmoraLinkView::AppendEcho(const std::string& line) {
    window_.MemoTerminalWindow->AppendUtf8Line(line);
}

void TPelmoraLinkView::ClearEcho() {
    window_.MemoTerminalWindow->Clear();
}

void TPelmoraLinkView::ShowProgress(int position, int maximum) {
    window_.ProgressBar1->SetMax(maximum);
    window_.ProgressBar1->SetPosition(position);
}

void TPelmoraLinkView::SetStepButtonsEnabled(bool enabled) {
    window_.ButtonConnect->setEnabled(enabled);
    window_.ButtonSetupPort->setEnabled(enabled);
    window_.ButtonOpenHex->setEnabled(enabled);
}

// While the poll waits for "g" no upload may start; while an upload runs (and until a stopped
// one has ended) nothing else may start a conversation or change the port or the image.
void TPelmoraLinkView::ShowState(LinkState state) {
    auto* connect = window_.ButtonConnect;
    auto* start = window_.ButtonStartBootloader;
    switch (state) {
    case LinkState::Idle:
        connect->setText(QStringLiteral("Connect"));
        start->setText(QStringLiteral("Begin uploading"));
        start->setEnabled(true);
        SetStepButtonsEnabled(true);
        break;
    case LinkState::WaitingForBootloader:
        connect->setText(QStringLiteral("Waiting... Disconnect"));
        start->setEnabled(false);
        break;
    case LinkState::Connected:
        connect->setText(QStringLiteral("Disconnect"));
        start->setText(QStringLiteral("Begin uploading"));
        start->setEnabled(true);
        SetStepButtonsEnabled(true);
        break;
    case LinkState::Uploading:
        SetStepButtonsEnabled(false);
        start->setText(QStringLiteral("Stop uploading"));
        break;
    case LinkState::Stopping:
        start->setText(QStringLiteral("Begin uploading"));
        break;
    }
}

// The dialog names the file whose image went out; the port stays open until it is dismissed.
void TPelmoraLinkView::ShowCompletion(UploadOutcome outcome) {
    window_.ButtonStartBootloader->setText(QStringLiteral("Begin uploading"));
    if (window_.CloseRequested()) return; // the window is going away
    const QString file = QLatin1Char('"') + window_.LoadedFile() + QLatin1Char('"');
    ui::TTaskDialog& dialog = *window_.AdvTaskDialog1;
    if (outcome == UploadOutcome::Finished) {
        dialog.Title = QStringLiteral("Success");
        dialog.Content = QStringLiteral("Uploading program has finished.");
        dialog.ExpandedText = "Uploading program " + file + " has finished with success.";
    } else {
        dialog.Title = QStringLiteral("Aborted");
        dialog.Content = QStringLiteral("Uploading program was aborted.");
        dialog.ExpandedText = "Uploading program " + file + " was aborted.";
    }
    dialog.Execute();
}

// "Close when finished" ends the program after a run's ending, but not after a failed line:
// its error still has to be read.
void TPelmoraLinkView::UploadEnded(UploadOutcome outcome) {
    const bool closeWhenFinished =
        window_.CheckBoxClose->isChecked() && outcome != UploadOutcome::LineFailed;
    if (closeWhenFinished || window_.CloseRequested()) window_.close();
}

void TPelmoraLinkView::ProcessPendingMessages() {
    QCoreApplication::processEvents();
}

bool TPelmoraLinkView::StopRequested() const {
    return window_.CloseRequested();
}

} // namespace quorvel::app
