// The last file, the one "Settings.ini" keeps and the completion dialog names, is the last file
// that loaded, whichever way it came; a file that fails to load changes neither.

#include "WindowFixture.h"

namespace quorvel::app::testing {
namespace {

enum class Way { Browse, Drop, CommandLine, Stored };

struct LastFileCase {
    const char* name;
    Way way;
    bool loads;
};

const LastFileCase kLastFileCases[] = {
    {"BrowseLoads", Way::Browse, true},
    {"BrowseFails", Way::Browse, false},
    {"DropLoads", Way::Drop, true},
    {"DropFails", Way::Drop, false},
    {"CommandLineLoads", Way::CommandLine, true},
    {"CommandLineFails", Way::CommandLine, false},
    {"StoredLoads", Way::Stored, true},
    {"StoredFails", Way::Stored, false},
};

class LastFile : public WindowFixture, public ::testing::WithParamInterface<LastFileCase> {
protected:
    QByteArray SettingsText() const {
        QFile file(programFolder.filePath("Settings.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void StoreLastFile(const QString& path) const {
        QFile file(programFolder.filePath("Settings.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[frmPelmora]\r\nOpenDialog1_FileName=" + path.toUtf8() + "\r\n");
    }
};

TEST_P(LastFile, IsTheLastFileThatLoaded) {
    const LastFileCase& c = GetParam();
    const QString earlier = folder.Write(QStringLiteral("earlier.hex"), OtherHex());
    const QString path = c.loads ? folder.Write(QStringLiteral("fw.hex"), ValidHex())
                                 : folder.Write(QStringLiteral("bad.hex"), ChecksumHex());
    const QString stored = c.way == Way::Stored ? path : earlier;
    StoreLastFile(stored);
    Create(c.way == Way::CommandLine ? QStringList{path} : QStringList{});
    Show();
    if (c.way == Way::Browse) Browse(path);
    if (c.way == Way::Drop) Drop({path});

    const QString expected = c.loads ? path : stored;
    EXPECT_EQ(window->OpenDialog1->FileName(), expected);
    EXPECT_EQ(window->LoadedFile(), c.loads ? path : QString());
    window->close();
    window.reset();
    EXPECT_TRUE(SettingsText().contains("OpenDialog1_FileName=" + expected.toUtf8() + "\r\n"))
        << SettingsText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(, LastFile, ::testing::ValuesIn(kLastFileCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quorvel::app::testing
