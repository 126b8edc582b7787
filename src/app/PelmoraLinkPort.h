#pragma once
// The line and the image as the bootloader conversation sees them in the window: ComPort1 and
// the image of the last file that loaded.

#include "BootloaderPort.h"

namespace quorvel::app {

class TPelmora;

class TPelmoraLinkPort : public link::BootloaderPort {
public:
    explicit TPelmoraLinkPort(TPelmora& window) : window_(window) {}

    bool IsOpen() const override;
    void Open() override;
    void Close() override;
    std::string Name() const override;
    void Purge() override;
    std::string ReadAttempt() override;
    void Write(std::uint8_t byte) override;
    bool ImageLoaded() const override;
    const std::vector<std::uint8_t>& Image() const override;

private:
    TPelmora& window_;
};

} // namespace quorvel::app
