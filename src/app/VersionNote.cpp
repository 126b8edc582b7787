// The version note linked into the program. Its layout is that of an ELF note: sizes of name
// and description, type, the name padded to four bytes, then the description. The description
// is the version as two 32-bit values, most significant first, each holding two 16-bit parts.

#include "FileVersion.h"
#include "ProgramVersion.h"

#include <cstdint>

namespace {

struct VersionNote {
    std::uint32_t nameSize;
    std::uint32_t descriptionSize;
    std::uint32_t type;
    char name[8];
    std::uint32_t versionMost;
    std::uint32_t versionLeast;
};

static_assert(sizeof quorvel::app::kVersionNoteName == 8);

[[gnu::section(".note.quorvel.version"), gnu::used,
  gnu::aligned(4)]] const VersionNote kVersionNote{
    8,
    8,
    quorvel::app::kVersionNoteType,
    {'Q', 'u', 'o', 'r', 'v', 'e', 'l', '\0'},
    (quorvel::common::kVersionMajor << 16) | quorvel::common::kVersionMinor,
    (quorvel::common::kVersionPatch << 16) | quorvel::common::kVersionTweak};

} // namespace
