#include "FormStorage.h"
#include "IniFileStorage.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

namespace quorvel::settings {
namespace {

// Components with the kinds of property the window stores: text, enumeration, a settings
// group, boolean, integer, character.
class TestGroup : public QObject {
    Q_OBJECT
    Q_PROPERTY(TestBits Bits READ Bits WRITE SetBits)
    Q_PROPERTY(bool Check READ Check WRITE SetCheck)
    Q_PROPERTY(bool Replace READ Replace WRITE SetReplace)
    Q_PROPERTY(char ReplaceChar READ ReplaceChar WRITE SetReplaceChar)
public:
    enum TestBits { prNone, prOdd, prEven, prMark, prSpace };
    Q_ENUM(TestBits)
    using QObject::QObject;
    TestBits Bits() const { return bits; }
    void SetBits(TestBits value) { bits = value; }
    bool Check() const { return check; }
    void SetCheck(bool value) { check = value; }
    bool Replace() const { return replace; }
    void SetReplace(bool value) { replace = value; }
    char ReplaceChar() const { return replaceChar; }
    void SetReplaceChar(char value) { replaceChar = value; }
    TestBits bits = prNone;
    bool check = false, replace = false;
    char replaceChar = 0;
};

class TestPort : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Port READ Port WRITE SetPort)
    Q_PROPERTY(TestDataBits DataBits READ DataBits WRITE SetDataBits)
    Q_PROPERTY(quorvel::settings::TestGroup* Parity READ Parity)
public:
    enum TestDataBits { dbFive, dbSix, dbSeven, dbEight };
    Q_ENUM(TestDataBits)
    explicit TestPort(QObject* owner) : QObject(owner), parity(new TestGroup(this)) {
        setObjectName("ComPort1");
    }
    QString Port() const { return port; }
    void SetPort(const QString& value) { port = value; }
    TestDataBits DataBits() const { return dataBits; }
    void SetDataBits(TestDataBits value) { dataBits = value; }
    TestGroup* Parity() const { return parity; }
    QString port = "COM1";
    TestDataBits dataBits = dbEight;
    TestGroup* parity;
};

class TestCounter : public QObject {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
public:
    explicit TestCounter(QObject* owner) : QObject(owner) { setObjectName("MCUComboBox"); }
    int ItemIndex() const { return index; }
    void SetItemIndex(int value) { index = value; }
    int index = 0;
};

class Stored : public ::testing::Test {
protected:
    Stored() {
        window.setObjectName("frmPelmora");
        check->setObjectName("CheckBoxClose");
        window.resize(300, 200);
    }

    std::unique_ptr<FormStorage> Storage(IniFileStorage& ini) {
        auto storage = std::make_unique<FormStorage>(&window, ini, "frmPelmora\\");
        storage->StoredProps = {"ComPort1.Port", "ComPort1.DataBits", "ComPort1.Parity",
                                "CheckBoxClose.Checked", "MCUComboBox.ItemIndex"};
        return storage;
    }

    // A storage over a file holding `text`.
    std::unique_ptr<IniFileStorage> Ini(const QByteArray& text) {
        QFile file(folder.filePath("Settings.ini"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        auto ini = std::make_unique<IniFileStorage>(folder.path());
        ini->LoadFromDisk();
        return ini;
    }

    static int Dpi() { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()); }

    static QString Suffix() {
        const QSize size = QGuiApplication::primaryScreen()->size();
        return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
    }

    QTemporaryDir folder;
    QWidget window;
    TestPort* port = new TestPort(&window);
    QCheckBox* check = new QCheckBox(&window);
    TestCounter* counter = new TestCounter(&window);
};

TEST_F(Stored, AFirstSaveWritesEveryKeyInOrder) {
    IniFileStorage ini(folder.path());
    window.move(88, 88);
    Storage(ini)->SaveState();
    const QString s = Suffix();
    EXPECT_EQ(QString::fromUtf8(ini.Text()), "[frmPelmora]\r\n"
                                             "FormVersion=0\r\n"
                                             "ShowCmd=1\r\n"
                                             "Flags=0\r\n"
                                             "PixelsPerInch=" +
                                                 QString::number(Dpi()) +
                                                 "\r\n"
                                                 "MinMaxPos" +
                                                 s +
                                                 "=-1,-1,-1,-1\r\n"
                                                 "MinMaxPos=-1,-1,-1,-1\r\n"
                                                 "NormPos" +
                                                 s +
                                                 "=88,88,388,288\r\n"
                                                 "NormPos=88,88,388,288\r\n"
                                                 "ComPort1_Port=COM1\r\n"
                                                 "ComPort1_DataBits=dbEight\r\n"
                                                 "CheckBoxClose_checked=FALSE\r\n"
                                                 "MCUComboBox_ItemIndex=0\r\n"
                                                 "\r\n"
                                                 "[frmPelmora\\ComPort1_Parity]\r\n"
                                                 "Bits=prNone\r\n"
                                                 "Check=FALSE\r\n"
                                                 "Replace=FALSE\r\n"
                                                 "ReplaceChar=0\r\n"
                                                 "\r\n");
}

TEST_F(Stored, RestoreReadsEachKindAndSkipsWhatCannotBeConverted) {
    const auto ini = Ini("[FRMPELMORA]\r\n"
                         "comport1_port=COM4\r\n"
                         "ComPort1_DataBits=dbseven\r\n"
                         "CheckBoxClose_Checked=yes\r\n"
                         "MCUComboBox_ItemIndex=maybe\r\n"
                         "[frmPelmora\\ComPort1_Parity]\r\n"
                         "Bits=prOdd\r\n"
                         "Check=maybe\r\n"
                         "Replace=TRUE\r\n"
                         "ReplaceChar=273\r\n");
    counter->index = 5;
    Storage(*ini)->RestoreState();
    EXPECT_EQ(port->port, "COM4");
    EXPECT_EQ(port->dataBits, TestPort::dbSeven);
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(counter->index, 5); // not a number: left as it was
    EXPECT_EQ(port->parity->bits, TestGroup::prOdd);
    EXPECT_FALSE(port->parity->replace) << "fields after a failing one are not read";
    EXPECT_EQ(port->parity->replaceChar, 0);
}

TEST_F(Stored, AnOrdinalOutsideTheMembersIsIgnoredAndACharacterKeepsItsLowByte) {
    const auto ini = Ini("[frmPelmora]\r\nComPort1_DataBits=9\r\n"
                         "[frmPelmora\\ComPort1_Parity]\r\nBits=2\r\nReplaceChar=273\r\n");
    Storage(*ini)->RestoreState();
    EXPECT_EQ(port->dataBits, TestPort::dbEight);
    EXPECT_EQ(port->parity->bits, TestGroup::prEven);
    EXPECT_EQ(port->parity->replaceChar, 17);
}

TEST_F(Stored, ANegativeFormVersionRestoresNothing) {
    const auto ini = Ini("[frmPelmora]\r\nFormVersion=-1\r\nComPort1_Port=COM9\r\n");
    const auto storage = Storage(*ini);
    storage->RestoreState();
    EXPECT_EQ(port->port, "COM1");
    EXPECT_TRUE(storage->Restored());
    storage->SaveState();
    EXPECT_EQ(ini->GetKeyText("frmPelmora\\FormVersion", ""), "0");
}

// Valid placement keys that would move, maximise and flag the window, then one of them again
// (the later line is the one read) with a value that is not a number.
TEST_F(Stored, ANonNumericPlacementKeySkipsThePlacementWholeAndNothingElse) {
    for (const char* key : {"FormVersion", "Flags", "PixelsPerInch", "ShowCmd"}) {
        SCOPED_TRACE(key);
        window.move(10, 10);
        window.setWindowState(Qt::WindowNoState);
        port->port = "COM1";
        port->parity->bits = TestGroup::prNone;
        check->setChecked(false);
        const auto ini = Ini("[frmPelmora]\r\nFormVersion=0\r\nShowCmd=3\r\nFlags=7\r\n"
                             "PixelsPerInch=" +
                             QByteArray::number(Dpi()) + "\r\nNormPos=40,50,340,250\r\n" + key +
                             "=abc\r\nComPort1_Port=COM9\r\nCheckBoxClose_Checked=TRUE\r\n"
                             "[frmPelmora\\ComPort1_Parity]\r\nBits=prOdd\r\n");
        const auto storage = Storage(*ini);
        try {
            storage->RestoreState();
            ADD_FAILURE() << "no error";
        } catch (const ConversionError& error) {
            EXPECT_STREQ(error.what(), "'abc' is not a valid integer value");
        }
        EXPECT_EQ(window.pos(), QPoint(10, 10));
        EXPECT_FALSE(window.isMaximized());
        EXPECT_EQ(port->port, "COM9");
        EXPECT_EQ(port->parity->bits, TestGroup::prOdd);
        EXPECT_TRUE(check->isChecked());
        EXPECT_TRUE(storage->Restored());
        storage->SaveState();
        EXPECT_EQ(ini->GetKeyText("frmPelmora\\Flags", ""), "0");
        EXPECT_EQ(ini->GetKeyText("frmPelmora\\ComPort1_Port", ""), "COM9");
    }
}

TEST_F(Stored, PositionIsAppliedOnlyAtTheSameDotsPerInch) {
    const struct {
        int pixelsPerInch;
        QPoint expected;
    } cases[] = {{Dpi(), {40, 50}}, {Dpi() + 24, {10, 10}}};
    for (const auto& c : cases) {
        window.move(10, 10);
        const auto ini =
            Ini("[frmPelmora]\r\nPixelsPerInch=" + QByteArray::number(c.pixelsPerInch) +
                "\r\nNormPos=40 50,x,y\r\nComPort1_Port=COM2\r\n");
        Storage(*ini)->RestoreState();
        EXPECT_EQ(window.pos(), c.expected) << c.pixelsPerInch;
        EXPECT_EQ(port->port, "COM2"); // the entries are applied either way
    }
}

TEST_F(Stored, TheKeyForThisScreenSizeWinsOverThePlainOne) {
    const auto ini =
        Ini(("[frmPelmora]\r\nNormPos=1,2,3,4\r\nNormPos" + Suffix() + "=30,40,0,0\r\n").toUtf8());
    Storage(*ini)->RestoreState();
    EXPECT_EQ(window.pos(), QPoint(30, 40));
}

TEST_F(Stored, SavedValuesComeBack) {
    {
        IniFileStorage ini(folder.path());
        ini.LoadFromDisk();
        port->port = "/dev/ttyUSB3";
        port->dataBits = TestPort::dbSix;
        port->parity->bits = TestGroup::prSpace;
        port->parity->replaceChar = '?';
        check->setChecked(true);
        counter->index = 2;
        Storage(ini)->SaveState();
    }
    port->port.clear();
    port->dataBits = TestPort::dbEight;
    port->parity->bits = TestGroup::prNone;
    port->parity->replaceChar = 0;
    check->setChecked(false);
    counter->index = 0;
    IniFileStorage ini(folder.path());
    ini.LoadFromDisk();
    Storage(ini)->RestoreState();
    EXPECT_EQ(port->port, "/dev/ttyUSB3");
    EXPECT_EQ(port->dataBits, TestPort::dbSix);
    EXPECT_EQ(port->parity->bits, TestGroup::prSpace);
    EXPECT_EQ(port->parity->replaceChar, '?');
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(counter->index, 2);
}

} // namespace
} // namespace quorvel::settings

#include "FormStorageTest.moc"
