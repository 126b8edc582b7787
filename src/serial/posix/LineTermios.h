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

// A driver takes TCSETS2 even when it changed what it was asked (a rate it cannot make, a
// size or parity it does not have): reads the line back and gives EINVAL when the rate is off
// by more than real chips round it, or a size, parity, stop-bit or flow flag is not as asked.
int VerifyLineTermios(int fd, const LineTermios& wanted);

// The kernel raises DTR and RTS at open and echoes what arrives until the line is raw: the
// first thing done with a new descriptor lowers both lines and turns echo and every
// translation off. ENOTTY when the descriptor is no terminal.
int QuietLine(int fd);

// Discards queued input and/or output (tcflush); the abort bits have nothing to abort here.
int FlushQueues(int fd, unsigned purgeBits);

// Lets output go again that an XOFF from the other end held (tcflow: TCOOFF, then TCOON).
int RestartOutput(int fd);

// Asks the driver not to hold received characters back; silently nothing where it cannot.
// True when this call turned it on, so that it is turned off again at close: the setting
// belongs to the adapter, and every program that opens it later would inherit it.
bool RequestLowLatency(int fd);
void ReleaseLowLatency(int fd);

} // namespace quorvel::serial::posix
