// The window keeps its options, the last file and its place in "Settings.ini" from one run
// to the next.

#include "WindowFixture.h"

#include "CPort.h"
#include "FormStorage.h"
#include "IniFileStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>

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

// The keys of a first run's file, in order, as "[section]" or "key=" (the value follows
// unless it depends on the screen, the folder or the run).
TEST_F(SettingsFile, AFirstRunWritesEveryKeyOfTheWindowAndItsPortInOrder) {
    Run([](TPelmora&) {});
    const QStringList lines = QString::fromUtf8(SettingsText()).split("\r\n");
    const QStringList expected = {"[frmPelmora]",
                                  "FormVersion=0",
                                  "ShowCmd=1",
                                  "Flags=0",
                                  "PixelsPerInch=",
                                  "MinMaxPos(",
                                  "MinMaxPos=-1,-1,-1,-1",
                                  "NormPos(",
                                  "NormPos=",
                                  "ComPort1_Port=COM1",
                                  "ComPort1_BaudRate=br115200",
                                  "ComPort1_DataBits=dbEight",
                                  "ComPort1_StopBits=sbOneStopBit",
                                  "CheckBoxClose_Checked=FALSE",
                                  "OpenDialog1_InitialDir=",
                                  "OpenDialog1_FileName=",
                                  "MCUComboBox_ItemIndex=0",
                                  "",
                                  "[frmPelmora\\ComPort1_Parity]",
                                  "Bits=prNone",
                                  "Check=FALSE",
                                  "Replace=FALSE",
                                  "ReplaceChar=0",
                                  "",
                                  "[frmPelmora\\ComPort1_FlowControl]",
                                  "FlowControl=fcSoftware",
                                  "OutCTSFlow=FALSE",
                                  "OutDSRFlow=FALSE",
                                  "ControlDTR=dtrDisable",
                                  "ControlRTS=rtsDisable",
                                  "XonXoffOut=TRUE",
                                  "XonXoffIn=TRUE",
                                  "DSRSensitivity=FALSE",
                                  "TxContinueOnXoff=FALSE",
                                  "XonChar=17",
                                  "XoffChar=19",
                                  "",
                                  ""};
    ASSERT_EQ(lines.size(), expected.size()) << SettingsText().toStdString();
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].startsWith(expected[i])) << lines[i].toStdString();
    EXPECT_TRUE(lines[5].endsWith(")=-1,-1,-1,-1"));
}

TEST_F(SettingsFile, TheStoredPortCheckKeepsAKnownPortAndReplacesAnUnknownOne) {
    const struct {
        const char* stored;
        bool systemHasPorts;
        QStringList history;
        QString port;
    } cases[] = {
        {"com1", true, {}, "com1"}, // any letter case matches
        {"ttyGone", true, {"Unknown COM port: ttyGone.", "COM port set to: COM1."}, "COM1"},
        {"ttyGone", false, {"Unknown COM port: ttyGone.", "COM port set to: ."}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        QFile file(SettingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[frmPelmora]\r\nComPort1_Port=") + c.stored +
                   "\r\nComPort1_BaudRate=br9600\r\n");
        file.close();
        Create();
        if (!c.systemHasPorts) QFile::remove(programFolder.filePath("ports/COM1"));
        Show();
        EXPECT_EQ(History(), c.history);
        EXPECT_EQ(window->ComPort1->Port(), c.port);
        EXPECT_EQ(window->ComPort1->BaudRate(), serial::br115200);
        EXPECT_EQ(window->JvLabel7->text(), "115200");
        window->close();
        window.reset();
        EXPECT_TRUE(SettingsText().contains("ComPort1_Port=" + c.port.toUtf8() + "\r\n"));
        EXPECT_TRUE(SettingsText().contains("ComPort1_BaudRate=br115200\r\n"));
    }
}

TEST_F(SettingsFile, AListOfPortsThatCannotBeReadEndsTheFirstShowThere) {
    Create();
    window->SysfsTtyRoot = programFolder.filePath("no-such-folder");
    Show();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].kind, "critical");
    EXPECT_TRUE(Boxes()[0].text.startsWith("Registry error")) << Boxes()[0].text.toStdString();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->JvLabel6->text(), "COM1");
    EXPECT_EQ(window->ComPort1->BaudRate(), serial::br9600) << "nothing after the list ran";
}

TEST_F(SettingsFile, ALongerPortNameIsShownWholeOrShortenedWithItsFullNameAtHand) {
    const struct {
        const char* port;
        bool whole;
    } cases[] = {{"ttyUSB0", true}, {"a-port-name-far-too-long", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        QDir(programFolder.path()).mkpath("ports");
        QFile::link("/dev/null", programFolder.filePath(QString("ports/") + c.port));
        QFile file(SettingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[frmPelmora]\r\nComPort1_Port=") + c.port + "\r\n");
        file.close();
        Run([&](TPelmora& w) {
            const QString shown = w.JvLabel6->text();
            EXPECT_EQ(shown == c.port, c.whole) << shown.toStdString();
            EXPECT_LE(QFontMetrics(w.JvLabel6->font()).horizontalAdvance(shown),
                      w.JvLabel6->width());
            EXPECT_EQ(w.JvLabel6->toolTip(), c.port);
            EXPECT_EQ(w.JvLabel6->geometry().right(), 199) << "the right edge stays";
        });
    }
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

// The half-built window goes on the way out, and leaves the file as it found it: the link
// stays a link to the same place, and nothing is written beside it.
TEST_F(SettingsFile, AnUnreadableFileEndsTheStartUpBeforeTheWindowExistsAndIsLeftAlone) {
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), SettingsPath()));
    try {
        Create();
        ADD_FAILURE() << "the window was built";
    } catch (const settings::FileOpenError& error) {
        EXPECT_EQ(QString::fromUtf8(error.what()),
                  "Cannot open file \"" + SettingsPath() + "\". Input/output error");
    }
    const QFileInfo settings(SettingsPath());
    EXPECT_TRUE(settings.isSymLink());
    EXPECT_EQ(settings.symLinkTarget(), "/proc/self/mem");
    EXPECT_EQ(QDir(programFolder.path()).entryList(QDir::Files | QDir::System),
              QStringList{"Settings.ini"});
}

} // namespace
} // namespace quorvel::app::testing
