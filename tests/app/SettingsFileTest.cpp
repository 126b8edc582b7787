// The window keeps its options, the last file and its place in "Settings.ini" from one run
// to the next.

#include "WindowFixture.h"

#include "FormStorage.h"
#include "IniFileStorage.h"

#include <QFile>

namespace quorvel::app::testing {
namespace {

class SettingsFile : public WindowFixture {
protected:
    QString SettingsPath() const { return programFolder.filePath("Settings.ini"); }

    QByteArray SettingsText() const {
        QFile file(SettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // One run: build, show, let the test act, close as the user would, destroy.
    template <class Act> void Run(Act act) {
        Create();
        Show();
        act(*window);
        window->close();
        window.reset();
    }
};

TEST_F(SettingsFile, OptionsAndTheLastPickedFileComeBackInTheNextRun) {
    const QString hex = folder.Write("fw.hex", ":0100000042BD\r\n");
    Run([&](TPelmora& w) {
        w.CheckBoxClose->setChecked(true);
        Browse(hex);
    });
    const QByteArray first = SettingsText();
    EXPECT_TRUE(first.contains("CheckBoxClose_Checked=TRUE\r\n")) << first.toStdString();
    EXPECT_TRUE(first.contains("OpenDialog1_FileName=" + hex.toUtf8() + "\r\n"));
    EXPECT_TRUE(first.contains("MCUComboBox_ItemIndex=0\r\n"));

    Run([&](TPelmora& w) {
        EXPECT_TRUE(w.CheckBoxClose->isChecked());
        EXPECT_EQ(w.OpenDialog1->FileName(), hex);
        EXPECT_EQ(History(), QStringList{"Opened: " + hex}); // the stored file is taken in
        EXPECT_EQ(w.FirmwareImage, image::FirmwareBytes{0x42});
    });
    EXPECT_EQ(SettingsText(), first) << "nothing changed, so the file reads the same";
}

TEST_F(SettingsFile, ANonNumericShowCommandIsReportedAndTheWindowStillShows) {
    QFile file(SettingsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[frmPelmora]\r\nShowCmd=abc\r\nCheckBoxClose_Checked=TRUE\r\n");
    file.close();
    Run([&](TPelmora& w) {
        EXPECT_FALSE(w.CheckBoxClose->isChecked()); // nothing after the bad key is applied
        EXPECT_TRUE(w.isVisible());
    });
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "'abc' is not a valid integer value.");
    EXPECT_TRUE(SettingsText().contains("ShowCmd=1\r\n")) << "the save writes valid values again";
}

TEST_F(SettingsFile, AnUnreadableFileEndsTheStartUpBeforeTheWindowExists) {
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), SettingsPath()));
    try {
        Create();
        ADD_FAILURE() << "the window was built";
    } catch (const settings::FileOpenError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  "Cannot open file \"" + SettingsPath() + "\". Input/output error");
    }
}

} // namespace
} // namespace quorvel::app::testing
