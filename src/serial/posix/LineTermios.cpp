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

// CSTOPB gives one and a half stop bits with five data bits and two with any other size, so
// each exists with its own sizes only; anything else would go to the line as the other.
bool StopFlags(std::uint8_t stopBits, std::uint8_t byteSize, std::uint32_t& flags) {
    switch (stopBits) {
    case stopbits::kOne:
        flags = 0;
        return true;
    case stopbits::kOneAndHalf:
        flags = CSTOPB;
        return byteSize == 5;
    case stopbits::kTwo:
        flags = CSTOPB;
        return byteSize != 5;
    }
    return false;
}

// The flags that say what goes on the line; the rest a driver may keep as it likes.
constexpr std::uint32_t kLineFlags = CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS;
constexpr std::uint32_t kFlowFlags = IXON | IXOFF;

// Real chips divide a clock: an FTDI asked for 115200 gives 115384. Beyond this a rate is
// another rate.
bool RateClose(std::uint32_t wanted, std::uint32_t got) {
    const std::uint64_t difference = wanted > got ? wanted - got : got - wanted;
    return difference * 100 <= std::uint64_t{wanted} * 3;
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
        !ParityFlags(record.Parity, parity) || !StopFlags(record.StopBits, record.ByteSize, stop))
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

int VerifyLineTermios(int fd, const LineTermios& wanted) {
    LineTermios got;
    if (const int error = ReadLineTermios(fd, got)) return error;
    const bool same = (got.cflag & kLineFlags) == (wanted.cflag & kLineFlags) &&
                      (got.iflag & kFlowFlags) == (wanted.iflag & kFlowFlags) &&
                      RateClose(wanted.ospeed, got.ospeed) && RateClose(wanted.ispeed, got.ispeed);
    return same ? 0 : EINVAL;
}

int QuietLine(int fd) {
    int lines = TIOCM_DTR | TIOCM_RTS;
    // A pseudo-terminal has no such lines; that is no reason to stop.
    ioctl(fd, TIOCMBIC, &lines);
    termios2 kernel{};
    if (ioctl(fd, TCGETS2, &kernel) != 0) return errno;
    kernel.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    kernel.c_oflag &= ~OPOST;
    kernel.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    kernel.c_cc[VMIN] = 1;
    kernel.c_cc[VTIME] = 0;
    return ErrorOf(ioctl(fd, TCSETS2, &kernel));
}

int FlushQueues(int fd, unsigned purgeBits) {
    const bool input = (purgeBits & purge::kClearReceive) != 0;
    const bool output = (purgeBits & purge::kClearTransmit) != 0;
    if (!input && !output) return 0;
    const int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
    return ErrorOf(ioctl(fd, TCFLSH, queue));
}

// TCOON alone restarts only what TCOOFF stopped; after a TCOOFF it restarts the output
// whatever stopped it, an XOFF from the other end included.
int RestartOutput(int fd) {
    if (ioctl(fd, TCXONC, TCOOFF) != 0) return errno;
    return ErrorOf(ioctl(fd, TCXONC, TCOON));
}

bool RequestLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
    if (serial.flags & ASYNC_LOW_LATENCY) return false;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

void ReleaseLowLatency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
    serial.flags &= ~ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace quorvel::serial::posix
