#pragma once
// What one run of the virtual board saw, read by tests, benchmarks and the summary line.

#include "BoardFaults.h"
#include "ImageComparison.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace quorvel::board {

// Every stream ends with this many 0xFF bytes after the image.
inline constexpr std::size_t kTailLength = 63;

enum class EndReason {
    Silence,             // a request went unanswered for the silence time
    RequestLimitReached, // asked for the configured number of bytes, then the line fell silent
    HungUp,              // closed the master after the configured number of bytes
    Stopped,             // told to stop (a signal, or the owner of the thread)
    Failed,              // the pseudo-terminal failed; `failure` says how
};

const char* EndReasonText(EndReason reason);

struct BoardResult {
    EndReason endReason = EndReason::Stopped;
    std::string failure;

    Bytes stream;                    // every byte that answered a request, in order
    std::size_t announcements = 0;   // "g" characters sent
    std::size_t requests = 0;        // "y" and "x" characters sent
    std::size_t unexpectedBytes = 0; // bytes nobody asked for, including any before the "r"
    bool handshakeDone = false;      // an "r" arrived

    // With a fault seed: the fault the board picked and what it did, such as
    // "stall at byte 1234 for 3000 ms"; without one, None and empty.
    FaultKind faultKind = FaultKind::None;
    std::string faultDescription;

    // From the first request to the last received byte.
    std::chrono::steady_clock::duration elapsed{};

    // Filled at the end when the options asked for them.
    std::optional<std::string> imageWriteError;
    std::optional<HexComparison> hexComparison;

    // The stream less its tail; empty when the stream is shorter than the tail.
    Bytes Image() const;
    // The last 63 bytes are all there and all 0xFF.
    bool TailOk() const;
    // Offset in the stream of the first tail byte that is not 0xFF, if any.
    std::optional<std::size_t> FirstBadTailOffset() const;
    double BytesPerSecond() const;
};

// "1087 bytes, tail ok, 5741 bytes/s, elapsed 0.189 s, 0 unexpected, ended by silence"
std::string SummaryLine(const BoardResult& result);

} // namespace quorvel::board
