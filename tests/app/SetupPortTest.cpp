// "Change Settings": the settings dialog from the main window, the labels and the history
// lines afterwards, and the check of the stored port when the window is shown.

#include "WindowFixture.h"

#include "CPort.h"
#include "ComboChoice.h"

#include <QComboBox>
#include <QPushButton>

#include <pty.h>
#include <unistd.h>

namespace quorvel::app::testing {
namespace {

class SetupPort : public WindowFixture {
protected:
    // Offers another port beside the fixture's COM1.
    void Offer(const QString& name) { OfferPort(programFolder.path(), name); }
    void Withdraw(const QString& name) { WithdrawPort(programFolder.path(), name); }

    void AnswerDialog(std::vector<std::pair<QString, QString>> choices, const QString& button) {
        answerer.dialogActions.push_back([choices, button](QWidget& dialog) {
            for (const auto& [list, text] : choices)
                ChooseItem(*dialog.findChild<QComboBox*>(list), text);
            dialog.findChild<QPushButton*>(button)->click();
        });
    }

    // The history lines that clicking "Change Settings" added.
    QStringList Click() {
        const int before = static_cast<int>(History().size());
        window->ButtonSetupPort->click();
        return History().mid(before);
    }
};

struct DialogCase {
    const char* name;
    QStringList offered; // besides COM1
    QString storedPort;
    std::vector<std::pair<QString, QString>> choices;
    QString button; // Button1 OK, Button2 Cancel
    QStringList lines;
    QString port;
};

void PrintTo(const DialogCase& c, std::ostream* out) {
    *out << c.name;
}

class SetupPortOutcome : public SetupPort, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(SetupPortOutcome, LabelsPortRateAndHistory) {
    const DialogCase& c = GetParam();
    Create();
    for (const QString& name : c.offered)
        Offer(name);
    Show();
    window->ComPort1->SetPort(c.storedPort);
    AnswerDialog(c.choices, c.button);
    EXPECT_EQ(Click(), c.lines);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].title, "Setup");
    EXPECT_EQ(window->ComPort1->Port(), c.port);
    EXPECT_EQ(window->JvLabel6->toolTip(), c.port);
    EXPECT_EQ(window->ComPort1->BaudRate(), serial::br115200);
    EXPECT_EQ(window->JvLabel7->text(), "115200");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetupPortOutcome,
    ::testing::Values(
        DialogCase{"Cancel",
                   {"COM2"},
                   "COM1",
                   {{"Combo1", "COM2"}, {"Combo2", "9600"}},
                   "Button2",
                   {"Setup: Port COM1."},
                   "COM1"},
        DialogCase{"Rate9600",
                   {},
                   "COM1",
                   {{"Combo2", "9600"}},
                   "Button1",
                   {"Invalid baud rate for Vantora firmware: 9600.", "Baud rate set to: 115200.",
                    "Setup: Port COM1."},
                   "COM1"},
        DialogCase{"CustomRate",
                   {},
                   "COM1",
                   {{"Combo2", "Custom"}},
                   "Button1",
                   {"Invalid baud rate for Vantora firmware: Custom.", "Baud rate set to: 115200.",
                    "Setup: Port COM1."},
                   "COM1"},
        DialogCase{
            "OtherLetterCase", {"COM3"}, "com3", {}, "Button1", {"Setup: Port COM3."}, "COM3"},
        DialogCase{"StoredPortMissing", {}, "COM7", {}, "Button1", {"Setup: Port ."}, ""},
        DialogCase{"AnotherPort",
                   {"vboard0"},
                   "COM1",
                   {{"Combo1", "vboard0"}},
                   "Button1",
                   {"Setup: Port vboard0."},
                   "vboard0"}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return info.param.name; });

TEST_F(SetupPort, TheOtherChoicesStayAsChosen) {
    Create();
    Show();
    AnswerDialog({{"Combo3", "7"}, {"Combo4", "2"}, {"Combo5", "Even"}, {"Combo6", "Hardware"}},
                 "Button1");
    EXPECT_EQ(Click(), QStringList{"Setup: Port COM1."});
    EXPECT_EQ(window->ComPort1->DataBits(), serial::dbSeven);
    EXPECT_EQ(window->ComPort1->StopBits(), serial::sbTwoStopBits);
    EXPECT_EQ(window->ComPort1->Parity()->Bits(), serial::prEven);
    EXPECT_EQ(window->ComPort1->FlowControl()->FlowControl(), serial::fcHardware);
}

TEST_F(SetupPort, APortPublishedWhileTheProgramRunsIsListedAtTheNextOpening) {
    Create();
    Show();
    QStringList seen;
    answerer.probe = [&seen](SeenBox&) {
        auto* list = QApplication::activeModalWidget()->findChild<QComboBox*>("Combo1");
        QStringList items;
        for (int i = 0; list && i < list->count(); ++i)
            items << list->itemText(i);
        seen << items.join(",");
    };
    Click();
    Offer("vboard0");
    Click();
    EXPECT_EQ(seen, (QStringList{"COM1", "COM1,vboard0"}));
}

TEST_F(SetupPort, WhileConnectedOnlyDisconnectFirst) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    Create();
    Show();
    window->ComPort1->SetPort(QString::fromLocal8Bit(name));
    window->ComPort1->SetConnected(true);
    ASSERT_TRUE(window->ComPort1->Connected());
    window->ComPort1->SetBaudRate(serial::br9600);
    EXPECT_EQ(Click(), QStringList{"Disconnect first."});
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(window->ComPort1->BaudRate(), serial::br9600); // not forced either
    EXPECT_EQ(window->JvLabel6->text(), "COM1");
    window->ComPort1->SetConnected(false);
    close(slave);
    close(master);
}

TEST_F(SetupPort, AnUnreadablePortListIsReportedAndEndsTheClick) {
    Create();
    Show();
    window->SetSysfsTtyRoot(noSerialHardware.filePath("missing"));
    window->ComPort1->SetBaudRate(serial::br9600);
    EXPECT_TRUE(Click().isEmpty());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].kind, "critical");
    EXPECT_EQ(Boxes()[0].text.toStdString(), "Registry error (win error code: 2)");
    EXPECT_EQ(window->ComPort1->BaudRate(), serial::br9600);
    EXPECT_EQ(window->JvLabel7->text(), "115200");
}

// The stored port check when the window is shown.
struct PortCheckCase {
    const char* name;
    QString stored;
    QStringList offered; // COM1 is withdrawn first
    QStringList lines;
    QString port;
};

void PrintTo(const PortCheckCase& c, std::ostream* out) {
    *out << c.name;
}

class StoredPortCheck : public SetupPort, public ::testing::WithParamInterface<PortCheckCase> {};

TEST_P(StoredPortCheck, ReplacesAnUnknownPortAndForces115200) {
    const PortCheckCase& c = GetParam();
    Create();
    Withdraw("COM1");
    for (const QString& name : c.offered)
        Offer(name);
    window->ComPort1->SetPort(c.stored);
    Show();
    EXPECT_EQ(History(), c.lines);
    EXPECT_EQ(window->ComPort1->Port(), c.port);
    EXPECT_EQ(window->JvLabel6->toolTip(), c.port);
    EXPECT_EQ(window->ComPort1->BaudRate(), serial::br115200);
    EXPECT_EQ(window->JvLabel7->text(), "115200");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredPortCheck,
    ::testing::Values(
        PortCheckCase{"OtherLetterCaseTakesTheListedSpelling", "com3", {"COM3"}, {}, "COM3"},
        PortCheckCase{"UnknownTakesTheFirstSorted",
                      "COM5",
                      {"COM2", "COM10"},
                      {"Unknown COM port: COM5.", "COM port set to: COM10."},
                      "COM10"},
        PortCheckCase{
            "EmptyList", "COM5", {}, {"Unknown COM port: COM5.", "COM port set to: ."}, ""}),
    [](const ::testing::TestParamInfo<PortCheckCase>& info) { return info.param.name; });

} // namespace
} // namespace quorvel::app::testing
