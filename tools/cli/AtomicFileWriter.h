#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::cli {

// Writes `bytes` to a temporary file beside `path` and renames it into place, so that `path`
// is either the complete new content or left as it was. Returns an error text on failure.
std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::vector<std::uint8_t>& bytes);

} // namespace quorvel::cli
