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
// `path` is either the complete new content or left as it was. When `path` is a symbolic link
// (or a chain of them), the file at its end is the one replaced and the links stay. A file
// that is replaced keeps its permission bits, and its owner and group when the writer is
// allowed to give them (root). Returns an error text on failure.
std::optional<std::string> WriteFileAtomically(const std::string& path, const void* data,
                                               std::size_t size,
                                               Durability durability = Durability::RenameOnly);

} // namespace quorvel::common
