#pragma once
// The records the port hands to its device: the 28-byte device-control record with the line
// settings, the five timeouts, and the values of its fields, of purging, of the modem lines and
// of the event mask, each named here once for the vocabulary and the device layer alike.
// Plain structs, so tests can inspect exactly what a device was given.

#include <cstdint>

namespace quorvel::serial {

struct DeviceControlBlock {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    std::uint32_t flags = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;

    friend bool operator==(const DeviceControlBlock&, const DeviceControlBlock&) = default;
};
static_assert(sizeof(DeviceControlBlock) == 28, "the device-control record is 28 bytes");

// Bits of DeviceControlBlock::flags.
namespace dcb {
constexpr std::uint32_t kBinary = 0x0001;
constexpr std::uint32_t kParityCheck = 0x0002;
constexpr std::uint32_t kOutCtsFlow = 0x0004;
constexpr std::uint32_t kOutDsrFlow = 0x0008;
constexpr std::uint32_t kDtrControlMask = 0x0030;
constexpr std::uint32_t kDtrEnable = 0x0010;
constexpr std::uint32_t kDtrHandshake = 0x0020;
constexpr std::uint32_t kDsrSensitivity = 0x0040;
constexpr std::uint32_t kTxContinueOnXoff = 0x0080;
constexpr std::uint32_t kOutX = 0x0100;
constexpr std::uint32_t kInX = 0x0200;
constexpr std::uint32_t kErrorChar = 0x0400;
constexpr std::uint32_t kDiscardNull = 0x0800;
constexpr std::uint32_t kRtsControlMask = 0x3000;
constexpr std::uint32_t kRtsEnable = 0x1000;
constexpr std::uint32_t kRtsHandshake = 0x2000;
constexpr std::uint32_t kRtsToggle = 0x3000;
constexpr std::uint32_t kAbortOnError = 0x4000;
} // namespace dcb

// Values of DeviceControlBlock::Parity.
namespace parity {
constexpr std::uint8_t kNone = 0;
constexpr std::uint8_t kOdd = 1;
constexpr std::uint8_t kEven = 2;
constexpr std::uint8_t kMark = 3;
constexpr std::uint8_t kSpace = 4;
} // namespace parity

// Values of DeviceControlBlock::StopBits.
namespace stopbits {
constexpr std::uint8_t kOne = 0;
constexpr std::uint8_t kOneAndHalf = 1;
constexpr std::uint8_t kTwo = 2;
} // namespace stopbits

// Milliseconds; all bits set (a signed -1) is a value of its own, as in ReadInterval.
struct CommTimeouts {
    std::uint32_t ReadIntervalTimeout = 0xFFFFFFFF;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 100;
    std::uint32_t WriteTotalTimeoutConstant = 1000;

    friend bool operator==(const CommTimeouts&, const CommTimeouts&) = default;
};

// What a purge asks for; any combination.
namespace purge {
constexpr unsigned kAbortTransmit = 0x0001;
constexpr unsigned kAbortReceive = 0x0002;
constexpr unsigned kClearTransmit = 0x0004;
constexpr unsigned kClearReceive = 0x0008;
} // namespace purge

// The modem status bits a device reports.
namespace modem {
constexpr unsigned kCts = 0x10;
constexpr unsigned kDsr = 0x20;
constexpr unsigned kRing = 0x40;
constexpr unsigned kRlsd = 0x80;
} // namespace modem

// Bits of the device's event mask: the line events a device is asked to watch and reports.
namespace event {
constexpr std::uint32_t kRxChar = 0x0001;
constexpr std::uint32_t kRxFlag = 0x0002;
constexpr std::uint32_t kTxEmpty = 0x0004;
constexpr std::uint32_t kCts = 0x0008;
constexpr std::uint32_t kDsr = 0x0010;
constexpr std::uint32_t kRlsd = 0x0020;
constexpr std::uint32_t kBreak = 0x0040;
constexpr std::uint32_t kError = 0x0080;
constexpr std::uint32_t kRing = 0x0100;
constexpr std::uint32_t kRx80Full = 0x0400;
} // namespace event

} // namespace quorvel::serial
