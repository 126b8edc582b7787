#pragma once
// The line and the image as the bootloader conversation sees them from the command line: the
// same serial port the window uses, whose read attempts wait on the device for a short slice
// instead of returning at once, so that waiting costs no processor time.

#include "BootloaderPort.h"

#include "CPort.h"

#include <chrono>
#include <optional>

namespace quorvel::cli {

class CliLinkPort : public link::BootloaderPort {
public:
    CliLinkPort(serial::TComPort& port, const std::vector<std::uint8_t>& image,
                std::chrono::milliseconds readSlice);

    bool IsOpen() const override;
    void Open() override;
    void Close() override;
    std::string Name() const override;
    void Purge() override;
    std::string ReadAttempt() override;
    void Write(std::uint8_t byte) override;
    bool ImageLoaded() const override { return !image_.empty(); }
    const std::vector<std::uint8_t>& Image() const override { return image_; }

    // Why the port could not be opened, when it could not.
    const std::optional<serial::EComPort>& OpenError() const { return openError_; }
    // Bytes written since the handshake's answer: the image's and the tail's.
    std::size_t StreamBytesWritten() const { return written_ > 0 ? written_ - 1 : 0; }

private:
    serial::TComPort& port_;
    const std::vector<std::uint8_t>& image_;
    std::optional<serial::EComPort> openError_;
    std::size_t written_ = 0;
};

} // namespace quorvel::cli
