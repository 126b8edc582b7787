#pragma once
// The quickest host there is: a bare loop on the board's slave end that answers every request
// at once with a plain read and write, for the rate a host could reach on the same line.

#include "BoardResult.h"

#include <cstddef>

namespace quorvel::bench {

// Uploads `imageLength` bytes and the tail to a fresh virtual board paced at `baudRate`
// (0: unpaced); returns the board's result.
board::BoardResult UploadWithBareResponder(unsigned baudRate, std::size_t imageLength);

} // namespace quorvel::bench
