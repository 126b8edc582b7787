#include "PelmoraLinkPort.h"

#include "Pelmora.h"

#include "CPort.h"

namespace quorvel::app {

bool TPelmoraLinkPort::IsOpen() const {
    return window_.ComPort1->Connected();
}

void TPelmoraLinkPort::Open() {
    window_.ComPort1->SetConnected(true);
}

void TPelmoraLinkPort::Close() {
    window_.ComPort1->SetConnected(false);
}

std::string TPelmoraLinkPort::Name() const {
    return window_.ComPort1->Port().toStdString();
}

void TPelmoraLinkPort::Purge() {
    window_.ComPort1->PurgeQueues(true, true);
}

// A read that leaves the input queue empty turns the receive light off, whose handlers let the
// window process its messages: that keeps the window live during a wait and lets a click end it.
std::string TPelmoraLinkPort::ReadAttempt() {
    QString text;
    window_.ComPort1->ReadText(text, 1);
    if (text.isEmpty()) return {};
    return std::string(1, static_cast<char>(text.at(0).unicode() & 0xFF));
}

void TPelmoraLinkPort::Write(std::uint8_t byte) {
    window_.ComPort1->WriteBytes(&byte, 1);
}

bool TPelmoraLinkPort::ImageLoaded() const {
    return !window_.FirmwareImage().empty();
}

const std::vector<std::uint8_t>& TPelmoraLinkPort::Image() const {
    return window_.FirmwareImage();
}

} // namespace quorvel::app
