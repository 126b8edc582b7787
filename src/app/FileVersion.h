#pragma once
// The program's version travels inside its own file, in an ELF note that the build adds, so
// that the version shown is the one of the file on disk.

#include <QString>

#include <cstdint>

namespace quorvel::app {

// Name and type of the note that carries the version.
inline constexpr char kVersionNoteName[] = "Quorvel";
inline constexpr std::uint32_t kVersionNoteType = 1;

// The version of the program file at `path` as four decimal numbers joined by ".", or the
// empty text when the file carries none or cannot be read.
QString FileVersionText(const QString& path);

} // namespace quorvel::app
