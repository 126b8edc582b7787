#include "ProgramFolders.h"
#include "ProgramFoldersQt.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <utility>
#include <vector>

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

// A folder tree of its own, and an environment the test chooses, put back afterwards.
class Places : public ::testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::temp_directory_path() /
               ("quorvel-places-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "usr/bin");
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
            if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
        ::setenv("HOME", "/home/ann", 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    void TearDown() override {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"})
            ::unsetenv(name);
        for (const auto& [name, value] : saved)
            ::setenv(name.c_str(), value.c_str(), 1);
        std::filesystem::remove_all(root);
    }
    void Touch(const std::string& relative) const {
        std::filesystem::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << "";
    }
    std::string Bin() const { return (root / "usr/bin").string(); }

    std::filesystem::path root;
    std::vector<std::pair<std::string, std::string>> saved;
};

// A build tree and a portable copy keep everything beside the program; an install never
// writes into its own folders.
TEST_F(Places, TheBuildTreeAPortableCopyAndAnInstallEachKeepTheirFilesWhereTheyBelong) {
    EXPECT_EQ(PlacementOf(Bin()), FilePlacement::BesideProgram) << "no marker: a build tree";
    EXPECT_EQ(SettingsFolder(Bin()), Bin());
    EXPECT_EQ(PortsFolder(Bin()), Bin() + "/ports");

    Touch(std::string("usr/") + kInstallMarker);
    EXPECT_EQ(PlacementOf(Bin()), FilePlacement::UserFolders);
    EXPECT_EQ(SettingsFolder(Bin()), "/home/ann/.config/quorvel");
    EXPECT_EQ(PortsFolder(Bin()), "/tmp/quorvel-" + std::to_string(::getuid()) + "/ports");
    ::setenv("XDG_CONFIG_HOME", "/srv/ann/config", 1);
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
    EXPECT_EQ(SettingsFolder(Bin()), "/srv/ann/config/quorvel");
    EXPECT_EQ(PortsFolder(Bin()), "/run/user/1000/quorvel/ports");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1); // not absolute: not to be used
    EXPECT_EQ(SettingsFolder(Bin()), "/home/ann/.config/quorvel");
    EXPECT_EQ(qt::SettingsFolder(QString::fromStdString(Bin())),
              QStringLiteral("/home/ann/.config/quorvel"));

    Touch("usr/bin/Settings.ini"); // a portable copy of the installed program
    EXPECT_EQ(PlacementOf(Bin()), FilePlacement::BesideProgram);
    EXPECT_EQ(SettingsFolder(Bin()), Bin());
    EXPECT_EQ(PortsFolder(Bin()), Bin() + "/ports");
}

TEST_F(Places, CataloguesAreBesideTheProgramElseInTheInstallElseTheSystems) {
    EXPECT_EQ(LocaleFolder(Bin()), "") << "the system's";
    Touch("usr/share/locale/de/LC_MESSAGES/cport.mo");
    EXPECT_EQ(LocaleFolder(Bin()), (root / "usr/share/locale").string());
    Touch("usr/bin/locale/de/LC_MESSAGES/cport.mo");
    EXPECT_EQ(LocaleFolder(Bin()), Bin() + "/locale");
    EXPECT_EQ(LocaleFolder(""), "");
}

} // namespace
} // namespace quorvel::common
