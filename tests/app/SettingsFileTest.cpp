// The window keeps its options, the last file and its place in "Settings.ini" from one run
// to the next.

#include "WindowFixture.h"

#include "CPort.h"
#include "FormStorage.h"
#include "IniFileStorage.h"
#include "ProgramFoldersQt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>

#include <algorithm>

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
        EXPECT_EQ(w.FirmwareImage(), image::FirmwareBytes{0x42});
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

// A known port stays, in the system's spelling when it differs only in letter case (device
// names on Linux are case-sensitive); an unknown one gives way to the first port listed.
TEST_F(SettingsFile, TheStoredPortCheckKeepsAKnownPortAndReplacesAnUnknownOne) {
    const struct {
        const char* stored;
        QStringList systemPorts;
        QStringList history;
        QString port;
    } cases[] = {
        {"COM1", {"COM1"}, {}, "COM1"},
        {"com1", {"COM1"}, {}, "COM1"},
        {"com1", {"COM1", "com1"}, {}, "com1"}, // the exact spelling wins
        {"ttyGone", {"COM1"}, {"Unknown COM port: ttyGone.", "COM port set to: COM1."}, "COM1"},
        {"ttyGone", {}, {"Unknown COM port: ttyGone.", "COM port set to: ."}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored + (" with " + c.systemPorts.join(',')).toStdString());
        QFile file(SettingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("[frmPelmora]\r\nComPort1_Port=") + c.stored +
                   "\r\nComPort1_BaudRate=br9600\r\n");
        file.close();
        Create();
        const QDir ports(common::qt::PortsFolder(programFolder.path()));
        for (const QString& name : ports.entryList(QDir::System))
            WithdrawPort(programFolder.path(), name);
        for (const QString& name : c.systemPorts)
            OfferPort(programFolder.path(), name);
        Show();
        EXPECT_EQ(History(), c.history);
        EXPECT_EQ(window->ComPort1->Port(), c.port);
        EXPECT_EQ(window->JvLabel6->text(), c.port);
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
    window->SetSysfsTtyRoot(programFolder.filePath("no-such-folder"));
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
        OfferPort(programFolder.path(), c.port);
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

// A file as the program writes it, every stored entry a value the user chose rather than the
// window's design value. `replaced` and `by` swap one of its lines for another.
QByteArray UserFile(const QString& hex, const QString& firmwareFolder, const QByteArray& replaced,
                    const QByteArray& by) {
    const QByteArrayList lines = {"[frmPelmora]",
                                  "FormVersion=0",
                                  "ShowCmd=1",
                                  "Flags=0",
                                  "PixelsPerInch=96",
                                  "MinMaxPos(1280x1024)=-1,-1,-1,-1",
                                  "MinMaxPos=-1,-1,-1,-1",
                                  "NormPos(1280x1024)=88,88,577,470",
                                  "NormPos=88,88,577,470",
                                  "ComPort1_Port=vboard0",
                                  "ComPort1_BaudRate=br115200",
                                  "ComPort1_DataBits=dbSeven",
                                  "ComPort1_StopBits=sbTwoStopBits",
                                  "CheckBoxClose_Checked=TRUE",
                                  "OpenDialog1_InitialDir=" + firmwareFolder.toUtf8(),
                                  "OpenDialog1_FileName=" + hex.toUtf8(),
                                  "MCUComboBox_ItemIndex=0",
                                  "",
                                  "[frmPelmora\\ComPort1_Parity]",
                                  "Bits=prEven",
                                  "Check=TRUE",
                                  "Replace=TRUE",
                                  "ReplaceChar=63",
                                  "",
                                  "[frmPelmora\\ComPort1_FlowControl]",
                                  "FlowControl=fcHardware",
                                  "OutCTSFlow=TRUE",
                                  "OutDSRFlow=TRUE",
                                  "ControlDTR=dtrEnable",
                                  "ControlRTS=rtsHandshake",
                                  "XonXoffOut=FALSE",
                                  "XonXoffIn=FALSE",
                                  "DSRSensitivity=TRUE",
                                  "TxContinueOnXoff=TRUE",
                                  "XonChar=17",
                                  "XoffChar=19",
                                  ""};
    QByteArray text;
    for (const QByteArray& line : lines)
        text += (!replaced.isEmpty() && line == replaced ? by : line) + "\r\n";
    return text;
}

// The file without the window's placement, which says where this run's window was.
QByteArray WithoutPlacement(const QByteArray& text) {
    static const QByteArrayList placementKeys = {
        "FormVersion=", "ShowCmd=", "Flags=", "PixelsPerInch=", "MinMaxPos", "NormPos"};
    QByteArray kept;
    for (const QByteArray& line : text.split('\n'))
        if (std::none_of(placementKeys.begin(), placementKeys.end(),
                         [&](const QByteArray& key) { return line.startsWith(key); }))
            kept += line + '\n';
    return kept;
}

// A run that changes nothing changes none of the stored entries, whatever shape the file came
// in; a placement value that is not a number is reported and loses only the placement.
TEST_F(SettingsFile, WhatTheUserStoredComesBackAndIsSavedBackAsItWas) {
    const struct {
        const char* name;
        QByteArray replaced, by; // one line of the file
        bool byteOrderMark;
        bool linked; // Settings.ini is a link to the file kept elsewhere
        QString box;
    } cases[] = {
        {"as written", {}, {}, false, false, {}},
        {"with a byte-order mark", {}, {}, true, false, {}},
        {"through a link", {}, {}, false, true, {}},
        {"ShowCmd", "ShowCmd=1", "ShowCmd=abc", false, false,
         "'abc' is not a valid integer value."},
        {"Flags", "Flags=0", "Flags=x1", false, false, "'x1' is not a valid integer value."},
        {"PixelsPerInch", "PixelsPerInch=96", "PixelsPerInch=9 6", false, false,
         "'9 6' is not a valid integer value."},
        {"FormVersion", "FormVersion=0", "FormVersion=zero", false, false,
         "'zero' is not a valid integer value."},
    };
    const QString hex = folder.Write("fw.hex", ValidHex());
    const QString firmwareFolder = folder.MakeFolder("firmware");
    const QString kept = folder.MakeFolder("kept") + "/Settings.ini";
    OfferPort(programFolder.path(), "vboard0");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray stored = UserFile(hex, firmwareFolder, c.replaced, c.by);
        QFile::remove(SettingsPath());
        const QString written = c.linked ? kept : SettingsPath();
        if (c.linked) {
            ASSERT_TRUE(QFile::link(kept, SettingsPath()));
        }
        QFile file(written);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write((c.byteOrderMark ? "\xEF\xBB\xBF" : "") + stored);
        file.close();
        answerer.seen.clear();

        Run([&](TPelmora& w) {
            EXPECT_EQ(History(), QStringList{"Opened: " + hex});
            EXPECT_EQ(w.ComPort1->Port(), "vboard0");
            EXPECT_TRUE(w.CheckBoxClose->isChecked());
            EXPECT_TRUE(w.isVisible());
        });

        const std::vector<SeenBox> boxes = Boxes();
        EXPECT_EQ(boxes.size(), c.box.isEmpty() ? 0u : 1u);
        if (!c.box.isEmpty() && !boxes.empty()) {
            EXPECT_EQ(boxes[0].text, c.box);
        }
        EXPECT_EQ(QFileInfo(SettingsPath()).isSymLink(), c.linked);
        QFile saved(written);
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
        const QByteArray text = saved.readAll();
        EXPECT_EQ(WithoutPlacement(text).toStdString(), WithoutPlacement(stored).toStdString());
        EXPECT_TRUE(text.startsWith("[frmPelmora]\r\nFormVersion=0\r\nShowCmd=1\r\nFlags=0\r\n"))
            << "the save writes valid values again";
    }
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
