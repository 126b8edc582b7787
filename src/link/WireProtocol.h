#pragma once
// The characters of the board's bootloader protocol. There is no framing, address or
// checksum: the board asks, one character per byte, and the PC answers with exactly one byte.

#include <cstdint>

namespace quorvel::link {

constexpr char kBootloaderPresent = 'g'; // board: its bootloader runs
constexpr char kHandshakeAnswer = 'r';   // PC: sent once after the first "g"
constexpr char kEvenRequest = 'y';       // board: the byte at the next even position
constexpr char kOddRequest = 'x';        // board: the byte at the next odd position
constexpr std::uint8_t kTailByte = 0xFF; // PC: sent after the image
constexpr int kTailLength = 63;

// Read attempts allowed for one awaited character; the limit counts attempts, not time.
constexpr int PollLimit = 0x50000;

} // namespace quorvel::link
