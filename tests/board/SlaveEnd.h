#pragma once
// The far end of the virtual board's line, as a serial port would use it: the slave of the
// pseudo-terminal, opened by path, raw, with plain read and write.

#include "Patience.h"
#include "UniqueDescriptor.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::board::testing {

using Bytes = std::vector<std::uint8_t>;
using quorvel::testing::kPatience;
using std::chrono::milliseconds;

class SlaveEnd {
public:
    explicit SlaveEnd(const std::string& path); // fails the test when it cannot open

    bool IsOpen() const { return static_cast<bool>(descriptor_); }
    void Close() { descriptor_.Close(); }
    void Reopen();

    // One byte, or nothing when none came within `timeout` (or the line is gone).
    std::optional<std::uint8_t> ReadByte(milliseconds timeout = kPatience);
    // Reads until `wanted` comes; the bytes before it go to `skipped`. False on a timeout.
    bool ReadUntil(std::uint8_t wanted, Bytes* skipped = nullptr, milliseconds timeout = kPatience);
    void Write(const Bytes& bytes);
    void Write(std::uint8_t byte) { Write(Bytes{byte}); }

    // Whether the other end has hung up: poll says so, or a write fails with EIO.
    bool SeesHangUp(milliseconds timeout = kPatience);

private:
    std::string path_;
    common::UniqueDescriptor descriptor_;
};

// The host's side of one upload: waits for "g", answers "r", then answers each request with
// the next byte of `stream`. Returns the request characters seen, "g"s after the "r" left out.
struct HostRun {
    std::string requests;
    Bytes skippedBeforeAnnounce;
    bool announced = false;
    // The request after the last byte of the stream: proof that the board took that byte.
    std::optional<std::uint8_t> requestAfterStream;
};
HostRun UploadStream(SlaveEnd& slave, const Bytes& stream);

// The image followed by the 63-byte tail of 0xFF.
Bytes StreamOf(const Bytes& image);
// `length` bytes that cover every byte value, the line's special characters among them.
Bytes PatternImage(std::size_t length);

} // namespace quorvel::board::testing
