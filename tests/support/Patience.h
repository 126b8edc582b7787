#pragma once
// How long a test waits for what must happen: the other end of a pseudo-terminal, another
// thread or another process. Round trips stall at times, so it is generous; waiting it out
// means the thing did not happen.

#include <chrono>

namespace quorvel::testing {

inline constexpr std::chrono::milliseconds kPatience{2000};

} // namespace quorvel::testing
