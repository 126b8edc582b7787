#pragma once
// What the port needs of an open serial device, and how it gets one. The port knows nothing
// else of the operating system: the POSIX implementation lives in posix/, tests add a fake.
// Every operation reports failure as the system's error number (0 for success).

#include "DeviceControlBlock.h"

#include <QString>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace quorvel::serial {

struct TransferResult {
    std::size_t count = 0; // bytes moved, also when an error ends the transfer
    int error = 0;         // errno, 0 when none
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    SerialDevice() = default;
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    virtual int SetQueueSizes(int inputSize, int outputSize) = 0;
    virtual int SetLineSettings(const DeviceControlBlock& record) = 0;
    virtual int SetTimeouts(const CommTimeouts& timeouts) = 0;

    // Both follow the timeouts last set; with the default ones a read returns at once.
    virtual TransferResult Read(void* buffer, std::size_t count) = 0;
    virtual TransferResult Write(const void* data, std::size_t count) = 0;

    virtual int Purge(unsigned what) = 0; // the purge:: bits
    virtual int QueuedInput(int& count) = 0;
    virtual int ModemStatus(unsigned& bits) = 0; // the modem:: bits; none where there are no lines

    // Line events, as the bits of the device's event mask. A device that cannot watch its line
    // gets no event thread: it would have nothing to report.
    virtual bool CanWatchLineEvents() const { return false; }
    virtual int SetEventMask(std::uint32_t /*mask*/) { return 0; }
    // Called by the event thread alone. Blocks until an event of the mask happens or
    // `stopDescriptor` becomes readable; gives the events in `events`, none when stopped, and
    // the system's error when the wait itself failed (the device went away).
    virtual int WaitLineEvents(int /*stopDescriptor*/, std::uint32_t& events) {
        events = 0;
        return ENOTSUP;
    }
};

class SerialDeviceOpener {
public:
    virtual ~SerialDeviceOpener() = default;
    // The device that the port name stands for, or null with `error` set.
    virtual std::unique_ptr<SerialDevice> Open(const QString& port, int& error) = 0;
};

// The opener of this system's serial devices.
std::shared_ptr<SerialDeviceOpener> SystemDeviceOpener();

} // namespace quorvel::serial
