#include "ProgramFolders.h"
#include "ProgramFoldersQt.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel::common {
namespace {

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(std::filesystem::equivalent(folder, QUORVEL_PROGRAMS_FOLDER)) << folder;
    EXPECT_EQ(qt::ProgramFolder().toStdString(), folder);
}

TEST(PortsFolder, IsTheFolderPortsInTheProgramFolderAndNoneWithoutOne) {
    const std::pair<std::string, std::string> rows[] = {
        {"/opt/quorvel/bin", "/opt/quorvel/bin/ports"},
        {"/opt/quorvel/bin/", "/opt/quorvel/bin/ports"},
        {"", ""},
    };
    for (const auto& [programFolder, portsFolder] : rows) {
        EXPECT_EQ(PortsFolder(programFolder), portsFolder) << programFolder;
        EXPECT_EQ(qt::PortsFolder(QString::fromStdString(programFolder)).toStdString(), portsFolder)
            << programFolder;
    }
}

TEST(PortsFolder, KeepsAFolderNameBeyondAscii) {
    EXPECT_EQ(qt::PortsFolder(QStringLiteral("/home/jürgen/Geräte")),
              QStringLiteral("/home/jürgen/Geräte/ports"));
}

} // namespace
} // namespace quorvel::common
