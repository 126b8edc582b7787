#include "BoardFaults.h"

#include "BoardResult.h"
#include "HexImageLoader.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace quorvel::board {

namespace {

static_assert(kShortestStream == 1 + kTailLength);

constexpr std::size_t kMostStrayBytes = 4;
constexpr std::size_t kLongestStrayInterval = 8;
// A flash write of 64 bytes takes a few milliseconds on the board.
constexpr unsigned kLongestFlashPauseMs = 20;

// mt19937's sequence is fixed by the standard, its distributions are not: reducing its output by
// hand keeps a seed's fault the same with any standard library.
std::size_t Below(std::mt19937& engine, std::size_t bound) {
    return static_cast<std::size_t>(engine() % bound);
}

// None of "g", "r", "y" and "x", which would be taken for the conversation; nor XON (0x11) and
// XOFF (0x13): a host that uses XON/XOFF takes an XOFF out of its input and holds its output
// until an XON that this bootloader never sends.
bool IsStrayCharacter(std::uint8_t character) {
    switch (character) {
    case 'g':
    case 'r':
    case 'y':
    case 'x':
    case 0x11:
    case 0x13:
        return false;
    default:
        return true;
    }
}

Bytes PickStrayBytes(std::mt19937& engine) {
    Bytes strays(1 + Below(engine, kMostStrayBytes));
    for (std::uint8_t& stray : strays) {
        do {
            stray = static_cast<std::uint8_t>(engine());
        } while (!IsStrayCharacter(stray));
    }
    return strays;
}

std::string HexList(const Bytes& bytes) {
    std::string list;
    char field[8];
    for (const std::uint8_t byte : bytes) {
        std::snprintf(field, sizeof field, "%s0x%02X", list.empty() ? "" : " ", byte);
        list += field;
    }
    return list;
}

} // namespace

const char* FaultKindName(FaultKind kind) {
    switch (kind) {
    case FaultKind::None:
        return "none";
    case FaultKind::StrayCharacters:
        return "stray characters";
    case FaultKind::FlashPauses:
        return "flash pauses";
    case FaultKind::Stall:
        return "stall";
    case FaultKind::HangUp:
        return "hang-up";
    }
    return "none";
}

Fault PickFault(std::uint32_t seed, std::size_t streamLength, std::chrono::milliseconds stall) {
    std::mt19937 engine(seed);
    Fault fault;
    fault.kind = kFaultKinds[Below(engine, kFaultKinds.size())];
    switch (fault.kind) {
    case FaultKind::None:
        break;
    case FaultKind::StrayCharacters:
        fault.strayBytes = PickStrayBytes(engine);
        fault.strayInterval = 1 + Below(engine, kLongestStrayInterval);
        break;
    case FaultKind::FlashPauses:
        fault.flashPause = std::chrono::milliseconds(1 + Below(engine, kLongestFlashPauseMs));
        break;
    case FaultKind::Stall:
        fault.stallLength = stall;
        [[fallthrough]];
    case FaultKind::HangUp:
        fault.atByte = Below(engine, std::max<std::size_t>(streamLength, 1));
        break;
    }
    return fault;
}

std::size_t FaultStreamLength(const BoardOptions& options) {
    if (options.expectedHexPath.empty()) return kShortestStream;
    image::LoadedImage loaded;
    const image::LoadResult load =
        image::LoadHexFile(options.expectedHexPath, image::McuFamily::P18, loaded);
    if (!load.ok() || loaded.FirmwareImage.empty()) return kShortestStream;
    return loaded.FirmwareImage.size() + kTailLength;
}

void ApplyFault(const Fault& fault, BoardOptions& options) {
    switch (fault.kind) {
    case FaultKind::None:
        break;
    case FaultKind::StrayCharacters:
        options.noise.insert(options.noise.end(), fault.strayBytes.begin(), fault.strayBytes.end());
        options.strayBytes = fault.strayBytes;
        options.strayInterval = fault.strayInterval;
        break;
    case FaultKind::FlashPauses:
        options.flashPause = fault.flashPause;
        break;
    case FaultKind::Stall:
        options.stallAfter = fault.atByte;
        options.stallLength = fault.stallLength;
        break;
    case FaultKind::HangUp:
        options.hangUpAfter = fault.atByte;
        break;
    }
}

std::string DescribeFault(const Fault& fault, std::size_t received) {
    char text[160] = "";
    switch (fault.kind) {
    case FaultKind::None:
        return "none";
    case FaultKind::StrayCharacters:
        std::snprintf(text, sizeof text,
                      "stray characters %s before the first \"g\" and before one request in %zu",
                      HexList(fault.strayBytes).c_str(), fault.strayInterval);
        return text;
    case FaultKind::FlashPauses:
        std::snprintf(text, sizeof text, "flash pauses of %lld ms after every 64 bytes",
                      static_cast<long long>(fault.flashPause.count()));
        return text;
    case FaultKind::Stall:
        std::snprintf(text, sizeof text, "stall at byte %zu for %lld ms", fault.atByte,
                      static_cast<long long>(fault.stallLength.count()));
        break;
    case FaultKind::HangUp:
        std::snprintf(text, sizeof text, "hang-up at byte %zu", fault.atByte);
        break;
    }
    return std::string(text) + (received < fault.atByte ? " (not reached)" : "");
}

} // namespace quorvel::board
