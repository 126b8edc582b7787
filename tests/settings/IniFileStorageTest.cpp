#include "IniFileStorage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::settings {
namespace {

const QStringList kDataBits = {"dbFive", "dbSix", "dbSeven", "dbEight"};

// Runs `act` in a child process as the user "nobody"; true when `act` answered true there.
bool AsNobody(const std::function<bool()>& act) {
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) return false;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 &&
                             ::setresgid(nobody->pw_gid, nobody->pw_gid, nobody->pw_gid) == 0 &&
                             ::setresuid(nobody->pw_uid, nobody->pw_uid, nobody->pw_uid) == 0;
        ::_exit(dropped && act() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SettingsFile : public ::testing::Test {
protected:
    QString FilePath() const { return folder_.filePath("Settings.ini"); }

    void WriteFile(const QByteArray& text) const {
        QFile file(FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QByteArray ReadFile() const {
        QFile file(FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<IniFileStorage> Load(const QByteArray& text) const {
        WriteFile(text);
        auto storage = std::make_unique<IniFileStorage>(folder_.path());
        storage->LoadFromDisk();
        return storage;
    }

    QTemporaryDir folder_;
};

TEST_F(SettingsFile, FullNameIsTheProgramFolderWhateverTheWorkingDirectory) {
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    IniFileStorage storage(folder_.path());
    QDir::setCurrent(before);
    EXPECT_EQ(storage.FullFileName(), FilePath());
}

TEST_F(SettingsFile, NoFileGivesAnEmptyDocumentAndEveryKeyAbsent) {
    IniFileStorage storage(folder_.path());
    storage.LoadFromDisk();
    EXPECT_FALSE(storage.HasSection("frmPelmora"));
    EXPECT_EQ(storage.ReadInteger("frmPelmora\\FormVersion").state, ReadState::Absent);
    EXPECT_EQ(storage.GetKeyText("frmPelmora\\ComPort1_Port", "COM1"), "COM1");
}

TEST_F(SettingsFile, ReadingRules) {
    const auto storage = Load("; a comment\r\n"
                              "stray=before any section\r\n"
                              "[frmPelmora]\r\n"
                              "comport1_port=COM4\r\n"
                              "  ComPort1_Port  =   COM5  \r\n"
                              "ComPort1_Port=COM6\n"
                              "no equals sign here\r"
                              "Empty=\r\n"
                              "Eq=a=b\r\n"
                              "CheckBoxClose_Checked=yes\r\n"
                              "ComPort1_DataBits=dbseven\r\n"
                              "\t[ FRMPELMORA\\ComPort1_FlowControl ]  \r\n"
                              "XonChar=273\r\n"
                              "[frmPelmora\\comport1_flowcontrol]\r\n"
                              "XoffChar=19\r\n");
    EXPECT_EQ(storage->GetKeyText("frmPelmora\\ComPort1_Port", ""), "COM6");
    EXPECT_EQ(storage->GetKeyText("FRMPELMORA\\COMPORT1_PORT", ""), "COM6");
    EXPECT_FALSE(storage->HasKey("frmPelmora\\stray"));
    EXPECT_FALSE(storage->HasKey("frmPelmora\\no equals sign here"));
    EXPECT_TRUE(storage->HasKey("frmPelmora\\Empty"));
    EXPECT_EQ(storage->GetKeyText("frmPelmora\\Eq", ""), "a=b");
    EXPECT_EQ(storage->ReadBoolean("frmPelmora\\CheckBoxClose_Checked").value, true);
    EXPECT_EQ(storage->ReadEnumeration("frmPelmora\\ComPort1_DataBits", kDataBits).value, 2);
    // Of two sections with one name only the later is found.
    EXPECT_TRUE(storage->HasSection("frmPelmora\\ComPort1_FlowControl\\"));
    EXPECT_FALSE(storage->HasKey("frmPelmora\\ComPort1_FlowControl\\XonChar"));
    EXPECT_EQ(storage->ReadCharacter("frmPelmora\\ComPort1_FlowControl\\XoffChar").value, 19);
}

TEST_F(SettingsFile, AByteOrderMarkIsSkippedOnReadingAndNotWritten) {
    const QByteArray text = "[frmPelmora]\r\nComPort1_Port=ttyUSB1\r\n\r\n"
                            "[frmPelmora\\ComPort1_Parity]\r\nBits=prOdd\r\n\r\n";
    {
        const auto storage = Load("\xEF\xBB\xBF" + text);
        EXPECT_EQ(storage->GetKeyText("frmPelmora\\ComPort1_Port", ""), "ttyUSB1");
        EXPECT_EQ(storage->GetKeyText("frmPelmora\\ComPort1_Parity\\Bits", ""), "prOdd");
    }
    EXPECT_EQ(ReadFile(), text);
}

TEST_F(SettingsFile, TypedReadsGiveAbsentValueOrInvalid) {
    const auto storage = Load("[s]\r\nyes=yes\r\ntwo=2\r\nzero=0\r\nempty=\r\nmaybe=maybe\r\n"
                              "bits2=2\r\nbits9=9\r\nchar=273\r\nnegative=-12\r\n");
    struct Case {
        const char* key;
        ReadState state;
        int value;
    };
    const Case booleans[] = {{"yes", ReadState::Value, 1},     {"two", ReadState::Value, 1},
                             {"zero", ReadState::Value, 0},    {"empty", ReadState::Value, 0},
                             {"maybe", ReadState::Invalid, 0}, {"none", ReadState::Absent, 0}};
    for (const auto& c : booleans) {
        const auto read = storage->ReadBoolean(QString("s\\") + c.key);
        EXPECT_EQ(read.state, c.state) << c.key;
        if (read.HasValue()) {
            EXPECT_EQ(read.value, c.value != 0) << c.key;
        }
    }
    const Case enumerations[] = {{"bits2", ReadState::Value, 2},
                                 {"empty", ReadState::Value, 0},
                                 {"bits9", ReadState::Invalid, 0},
                                 {"maybe", ReadState::Invalid, 0}};
    for (const auto& c : enumerations) {
        const auto read = storage->ReadEnumeration(QString("s\\") + c.key, kDataBits);
        EXPECT_EQ(read.state, c.state) << c.key;
        EXPECT_EQ(read.value, c.value) << c.key;
    }
    EXPECT_EQ(storage->ReadCharacter("s\\char").value, 17);
    EXPECT_EQ(storage->ReadInteger("s\\negative").value, -12);
    EXPECT_EQ(storage->ReadInteger("s\\maybe").state, ReadState::Invalid);
}

TEST_F(SettingsFile, WritesReplaceInPlaceAppendAndDropWhatWasNotReproduced) {
    {
        const auto storage = Load("; comment\r\n[frmPelmora]\r\nComPort1_Port=COM5\r\n"
                                  "ComPort1_Port=COM6\r\nkept line\r\nOther=1\r\n\r\n\r\n"
                                  "[Second]\r\nA=1\r\n");
        storage->SetKeyText("frmPelmora\\comport1_port", "COM7");
        storage->WriteBoolean("frmPelmora\\CheckBoxClose_Checked", true);
        storage->WriteEnumeration("frmPelmora\\ComPort1_DataBits", 3, kDataBits);
        storage->WriteCharacter("frmPelmora\\ComPort1_FlowControl\\XonChar", 17);
        storage->WriteInteger("frmPelmora\\MCUComboBox_ItemIndex", -3);
    } // the storage writes the file when it goes
    EXPECT_EQ(ReadFile(), "[frmPelmora]\r\n"
                          "ComPort1_Port=COM5\r\n"
                          "ComPort1_Port=COM7\r\n"
                          "kept line\r\n"
                          "Other=1\r\n"
                          "CheckBoxClose_Checked=TRUE\r\n"
                          "ComPort1_DataBits=dbEight\r\n"
                          "MCUComboBox_ItemIndex=-3\r\n"
                          "\r\n"
                          "[Second]\r\n"
                          "A=1\r\n"
                          "\r\n"
                          "[frmPelmora\\ComPort1_FlowControl]\r\n"
                          "XonChar=17\r\n"
                          "\r\n");
}

TEST_F(SettingsFile, ValueWithALineEndIsNotStored) {
    {
        const auto storage = Load("[s]\r\nName=old.hex\r\n");
        storage->SetKeyText("s\\Name", "evil.hex\r\n[s]\r\nName=other");
        storage->SetKeyText("s\\New", "a\nb");
    }
    EXPECT_EQ(ReadFile(), "[s]\r\nName=old.hex\r\n\r\n");
}

TEST_F(SettingsFile, ReadOnlyFileIsReadButNeverWritten) {
    const QByteArray original = "[s]\r\nKey=value\r\n; comment\r\n";
    WriteFile(original);
    ASSERT_EQ(::chmod(FilePath().toUtf8().constData(), 0444), 0);
    {
        IniFileStorage storage(folder_.path());
        storage.LoadFromDisk();
        EXPECT_TRUE(storage.IsReadOnly());
        EXPECT_EQ(storage.GetKeyText("s\\Key", ""), "value");
        storage.SetKeyText("s\\Key", "changed");
        EXPECT_EQ(storage.GetKeyText("s\\Key", ""), "value");
    }
    EXPECT_EQ(ReadFile(), original);
}

TEST_F(SettingsFile, WriteKeepsPermissionBitsAndCreatesAMissingFolder) {
    WriteFile("[s]\r\n");
    ASSERT_EQ(::chmod(FilePath().toUtf8().constData(), 0640), 0);
    { Load("[s]\r\n")->SetKeyText("s\\A", "1"); }
    struct stat status {};
    ASSERT_EQ(::stat(FilePath().toUtf8().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);

    const QString nested = folder_.filePath("new/folder");
    {
        IniFileStorage storage(nested);
        storage.LoadFromDisk(); // finds none
        storage.SetKeyText("s\\A", "1");
    }
    EXPECT_TRUE(QFile::exists(nested + "/Settings.ini"));
}

TEST_F(SettingsFile, AStorageThatNeverReadTheFileNeverWritesIt) {
    const QByteArray original = "[s]\r\nKey=stored\r\n";
    WriteFile(original);
    { IniFileStorage(folder_.path()).SetKeyText("s\\Key", "design"); }
    EXPECT_EQ(ReadFile(), original);
}

TEST_F(SettingsFile, UnreadableFileIsAFileOpenErrorNamingPathAndReason) {
    // A regular file that every user, root included, fails to read.
    ASSERT_TRUE(QFile::link("/proc/self/mem", FilePath()));
    IniFileStorage storage(folder_.path());
    try {
        storage.LoadFromDisk();
        FAIL() << "no error";
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind("Cannot open file \"" + FilePath().toStdString() + "\". ", 0),
                  0u)
            << error.what();
    }
}

// Root's file that "nobody" may not read, in a folder where "nobody" could replace it: the
// failed start-up leaves it exactly as it was.
TEST_F(SettingsFile, AFileThisUserCannotReadIsLeftExactlyAsItWas) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can run the load as another user";
    const QByteArray original = "[frmPelmora]\r\nComPort1_Port=ttyUSB1\r\n; kept\r\n";
    WriteFile(original);
    const QByteArray path = FilePath().toUtf8();
    ASSERT_EQ(::chmod(path.constData(), 0600), 0);
    ASSERT_EQ(::chmod(folder_.path().toUtf8().constData(), 0777), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.constData(), &before), 0);

    EXPECT_TRUE(AsNobody([this] {
        IniFileStorage storage(folder_.path());
        try {
            storage.LoadFromDisk();
        } catch (const FileOpenError&) {
            return true;
        }
        return false;
    })) << "the load did not fail";

    struct stat after {};
    ASSERT_EQ(::stat(path.constData(), &after), 0);
    EXPECT_EQ(ReadFile(), original);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{"Settings.ini"});
}

// A write that fails half-way (here: the file-size limit, as a full disk would) leaves the
// previous file whole.
TEST_F(SettingsFile, FailedWriteLeavesTheOldFileWhole) {
    const QByteArray original = "[s]\r\nKey=old\r\n";
    WriteFile(original);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        {
            IniFileStorage storage(folder_.path());
            storage.LoadFromDisk();
            storage.SetKeyText("s\\Key", QString(4096, 'x'));
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(ReadFile(), original);
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList{"Settings.ini"});
}

TEST_F(SettingsFile, AnyContentLoadsWithoutCrashing) {
    QByteArray noise(1 << 20, '\0');
    std::uint32_t state = 99;
    for (auto& byte : noise) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    QByteArray manyKeys = "[frmPelmora]\r\n";
    for (int i = 0; manyKeys.size() < 10 * 1024 * 1024; ++i)
        manyKeys += "Key" + QByteArray::number(i) + "=value\r\n";
    const QByteArray hugeLine = "[s]\r\nKey=" + QByteArray(8 * 1024 * 1024, 'v') + "\r\n";
    for (const QByteArray* content :
         std::initializer_list<const QByteArray*>{&noise, &manyKeys, &hugeLine}) {
        const auto storage = Load(*content);
        storage->SetKeyText("frmPelmora\\FormVersion", "0");
        EXPECT_EQ(storage->GetKeyText("frmPelmora\\FormVersion", ""), "0");
    }
}

} // namespace
} // namespace quorvel::settings
