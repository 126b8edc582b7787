#include "PelmoraLinkHost.h"

#include "Pelmora.h"

#include "CPort.h"
#include "LogView.h"
#include "ProgressBar.h"
#include "StyledControls.h"
#include "TaskDialog.h"

#include <QCoreApplication>

namespace quorvel::app {

namespace {

QString Text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace

bool TPelmoraLinkHost::IsPortOpen() const {
    return window_.ComPort1->Connected();
}

void TPelmoraLinkHost::OpenPort() {
    window_.ComPort1->SetConnected(true);
}

void TPelmoraLinkHost::ClosePort() {
    window_.ComPort1->SetConnected(false);
}

std::string TPelmoraLinkHost::PortName() const {
    return window_.ComPort1->Port().toStdString();
}

void TPelmoraLinkHost::PurgeQueues() {
    window_.ComPort1->PurgeQueues(true, true);
}

// A read that leaves the input queue empty turns the receive light off, whose handlers let the
// window process its messages: that keeps the window live during a wait and lets a click end it.
std::string TPelmoraLinkHost::ReadOneCharacter() {
    QString text;
    window_.ComPort1->ReadText(text, 1);
    if (text.isEmpty()) return {};
    return std::string(1, static_cast<char>(text.at(0).unicode() & 0xFF));
}

void TPelmoraLinkHost::WriteText(const std::string& text) {
    window_.ComPort1->WriteText(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void TPelmoraLinkHost::WriteByte(std::uint8_t byte) {
    window_.ComPort1->WriteBytes(&byte, 1);
}

void TPelmoraLinkHost::ProcessPendingMessages() {
    QCoreApplication::processEvents();
}

void TPelmoraLinkHost::AppendHistory(const std::string& line) {
    window_.AppendHistory(Text(line));
}

void TPelmoraLinkHost::AppendTerminal(const std::string& line) {
    window_.MemoTerminalWindow->AppendUtf8Line(line);
}

void TPelmoraLinkHost::ClearTerminal() {
    window_.MemoTerminalWindow->Clear();
}

void TPelmoraLinkHost::SetConnectCaption(const std::string& caption) {
    window_.ButtonConnect->setText(Text(caption));
}

void TPelmoraLinkHost::SetStartCaption(const std::string& caption) {
    window_.ButtonStartBootloader->setText(Text(caption));
}

void TPelmoraLinkHost::SetStartEnabled(bool enabled) {
    window_.ButtonStartBootloader->setEnabled(enabled);
}

void TPelmoraLinkHost::SetStepButtonsEnabled(bool enabled) {
    window_.ButtonConnect->setEnabled(enabled);
    window_.ButtonSetupPort->setEnabled(enabled);
    window_.ButtonOpenHex->setEnabled(enabled);
}

void TPelmoraLinkHost::ShowProgress(int position, int maximum) {
    window_.ProgressBar1->SetMax(maximum);
    window_.ProgressBar1->SetPosition(position);
}

void TPelmoraLinkHost::ShowCompletionDialog(const std::string& title, const std::string& content,
                                            const std::string& details) {
    ui::TTaskDialog& dialog = *window_.AdvTaskDialog1;
    dialog.Title = Text(title);
    dialog.Content = Text(content);
    dialog.ExpandedText = Text(details);
    dialog.Execute();
}

bool TPelmoraLinkHost::ImageLoaded() const {
    return !window_.FirmwareImage.empty();
}

std::string TPelmoraLinkHost::LoadedFileName() const {
    return window_.LoadedFile().toStdString();
}

const std::vector<std::uint8_t>& TPelmoraLinkHost::FirmwareImage() const {
    return window_.FirmwareImage;
}

bool TPelmoraLinkHost::CloseWhenFinished() const {
    return window_.CheckBoxClose->isChecked();
}

void TPelmoraLinkHost::CloseMainWindow() {
    window_.close();
}

bool TPelmoraLinkHost::CloseRequested() const {
    return window_.CloseRequested();
}

} // namespace quorvel::app
