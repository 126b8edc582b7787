#include "PosixSerialDevice.h"

#include "DeviceHolders.h"
#include "LineTermios.h"
#include "ProgramFoldersQt.h"

#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorvel::serial::posix {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kAllBits = 0xFFFFFFFF;

// A device without modem lines (a pseudo-terminal) refuses the modem calls this way.
bool HasNoSuchLines(int error) {
    return error == ENOTTY || error == EINVAL;
}

// A total timeout of multiplier per byte plus constant; none when both are 0.
std::chrono::milliseconds TotalTimeout(std::uint32_t multiplier, std::uint32_t constant,
                                       std::size_t count) {
    // Long enough to mean "no end", short enough that a deadline in nanoseconds cannot overflow.
    constexpr std::uint64_t kLongest = std::uint64_t{1} << 40;
    const std::uint64_t perByte = multiplier != 0 && count > kLongest / multiplier
                                      ? kLongest
                                      : std::uint64_t{multiplier} * count;
    const std::uint64_t total = std::min<std::uint64_t>(perByte + constant, kLongest);
    return std::chrono::milliseconds(static_cast<std::int64_t>(total));
}

// poll until the descriptor is ready for `events` or the deadline passes. Gives the poll
// events, 0 at the deadline, or -errno; POLLHUP and POLLERR are the device going away.
int WaitReady(int fd, short events, const Clock::time_point* deadline) {
    for (;;) {
        int timeout = -1;
        if (deadline) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
            if (left.count() <= 0) return 0;
            timeout = static_cast<int>(std::min<std::int64_t>(left.count(), 1 << 30));
        }
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, timeout);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return -errno;
        if (ready > 0) return entry.revents;
    }
}

// Readiness says only "bytes are queued" and never "output sent": while bytes sit unread or
// output is on its way the line is looked at again after this long.
constexpr int kRecheckMs = 2;

bool DeviceGone(int revents, short wanted) {
    return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 && (revents & wanted) == 0;
}

} // namespace

QString DevicePath(const QString& port, const QString& programFolder) {
    if (port.startsWith(QLatin1Char('/'))) return port;
    const QString ports = common::qt::PortsFolder(programFolder);
    if (!port.isEmpty() && !ports.isEmpty()) {
        const QString link = ports + QLatin1Char('/') + port;
        const QFileInfo info(link);
        if (info.isSymLink() || info.exists()) return link;
    }
    return QStringLiteral("/dev/") + port;
}

PosixSerialDevice::PosixSerialDevice(common::UniqueDescriptor device, bool setLowLatency)
    : device_(std::move(device)), writeNotice_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)),
      setLowLatency_(setLowLatency) {}

PosixSerialDevice::~PosixSerialDevice() {
    if (setLowLatency_) ReleaseLowLatency(device_.Get());
    ioctl(device_.Get(), TIOCNXCL);
}

// Linux sizes its own queues; sizes are kept only in the sense that they are accepted.
int PosixSerialDevice::SetQueueSizes(int inputSize, int outputSize) {
    return inputSize < 0 || outputSize < 0 ? EINVAL : 0;
}

int PosixSerialDevice::SetLineSettings(const DeviceControlBlock& record) {
    LineTermios termios;
    if (const int error = TermiosForRecord(record, termios)) return error;
    if (const int error = ApplyLineTermios(device_.Get(), termios)) return error;
    if (const int error = VerifyLineTermios(device_.Get(), termios)) return error;
    return SetControlLines(record);
}

// The record holds DTR and RTS off or on; a handshake or toggle leaves them to the driver.
static void AddLine(std::uint32_t control, std::uint32_t enable, int line, int& raise, int& lower) {
    if (control == 0) lower |= line;
    if (control == enable) raise |= line;
}

int PosixSerialDevice::SetControlLines(const DeviceControlBlock& record) {
    int raise = 0, lower = 0;
    AddLine(record.flags & dcb::kDtrControlMask, dcb::kDtrEnable, TIOCM_DTR, raise, lower);
    AddLine(record.flags & dcb::kRtsControlMask, dcb::kRtsEnable, TIOCM_RTS, raise, lower);
    for (auto [request, lines] : {std::pair{TIOCMBIS, raise}, std::pair{TIOCMBIC, lower}}) {
        if (lines == 0) continue;
        if (ioctl(device_.Get(), request, &lines) != 0 && !HasNoSuchLines(errno)) return errno;
    }
    return 0;
}

int PosixSerialDevice::SetTimeouts(const CommTimeouts& timeouts) {
    timeouts_ = timeouts;
    return 0;
}

TransferResult PosixSerialDevice::Read(void* buffer, std::size_t count) {
    if (count == 0) return {};
    const bool atOnce = timeouts_.ReadIntervalTimeout == kAllBits &&
                        timeouts_.ReadTotalTimeoutMultiplier == 0 &&
                        timeouts_.ReadTotalTimeoutConstant == 0;
    return atOnce ? ReadAvailable(buffer, count) : ReadWaiting(buffer, count);
}

// One non-blocking read: what is queued, possibly nothing.
TransferResult PosixSerialDevice::ReadAvailable(void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t got = read(device_.Get(), buffer, count);
        if (got > 0) return {static_cast<std::size_t>(got), 0};
        if (got == 0) return {0, EIO}; // a hung-up line reads as end of file
        if (errno == EINTR) continue;
        if (errno == EAGAIN) return {};
        return {0, errno};
    }
}

// Reads until the count is there, the total timeout passes, or, once bytes have come, the
// gap between two bytes exceeds the interval. Bytes already read are never dropped for an
// error that follows them: that error shows at the next read.
TransferResult PosixSerialDevice::ReadWaiting(void* buffer, std::size_t count) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    const std::uint32_t interval = timeouts_.ReadIntervalTimeout;
    const bool firstByteOnly =
        interval == kAllBits && timeouts_.ReadTotalTimeoutMultiplier == kAllBits &&
        timeouts_.ReadTotalTimeoutConstant != 0 && timeouts_.ReadTotalTimeoutConstant != kAllBits;
    const auto total = firstByteOnly ? std::chrono::milliseconds(timeouts_.ReadTotalTimeoutConstant)
                                     : TotalTimeout(timeouts_.ReadTotalTimeoutMultiplier,
                                                    timeouts_.ReadTotalTimeoutConstant, count);
    const bool hasTotal = total.count() > 0;
    const Clock::time_point totalDeadline = Clock::now() + total;
    // Waiting comes before reading: a reader that answers at once is usually ahead of the
    // next byte, and a read that finds nothing would only cost a call.
    std::size_t done = 0;
    for (;;) {
        Clock::time_point deadline = totalDeadline;
        const bool useInterval = done > 0 && interval != 0 && interval != kAllBits;
        if (useInterval) {
            const auto gapEnd = Clock::now() + std::chrono::milliseconds(interval);
            if (!hasTotal || gapEnd < deadline) deadline = gapEnd;
        }
        const bool limited = hasTotal || useInterval;
        const int ready = WaitReady(device_.Get(), POLLIN, limited ? &deadline : nullptr);
        if (ready == 0) return {done, 0};
        if (ready < 0) return {done, done > 0 ? 0 : -ready};
        if (DeviceGone(ready, POLLIN)) return {done, done > 0 ? 0 : EIO};
        const TransferResult step = ReadAvailable(bytes + done, count - done);
        done += step.count;
        if (step.error) return {done, done > 0 ? 0 : step.error};
        if (done == count || (firstByteOnly && done > 0)) return {done, 0};
    }
}

// Waits while the line is held (XOFF, a full queue) up to the write timeout, then gives what
// went out.
TransferResult PosixSerialDevice::WriteAll(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const auto total = TotalTimeout(timeouts_.WriteTotalTimeoutMultiplier,
                                    timeouts_.WriteTotalTimeoutConstant, count);
    const Clock::time_point deadline = Clock::now() + total;
    std::size_t done = 0;
    while (done < count) {
        const ssize_t sent = write(device_.Get(), bytes + done, count - done);
        if (sent > 0) {
            done += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && errno != EAGAIN) return {done, done > 0 ? 0 : errno};
        const int ready =
            WaitReady(device_.Get(), POLLOUT, total.count() > 0 ? &deadline : nullptr);
        if (ready == 0) break;
        if (ready < 0) return {done, done > 0 ? 0 : -ready};
        if (DeviceGone(ready, POLLOUT)) return {done, done > 0 ? 0 : EIO};
    }
    return {done, 0};
}

TransferResult PosixSerialDevice::Write(const void* data, std::size_t count) {
    const TransferResult result = WriteAll(data, count);
    if (result.count > 0) NoteWrite();
    return result;
}

void PosixSerialDevice::NoteWrite() {
    if ((eventMask_.load() & event::kTxEmpty) == 0) return;
    outputPending_.store(true);
    eventfd_write(writeNotice_.Get(), 1);
}

int PosixSerialDevice::SetEventMask(std::uint32_t mask) {
    eventMask_.store(mask);
    if ((mask & event::kTxEmpty) == 0) outputPending_.store(false);
    return 0;
}

// What happened since the last look: more bytes queued than then, or output sent after a write.
// Of the event mask only these two can be seen here.
std::uint32_t PosixSerialDevice::PendingLineEvents() {
    const std::uint32_t mask = eventMask_.load();
    std::uint32_t events = 0;
    int count = 0;
    if ((mask & event::kRxChar) != 0 && ioctl(device_.Get(), TIOCINQ, &count) == 0) {
        if (count > lastInputCount_) events |= event::kRxChar;
        lastInputCount_ = count;
    }
    // Taken before the queue is asked, so that a write made meanwhile is not lost.
    if ((mask & event::kTxEmpty) != 0 && outputPending_.exchange(false)) {
        int queued = 0;
        if (ioctl(device_.Get(), TIOCOUTQ, &queued) == 0 && queued > 0)
            outputPending_.store(true);
        else
            events |= event::kTxEmpty;
    }
    return events;
}

int PosixSerialDevice::WaitLineEvents(int stopDescriptor, std::uint32_t& events) {
    for (;;) {
        events = PendingLineEvents();
        if (events != 0) return 0;
        const std::uint32_t mask = eventMask_.load();
        const bool inputWaits = (mask & event::kRxChar) != 0 && lastInputCount_ > 0;
        const bool outputWaits = (mask & event::kTxEmpty) != 0 && outputPending_.load();
        const short lineEvents = (mask & event::kRxChar) != 0 && !inputWaits ? POLLIN : 0;
        pollfd entries[] = {{stopDescriptor, POLLIN, 0},
                            {writeNotice_.Get(), POLLIN, 0},
                            {device_.Get(), lineEvents, 0}};
        const int ready = poll(entries, 3, inputWaits || outputWaits ? kRecheckMs : -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return errno;
        if (entries[0].revents != 0) return 0;
        if ((entries[1].revents & POLLIN) != 0) {
            eventfd_t notices = 0;
            eventfd_read(writeNotice_.Get(), &notices);
        }
        if ((entries[2].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return EIO;
    }
}

// A purge also lets output go that an XOFF held: a board may send one among its power-up
// noise, and no XON would ever follow. A line that cannot (hung up) has nothing to hold.
int PosixSerialDevice::Purge(unsigned what) {
    if (const int error = FlushQueues(device_.Get(), what)) return error;
    RestartOutput(device_.Get());
    return 0;
}

int PosixSerialDevice::QueuedInput(int& count) {
    int queued = 0;
    if (ioctl(device_.Get(), TIOCINQ, &queued) != 0) return errno;
    count = queued;
    return 0;
}

int PosixSerialDevice::ModemStatus(unsigned& bits) {
    int lines = 0;
    bits = 0;
    if (ioctl(device_.Get(), TIOCMGET, &lines) != 0) return HasNoSuchLines(errno) ? 0 : errno;
    if (lines & TIOCM_CTS) bits |= modem::kCts;
    if (lines & TIOCM_DSR) bits |= modem::kDsr;
    if (lines & TIOCM_RI) bits |= modem::kRing;
    if (lines & TIOCM_CD) bits |= modem::kRlsd;
    return 0;
}

// A process that holds the port already makes it busy, as exclusive opening is elsewhere.
// Right after open the lines are made quiet, before the lock and the settings: until then
// DTR and RTS are up and what arrives is echoed.
std::unique_ptr<SerialDevice> PosixDeviceOpener::Open(const QString& port, int& error) {
    const QByteArray path = DevicePath(port, programFolder_).toLocal8Bit();
    if (!OtherHolders(path.toStdString()).empty()) {
        error = EBUSY;
        return nullptr;
    }
    common::UniqueDescriptor device(
        open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!device) {
        error = errno;
        return nullptr;
    }
    const int fd = device.Get();
    // A file or a folder that is not a terminal is no serial port, whatever its name.
    error = QuietLine(fd);
    if (error == EINVAL) error = ENOTTY;
    if (error == 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) error = errno;
    if (error == 0 && ioctl(fd, TIOCEXCL) != 0) error = errno;
    if (error != 0) return nullptr;
    const bool setLowLatency = RequestLowLatency(fd);
    return std::make_unique<PosixSerialDevice>(std::move(device), setLowLatency);
}

} // namespace quorvel::serial::posix

namespace quorvel::serial {

std::shared_ptr<SerialDeviceOpener> SystemDeviceOpener() {
    static const auto opener =
        std::make_shared<posix::PosixDeviceOpener>(common::qt::ProgramFolder());
    return opener;
}

} // namespace quorvel::serial
