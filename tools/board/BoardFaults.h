#pragma once
// The board's fault mode: from a seed, the one thing that goes wrong in a run, so that a soak can
// drive a host through every kind of trouble and know which outcome each run demands.

#include "BoardOptions.h"
#include "ImageComparison.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvel::board {

enum class FaultKind {
    None,
    StrayCharacters, // characters that are none of the protocol's, between requests
    FlashPauses,     // a pause after every 64th byte, far shorter than any request timeout
    Stall,           // one request comes later than a host waits for it
    HangUp,          // the line goes dead
};

inline constexpr std::array kFaultKinds = {FaultKind::None, FaultKind::StrayCharacters,
                                           FaultKind::FlashPauses, FaultKind::Stall,
                                           FaultKind::HangUp};

// "none", "stray characters", "flash pauses", "stall", "hang-up".
const char* FaultKindName(FaultKind kind);

struct Fault {
    FaultKind kind = FaultKind::None;
    // Stray characters: sent before the first "g" and before one request in strayInterval.
    Bytes strayBytes;
    std::size_t strayInterval = 1;
    std::chrono::milliseconds flashPause{0};
    // A stall or a hang-up comes once this many bytes have arrived.
    std::size_t atByte = 0;
    std::chrono::milliseconds stallLength{0};

    bool operator==(const Fault&) const = default;
};

// Without the image's length, a stall or a hang-up comes within this many bytes: every stream
// has them, as a host sends at least one image byte and the 63-byte tail.
inline constexpr std::size_t kShortestStream = 64;

// The same seed, stream length and stall length give the same fault. A stall or a hang-up comes
// at a byte within the stream, so a host always meets it.
Fault PickFault(std::uint32_t seed, std::size_t streamLength, std::chrono::milliseconds stall);

// The length of the stream a host sends for the HEX file the options compare with (its image
// and the tail), or kShortestStream when there is none or it cannot be read.
std::size_t FaultStreamLength(const BoardOptions& options);

// Sets the options that play the fault, over whatever they held for it.
void ApplyFault(const Fault& fault, BoardOptions& options);

// What the fault does, such as "stall at byte 1234 for 3000 ms"; a stall or a hang-up that a
// run of `received` bytes never came to is marked "(not reached)".
std::string DescribeFault(const Fault& fault, std::size_t received);

} // namespace quorvel::board
