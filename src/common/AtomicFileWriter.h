#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace quorvel::common {

enum class Durability {
    RenameOnly, // safe against a failed or killed write
    SyncFirst,  // also flushed to the disk before it replaces the old file
};

// Writes `size` bytes to a temporary file beside `path` and renames it into place, so that
// `path` is either the complete new content or left as it was. A file that is replaced keeps
// its permission bits. Returns an error text on failure.
std::optional<std::string> WriteFileAtomically(const std::string& path, const void* data,
                                               std::size_t size,
                                               Durability durability = Durability::RenameOnly);

} // namespace quorvel::common
