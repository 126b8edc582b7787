#pragma once
// A serial device of this system: a USB adapter, an on-board UART or a pseudo-terminal.

#include "../SerialDevice.h"

namespace quorvel::serial::posix {

// The file that the port name stands for: a name beginning with "/" as it is, else the link of
// that name in the `ports` folder beside the program file when there is one, else "/dev/" + name.
QString DevicePath(const QString& port, const QString& programFolder);

class PosixSerialDevice final : public SerialDevice {
public:
    explicit PosixSerialDevice(int fd) : fd_(fd) {}
    ~PosixSerialDevice() override;

    int SetQueueSizes(int inputSize, int outputSize) override;
    int SetLineSettings(const DeviceControlBlock& record) override;
    int SetTimeouts(const CommTimeouts& timeouts) override;
    TransferResult Read(void* buffer, std::size_t count) override;
    TransferResult Write(const void* data, std::size_t count) override;
    int Purge(unsigned what) override;
    int QueuedInput(int& count) override;
    int ModemStatus(unsigned& bits) override;

private:
    TransferResult ReadAvailable(void* buffer, std::size_t count);
    TransferResult ReadWaiting(void* buffer, std::size_t count);
    int SetControlLines(const DeviceControlBlock& record);

    int fd_;
    CommTimeouts timeouts_;
};

// Opens read/write and exclusive: flock keeps out a second opener even when it is root, which
// TIOCEXCL alone does not.
class PosixDeviceOpener final : public SerialDeviceOpener {
public:
    explicit PosixDeviceOpener(QString programFolder) : programFolder_(std::move(programFolder)) {}
    std::unique_ptr<SerialDevice> Open(const QString& port, int& error) override;

private:
    QString programFolder_;
};

} // namespace quorvel::serial::posix
