#pragma once
// A serial device of this system: a USB adapter, an on-board UART or a pseudo-terminal.

#include "../SerialDevice.h"
#include "UniqueDescriptor.h"

#include <atomic>

namespace quorvel::serial::posix {

// The file that the port name stands for: a name beginning with "/" as it is, else the link of
// that name in the ports folder of `programFolder` when there is one, else "/dev/" + name.
QString DevicePath(const QString& port, const QString& programFolder);

class PosixSerialDevice final : public SerialDevice {
public:
    // `setLowLatency`: the opener turned the driver's low latency on, so it goes off at close.
    PosixSerialDevice(common::UniqueDescriptor device, bool setLowLatency = false);
    ~PosixSerialDevice() override;

    int SetQueueSizes(int inputSize, int outputSize) override;
    int SetLineSettings(const DeviceControlBlock& record) override;
    int SetTimeouts(const CommTimeouts& timeouts) override;
    TransferResult Read(void* buffer, std::size_t count) override;
    TransferResult Write(const void* data, std::size_t count) override;
    int Purge(unsigned what) override;
    int QueuedInput(int& count) override;
    int ModemStatus(unsigned& bits) override;
    bool CanWatchLineEvents() const override { return static_cast<bool>(writeNotice_); }
    int SetEventMask(std::uint32_t mask) override;
    int WaitLineEvents(int stopDescriptor, std::uint32_t& events) override;

private:
    std::uint32_t PendingLineEvents();
    void NoteWrite();

    TransferResult ReadAvailable(void* buffer, std::size_t count);
    TransferResult ReadWaiting(void* buffer, std::size_t count);
    TransferResult WriteAll(const void* data, std::size_t count);
    int SetControlLines(const DeviceControlBlock& record);

    common::UniqueDescriptor device_;
    CommTimeouts timeouts_;
    // The event thread and the user-interface thread meet here: a write tells the waiting thread
    // through the notice descriptor that output is on its way.
    common::UniqueDescriptor writeNotice_;
    std::atomic<std::uint32_t> eventMask_{0};
    std::atomic<bool> outputPending_{false};
    int lastInputCount_ = 0; // the event thread's alone
    bool setLowLatency_;
};

// Opens read/write and exclusive: flock keeps out a second opener even when it is root, which
// TIOCEXCL alone does not, and a process that has the device open already makes it busy.
class PosixDeviceOpener final : public SerialDeviceOpener {
public:
    explicit PosixDeviceOpener(QString programFolder) : programFolder_(std::move(programFolder)) {}
    std::unique_ptr<SerialDevice> Open(const QString& port, int& error) override;

private:
    QString programFolder_;
};

} // namespace quorvel::serial::posix
