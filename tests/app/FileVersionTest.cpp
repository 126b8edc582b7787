#include "FileVersion.h"

#include "TestFiles.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

namespace quorvel::app {
namespace {

using testing::TestFolder;

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(FileVersionText, ReadsTheVersionThatTheBuildPutIntoTheProgram) {
    EXPECT_EQ(FileVersionText(QStringLiteral(QUORVEL_PROGRAM_FILE)), "2.0.0.0");
}

// The text comes from the bytes of the file at the path, not from the running program.
TEST(FileVersionText, ReadsItFromTheFileOnDisk) {
    QByteArray program = Contents(QStringLiteral(QUORVEL_PROGRAM_FILE));
    // Name size 8, description size 8, type 1, then the name.
    const QByteArray header("\x08\0\0\0\x08\0\0\0\x01\0\0\0Quorvel\0", 20);
    const qsizetype name = program.indexOf(header) + 12;
    ASSERT_GT(name, 12);
    const unsigned char version[8] = {1, 0, 3, 0, 4, 0, 0x0F, 0x27}; // 3.1 and 9999.4
    program.replace(name + 8, 8, reinterpret_cast<const char*>(version), 8);
    TestFolder folder;
    EXPECT_EQ(FileVersionText(folder.Write(QStringLiteral("patched"), program.toStdString())),
              "3.1.9999.4");
}

TEST(FileVersionText, IsEmptyForAFileWithoutIt) {
    TestFolder folder;
    const QByteArray program = Contents(QStringLiteral(QUORVEL_PROGRAM_FILE));
    const QString cases[] = {
        folder.Path(QStringLiteral("missing")),
        folder.MakeFolder(QStringLiteral("folder")),
        folder.Write(QStringLiteral("empty"), ""),
        folder.Write(QStringLiteral("text"), "2.0.0.0\n"),
        folder.Write(QStringLiteral("elf-header-only"), program.left(64).toStdString()),
        folder.Write(QStringLiteral("truncated"), program.left(program.size() / 2).toStdString()),
        QStringLiteral(QUORVEL_FILE_WITHOUT_VERSION),
        folder.Unreadable(QStringLiteral("unreadable")),
    };
    for (const QString& path : cases)
        EXPECT_EQ(FileVersionText(path), QString()) << path.toStdString();
}

} // namespace
} // namespace quorvel::app
