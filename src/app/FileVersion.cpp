#include "FileVersion.h"

#include <QFile>

#include <elf.h>

#include <cstring>
#include <optional>
#include <string_view>

namespace quorvel::app {

namespace {

// Reads a plain value at `offset` of `bytes`, or nothing when it would run past the end.
template <class Value> std::optional<Value> ReadAt(const QByteArray& bytes, std::uint64_t offset) {
    if (offset > static_cast<std::uint64_t>(bytes.size()) ||
        sizeof(Value) > static_cast<std::uint64_t>(bytes.size()) - offset)
        return std::nullopt;
    Value value;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

std::uint64_t Align4(std::uint64_t size) {
    return (size + 3) & ~std::uint64_t{3};
}

// Looks through the notes of one note section for the version note.
QString VersionInNotes(const QByteArray& file, std::uint64_t offset, std::uint64_t size) {
    const std::uint64_t end = offset + size;
    if (end < offset || end > static_cast<std::uint64_t>(file.size())) return {};
    while (offset + 12 <= end) {
        const auto nameSize = ReadAt<std::uint32_t>(file, offset);
        const auto descriptionSize = ReadAt<std::uint32_t>(file, offset + 4);
        const auto type = ReadAt<std::uint32_t>(file, offset + 8);
        const std::uint64_t name = offset + 12;
        const std::uint64_t description = name + Align4(*nameSize);
        const std::uint64_t next = description + Align4(*descriptionSize);
        if (next > end) return {};
        const std::string_view wanted(kVersionNoteName, sizeof kVersionNoteName);
        if (*type == kVersionNoteType && *nameSize == wanted.size() && *descriptionSize == 8 &&
            std::string_view(file.constData() + name, *nameSize) == wanted) {
            const auto most = *ReadAt<std::uint32_t>(file, description);
            const auto least = *ReadAt<std::uint32_t>(file, description + 4);
            return QStringLiteral("%1.%2.%3.%4")
                .arg(most >> 16)
                .arg(most & 0xFFFF)
                .arg(least >> 16)
                .arg(least & 0xFFFF);
        }
        offset = next;
    }
    return {};
}

// The program is built for this machine's word size; the file is read with the same layout.
QString VersionInElf(const QByteArray& file) {
    const auto header = ReadAt<Elf64_Ehdr>(file, 0);
    if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 ||
        header->e_ident[EI_CLASS] != ELFCLASS64 || header->e_ident[EI_DATA] != ELFDATA2LSB ||
        header->e_shentsize != sizeof(Elf64_Shdr))
        return {};
    for (std::uint64_t index = 0; index < header->e_shnum; ++index) {
        const auto section = ReadAt<Elf64_Shdr>(file, header->e_shoff + index * sizeof(Elf64_Shdr));
        if (!section) return {};
        if (section->sh_type != SHT_NOTE) continue;
        const QString version = VersionInNotes(file, section->sh_offset, section->sh_size);
        if (!version.isEmpty()) return version;
    }
    return {};
}

} // namespace

QString FileVersionText(const QString& path) {
    QFile program(path);
    if (!program.open(QIODevice::ReadOnly)) return {};
    // Map rather than read: the program file may be large, and only its headers are touched.
    const qint64 size = program.size();
    uchar* mapped = size > 0 ? program.map(0, size) : nullptr;
    if (!mapped) return {};
    const QByteArray file = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped),
                                                    static_cast<qsizetype>(size));
    return VersionInElf(file);
}

} // namespace quorvel::app
