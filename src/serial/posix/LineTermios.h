#pragma once
// The kernel's termios2 record, kept behind plain fields: <asm/termbits.h> cannot meet
// <termios.h> in one source file, so only LineTermios.cpp includes it.

#include "../DeviceControlBlock.h"

#include <cstdint>

namespace quorvel::serial::posix {

struct LineTermios {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint8_t line = 0;
    std::uint8_t cc[19] = {};
    std::uint32_t ispeed = 0;
    std::uint32_t ospeed = 0;
};

// Raw mode for the record: any rate through BOTHER, XON/XOFF with the record's characters,
// CRTSCTS for a hardware handshake, CMSPAR for mark and space parity. EINVAL when the record
// asks for what no line can do (rate 0, which would hang the line up, or an unknown size).
int TermiosForRecord(const DeviceControlBlock& record, LineTermios& termios);

int ApplyLineTermios(int fd, const LineTermios& termios); // TCSETS2
int ReadLineTermios(int fd, LineTermios& termios);        // TCGETS2

// Discards queued input and/or output (tcflush); the abort bits have nothing to abort here.
int FlushQueues(int fd, unsigned purgeBits);

// Asks the driver not to hold received characters back; silently nothing where it cannot.
void RequestLowLatency(int fd);

} // namespace quorvel::serial::posix
