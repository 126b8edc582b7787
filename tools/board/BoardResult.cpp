#include "BoardResult.h"

#include <algorithm>
#include <cstdio>

namespace quorvel::board {

const char* EndReasonText(EndReason reason) {
    switch (reason) {
    case EndReason::Silence:
        return "silence";
    case EndReason::RequestLimitReached:
        return "request limit";
    case EndReason::HungUp:
        return "hang-up";
    case EndReason::Stopped:
        return "stop";
    case EndReason::Failed:
        return "failure";
    }
    return "failure";
}

Bytes BoardResult::Image() const {
    if (stream.size() < kTailLength) return {};
    return Bytes(stream.begin(), stream.end() - static_cast<long>(kTailLength));
}

std::optional<std::size_t> BoardResult::FirstBadTailOffset() const {
    const std::size_t tailStart = stream.size() < kTailLength ? 0 : stream.size() - kTailLength;
    const auto bad = std::find_if(stream.begin() + static_cast<long>(tailStart), stream.end(),
                                  [](std::uint8_t byte) { return byte != 0xFF; });
    if (bad == stream.end()) return std::nullopt;
    return static_cast<std::size_t>(bad - stream.begin());
}

bool BoardResult::TailOk() const {
    return stream.size() >= kTailLength && !FirstBadTailOffset();
}

double BoardResult::BytesPerSecond() const {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    return seconds > 0 ? static_cast<double>(stream.size()) / seconds : 0.0;
}

namespace {

std::string TailText(const BoardResult& result) {
    if (result.TailOk()) return "tail ok";
    char text[96];
    if (const auto bad = result.FirstBadTailOffset()) {
        std::snprintf(text, sizeof text, "tail bad at offset %zu (0x%02X)", *bad,
                      result.stream[*bad]);
    } else {
        std::snprintf(text, sizeof text, "tail short (%zu of %zu bytes)", result.stream.size(),
                      kTailLength);
    }
    return text;
}

} // namespace

std::string SummaryLine(const BoardResult& result) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%zu bytes, %s, %.0f bytes/s, elapsed %.3f s, %zu unexpected, "
                  "ended by %s",
                  result.stream.size(), TailText(result).c_str(), result.BytesPerSecond(),
                  std::chrono::duration<double>(result.elapsed).count(), result.unexpectedBytes,
                  EndReasonText(result.endReason));
    std::string line = text;
    if (!result.failure.empty()) line += ": " + result.failure;
    return line;
}

} // namespace quorvel::board
