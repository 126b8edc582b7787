#include "CliLinkPort.h"

namespace quorvel::cli {

// A read returns as soon as one byte is there, or empty once the slice has passed.
CliLinkPort::CliLinkPort(serial::TComPort& port, const std::vector<std::uint8_t>& image,
                         std::chrono::milliseconds readSlice)
    : port_(port), image_(image) {
    serial::TComTimeouts& timeouts = *port_.Timeouts();
    timeouts.SetReadInterval(-1);
    timeouts.SetReadTotalMultiplier(-1);
    timeouts.SetReadTotalConstant(static_cast<qint32>(readSlice.count()));
}

bool CliLinkPort::IsOpen() const {
    return port_.Connected();
}

void CliLinkPort::Open() {
    written_ = 0;
    try {
        port_.SetConnected(true);
    } catch (const serial::EComPort& error) {
        openError_ = error;
        throw;
    }
}

void CliLinkPort::Close() {
    port_.SetConnected(false);
}

std::string CliLinkPort::Name() const {
    return port_.Port().toStdString();
}

void CliLinkPort::Purge() {
    port_.PurgeQueues(true, true);
}

std::string CliLinkPort::ReadAttempt() {
    char byte = 0;
    if (port_.ReadBytes(&byte, 1) != 1) return {};
    return std::string(1, byte);
}

void CliLinkPort::Write(std::uint8_t byte) {
    if (port_.WriteBytes(&byte, 1) == 1) ++written_;
}

} // namespace quorvel::cli
