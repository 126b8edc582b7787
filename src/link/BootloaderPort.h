#pragma once
// What the bootloader conversation needs from the line and the image it sends: the window
// gives it ComPort1 and its loaded file, the command line a port of its own, tests a fake.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::link {

class BootloaderPort {
public:
    virtual ~BootloaderPort() = default;

    // Errors are thrown and travel up untouched: Open's are caught by the handshake, every
    // other one ends the conversation where it happens.
    virtual bool IsOpen() const = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
    // The port's name as the user chose it, for messages.
    virtual std::string Name() const = 0;
    virtual void Purge() = 0;
    // One read attempt: the character waiting in the input queue, or "" when none came.
    // Reading may let the view process its messages, so a nested click can run inside it.
    virtual std::string ReadAttempt() = 0;
    virtual void Write(std::uint8_t byte) = 0;

    // Whether a load gave the image any byte, and its bytes as they are now (read afresh at
    // every step of an upload).
    virtual bool ImageLoaded() const = 0;
    virtual const std::vector<std::uint8_t>& Image() const = 0;
};

} // namespace quorvel::link
