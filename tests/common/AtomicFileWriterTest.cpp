// The all-or-nothing write that saves Settings.ini (and quorvel-cli's image): a link that the
// user put in the file's place stays a link, and the file at its end gets the new content.

#include "AtomicFileWriter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::common {
namespace {

namespace fs = std::filesystem;

class AtomicWrite : public ::testing::Test {
protected:
    AtomicWrite() {
        for (const char* folder : {"app", "links", "data"})
            fs::create_directory(root / folder);
    }

    static std::string Read(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream content;
        content << file.rdbuf();
        return content.str();
    }

    static void Write(const fs::path& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }

    static std::optional<std::string> WriteAtomically(const fs::path& path,
                                                      const std::string& content) {
        return WriteFileAtomically(path.string(), content.data(), content.size());
    }

    // Every name under the root, links and files, to see that nothing was left or replaced.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(root))
            names.push_back(entry.path().lexically_relative(root).string() +
                            (entry.is_symlink() ? " -> " + fs::read_symlink(entry).string() : ""));
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir temporary;
    const fs::path root = temporary.path().toStdString();
    const fs::path settings = root / "app/Settings.ini";
    const fs::path data = root / "data/Settings.ini";
};

TEST_F(AtomicWrite, ALinkStaysALinkAndTheFileAtItsEndIsReplaced) {
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // where, to what
        bool targetExists;
    } cases[] = {
        {"absolute", {{"app/Settings.ini", (root / "data/Settings.ini").string()}}, true},
        {"relative to the link's folder", {{"app/Settings.ini", "../data/Settings.ini"}}, true},
        {"a chain",
         {{"app/Settings.ini", "../links/hop"}, {"links/hop", "../data/Settings.ini"}},
         true},
        {"dangling", {{"app/Settings.ini", "../data/Settings.ini"}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root / "app/Settings.ini");
        fs::remove_all(root / "links/hop");
        fs::remove_all(data);
        for (const auto& [where, to] : c.links)
            fs::create_symlink(to, root / where);
        if (c.targetExists) {
            Write(data, "old");
            fs::permissions(data, fs::perms(0640));
        }
        const std::vector<std::string> before = Entries();

        EXPECT_EQ(WriteAtomically(settings, "new"), std::nullopt);

        EXPECT_EQ(Read(data), "new");
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(settings)));
        std::vector<std::string> expected = before;
        if (!c.targetExists) expected.push_back("data/Settings.ini");
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Entries(), expected) << "the links are as they were, nothing else was left";
        if (c.targetExists) {
            EXPECT_EQ(fs::status(data).permissions(), fs::perms(0640));
        }
    }
}

TEST_F(AtomicWrite, ALoopOfLinksIsAnErrorAndChangesNothing) {
    fs::create_symlink("../links/hop", settings);
    fs::create_symlink("../app/Settings.ini", root / "links/hop");
    const std::vector<std::string> before = Entries();
    const auto error = WriteAtomically(settings, "new");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error,
              "Cannot write file \"" + settings.string() + "\". Too many levels of symbolic links");
    EXPECT_EQ(Entries(), before);
}

TEST_F(AtomicWrite, RootReplacingSomeoneElsesFileGivesItBackToThem) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    Write(settings, "old");
    ASSERT_EQ(::chown(settings.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(::chmod(settings.c_str(), 0604), 0);

    EXPECT_EQ(WriteAtomically(settings, "new"), std::nullopt);

    struct stat status {};
    ASSERT_EQ(::stat(settings.c_str(), &status), 0);
    EXPECT_EQ(Read(settings), "new");
    EXPECT_EQ(status.st_uid, nobody->pw_uid);
    EXPECT_EQ(status.st_gid, nobody->pw_gid);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
}

} // namespace
} // namespace quorvel::common
