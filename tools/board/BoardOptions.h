#pragma once
// What the virtual board does: every knob of quorvel-board is one field here, so tests and
// benchmarks set the same behaviour that a person picks on the command line.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::board {

using Milliseconds = std::chrono::milliseconds;

enum class AnnounceMode {
    Once,   // one "g", then wait for "r" however long it takes
    Repeat, // a "g" every announceInterval until "r" arrives
};

struct BoardOptions {
    // Characters per second on the line are baudRate / 10 in each direction; 0 leaves the line
    // as fast as the pseudo-terminal goes.
    unsigned baudRate = 115200;

    // Counted from the moment a program opens the slave end, so nothing is said to nobody.
    Milliseconds startDelay{0};
    AnnounceMode announceMode = AnnounceMode::Repeat;
    Milliseconds announceInterval{5};
    // Sent once before the first "g" of each announcement, as a board's reset may garble the line.
    std::vector<std::uint8_t> noise;

    // No answer to a request within this time ends the upload.
    Milliseconds silence{500};
    // The first request may wait longer: someone has to click "Begin uploading" after the
    // handshake. Unset, it waits the silence time like every other.
    std::optional<Milliseconds> firstAnswerWait;
    // Waited after every 64th received byte before the next request, as a flash write takes.
    std::chrono::microseconds flashPause{0};

    // After this many received bytes the board asks for nothing more.
    std::optional<std::size_t> stopAfter;
    // After this many received bytes the board closes the master end: the line goes dead.
    std::optional<std::size_t> hangUpAfter;
    // Once, after this many received bytes, the next request comes stallLength late.
    std::optional<std::size_t> stallAfter;
    Milliseconds stallLength{3000};
    // Sent before the request for every strayInterval-th byte, counted from the first: characters
    // that a noisy line slips in between requests.
    std::vector<std::uint8_t> strayBytes;
    std::size_t strayInterval = 1;

    // With a seed, the board picks one fault for its run and sets the fields above to play it
    // (BoardFaults.h); the same seed picks the same fault.
    std::optional<std::uint32_t> faultSeed;

    // When set, the program offers the board as this port name: a link in the folder "ports"
    // beside it, where Quorvel's port list finds it.
    std::string publishName;

    // When set, the received image is written to this file at the end.
    std::string imageOutputPath;
    // When set, the received image is compared with this Intel HEX file's image at the end.
    std::string expectedHexPath;
};

} // namespace quorvel::board
