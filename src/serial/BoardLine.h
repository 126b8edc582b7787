#pragma once
// The line of the board's resident bootloader, as the window and the command line open it:
// 115200 baud, 8 data bits, no parity, one stop bit, XON/XOFF both ways, DTR and RTS held off,
// queues of 2048 bytes.

#include "ComVocabulary.h"

namespace quorvel::serial {

class TCustomComPort;

// The only rate the board's firmware speaks.
inline constexpr TBaudRate kBoardBaudRate = br115200;

// Everything but the rate, which the window forces only once its stored settings are applied.
void SetBoardLineSettings(TCustomComPort& port);

} // namespace quorvel::serial
