#include "LineTermios.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

namespace quorvel::serial::posix {

namespace {

static_assert(sizeof(termios2::c_cc) == sizeof(LineTermios::cc), "termios2 has 19 characters");

int ErrorOf(int result) {
    return result == 0 ? 0 : errno;
}

bool CharacterSize(std::uint8_t byteSize, std::uint32_t& flag) {
    switch (byteSize) {
    case 5:
        flag = CS5;
        return true;
    case 6:
        flag = CS6;
        return true;
    case 7:
        flag = CS7;
        return true;
    case 8:
        flag = CS8;
        return true;
    }
    return false;
}

bool ParityFlags(std::uint8_t value, std::uint32_t& flags) {
    switch (value) {
    case parity::kNone:
        flags = 0;
        return true;
    case parity::kOdd:
        flags = PARENB | PARODD;
        return true;
    case parity::kEven:
        flags = PARENB;
        return true;
    case parity::kMark:
        flags = PARENB | CMSPAR | PARODD;
        return true;
    case parity::kSpace:
        flags = PARENB | CMSPAR;
        return true;
    }
    return false;
}

// One and a half stop bits exist on a UART only as CSTOPB with five data bits.
bool StopFlags(std::uint8_t stopBits, std::uint32_t& flags) {
    switch (stopBits) {
    case stopbits::kOne:
        flags = 0;
        return true;
    case stopbits::kOneAndHalf:
    case stopbits::kTwo:
        flags = CSTOPB;
        return true;
    }
    return false;
}

std::uint32_t InputFlags(const DeviceControlBlock& record) {
    std::uint32_t flags = 0;
    if (record.flags & dcb::kOutX) flags |= IXON;
    if (record.flags & dcb::kInX) flags |= IXOFF;
    if (record.flags & dcb::kParityCheck) flags |= INPCK;
    return flags;
}

bool WantsHardwareHandshake(const DeviceControlBlock& record) {
    return (record.flags & dcb::kOutCtsFlow) != 0 ||
           (record.flags & dcb::kRtsControlMask) == dcb::kRtsHandshake;
}

LineTermios FromKernel(const termios2& kernel) {
    LineTermios termios;
    termios.iflag = kernel.c_iflag;
    termios.oflag = kernel.c_oflag;
    termios.cflag = kernel.c_cflag;
    termios.lflag = kernel.c_lflag;
    termios.line = kernel.c_line;
    std::memcpy(termios.cc, kernel.c_cc, sizeof termios.cc);
    termios.ispeed = kernel.c_ispeed;
    termios.ospeed = kernel.c_ospeed;
    return termios;
}

termios2 ToKernel(const LineTermios& termios) {
    termios2 kernel{};
    kernel.c_iflag = termios.iflag;
    kernel.c_oflag = termios.oflag;
    kernel.c_cflag = termios.cflag;
    kernel.c_lflag = termios.lflag;
    kernel.c_line = termios.line;
    std::memcpy(kernel.c_cc, termios.cc, sizeof termios.cc);
    kernel.c_ispeed = termios.ispeed;
    kernel.c_ospeed = termios.ospeed;
    return kernel;
}

} // namespace

int TermiosForRecord(const DeviceControlBlock& record, LineTermios& termios) {
    std::uint32_t size = 0, parity = 0, stop = 0;
    if (record.BaudRate == 0 || !CharacterSize(record.ByteSize, size) ||
        !ParityFlags(record.Parity, parity) || !StopFlags(record.StopBits, stop))
        return EINVAL;

    termios = LineTermios{};
    termios.iflag = InputFlags(record);
    termios.cflag = CREAD | CLOCAL | size | parity | stop | BOTHER | (BOTHER << IBSHIFT);
    if (WantsHardwareHandshake(record)) termios.cflag |= CRTSCTS;
    // Nothing queued is then EAGAIN on the non-blocking descriptor, and 0 means the line is gone.
    termios.cc[VMIN] = 1;
    termios.cc[VTIME] = 0;
    termios.cc[VSTART] = static_cast<std::uint8_t>(record.XonChar);
    termios.cc[VSTOP] = static_cast<std::uint8_t>(record.XoffChar);
    termios.ispeed = record.BaudRate;
    termios.ospeed = record.BaudRate;
    return 0;
}

int ApplyLineTermios(int fd, const LineTermios& termios) {
    const termios2 kernel = ToKernel(termios);
    return ErrorOf(ioctl(fd, TCSETS2, &kernel));
}

int ReadLineTermios(int fd, LineTermios& termios) {
    termios2 kernel{};
    const int error = ErrorOf(ioctl(fd, TCGETS2, &kernel));
    if (error == 0) termios = FromKernel(kernel);
    return error;
}

int FlushQueues(int fd, unsigned purgeBits) {
    const bool input = (purgeBits & purge::kClearReceive) != 0;
    const bool output = (purgeBits & purge::kClearTransmit) != 0;
    if (!input && !output) return 0;
    const int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return ErrorOf(ioctl(fd, TCFLSH, queue));
}

void RequestLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
    if (serial.flags & ASYNC_LOW_LATENCY) return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace quorvel::serial::posix
