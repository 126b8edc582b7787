// The settings dialog: its layout, and what it writes to the port, answered as a user would.
#include "CPort.h"
#include "CPortSetup.h"

#include "ComboChoice.h"
#include "FakeSerialDevice.h"
#include "ModalAnswerer.h"
#include "PortFolders.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QDialog>

#include <cerrno>

#include <gtest/gtest.h>

namespace quorvel::serial {
namespace {

using quorvel::testing::ModalAnswerer;
using testing::FakeDeviceOpener;
using testing::PortFolders;

TEST(SetupDialogLayout, PlacesTheControlsAndBindsEachListToItsProperty) {
    PortFolders ports;
    ports.Offer("COM1");
    TComSetupFrm dialog(ports.Source());
    EXPECT_EQ(dialog.windowTitle(), "Setup");
    EXPECT_EQ(dialog.size(), QSize(231, 216));
    EXPECT_EQ(dialog.GroupBox1->title(), " Settings ");
    EXPECT_EQ(dialog.GroupBox1->geometry(), QRect(8, 8, 217, 169));
    struct Row {
        QLabel* label;
        const char* caption;
        TComComboBox* combo;
        TComProperty property;
    };
    const Row rows[] = {{dialog.Label1, "Port", dialog.Combo1, cpPort},
                        {dialog.Label2, "Baud rate", dialog.Combo2, cpBaudRate},
                        {dialog.Label3, "Data bits", dialog.Combo3, cpDataBits},
                        {dialog.Label4, "Stop bits", dialog.Combo4, cpStopBits},
                        {dialog.Label5, "Parity", dialog.Combo5, cpParity},
                        {dialog.Label6, "Flow control", dialog.Combo6, cpFlowControl}};
    int row = 0;
    for (const Row& expected : rows) {
        EXPECT_EQ(expected.label->text(), expected.caption);
        EXPECT_EQ(expected.label->pos(), QPoint(8, 24 + 24 * row));
        EXPECT_EQ(expected.label->parentWidget(), dialog.GroupBox1);
        EXPECT_EQ(expected.combo->geometry().topLeft(), QPoint(80, 16 + 24 * row));
        EXPECT_EQ(expected.combo->width(), 129);
        EXPECT_EQ(expected.combo->ComProperty(), expected.property);
        EXPECT_EQ(expected.combo->ComPort(), nullptr);
        EXPECT_EQ(expected.combo->objectName(), QStringLiteral("Combo%1").arg(row + 1));
        ++row;
    }
    EXPECT_EQ(dialog.Combo1->itemText(0), "COM1");
    EXPECT_EQ(dialog.Button1->text(), "OK");
    EXPECT_EQ(dialog.Button1->geometry(), QRect(70, 184, 75, 25));
    EXPECT_TRUE(dialog.Button1->isDefault());
    EXPECT_EQ(dialog.Button2->text(), "Cancel");
    EXPECT_EQ(dialog.Button2->geometry(), QRect(150, 184, 75, 25));
    EXPECT_FALSE(dialog.Button2->isDefault());
}

TEST(SetupDialogLayout, TabGoesThroughTheListsThenOkThenCancel) {
    PortFolders ports;
    TComSetupFrm dialog(ports.Source());
    const QWidget* expected[] = {dialog.Combo1, dialog.Combo2, dialog.Combo3,  dialog.Combo4,
                                 dialog.Combo5, dialog.Combo6, dialog.Button1, dialog.Button2};
    for (std::size_t i = 0; i + 1 < std::size(expected); ++i)
        EXPECT_EQ(expected[i]->nextInFocusChain(), expected[i + 1]) << i;
}

TEST(SetupDialogLayout, OkAndCancelCloseWithTheirResults) {
    PortFolders ports;
    TComSetupFrm accepted(ports.Source());
    accepted.Button1->click();
    EXPECT_EQ(accepted.result(), QDialog::Accepted);
    TComSetupFrm rejected(ports.Source());
    rejected.Button2->click();
    EXPECT_EQ(rejected.result(), QDialog::Rejected);
}

class SettingsDialog : public ::testing::Test {
protected:
    // The next dialog gets these choices, then `button` (Button1 OK, Button2 Cancel).
    void Answer(std::vector<std::pair<const char*, QString>> choices, const char* button) {
        answerer.dialogActions.push_back([choices, button](QWidget& dialog) {
            for (const auto& [list, text] : choices)
                ChooseItem(*dialog.findChild<QComboBox*>(list), text);
            dialog.findChild<QPushButton*>(button)->click();
        });
    }

    // The items the port list showed in each dialog.
    void NotePortLists() {
        answerer.probe = [this](quorvel::testing::SeenBox&) {
            if (auto* list = QApplication::activeModalWidget()->findChild<QComboBox*>("Combo1")) {
                QStringList items;
                for (int i = 0; i < list->count(); ++i)
                    items << list->itemText(i);
                portLists.push_back(items);
            }
        };
    }

    void Show() { ShowSettingsDialog(&port, ports.Source()); }

    PortFolders ports;
    TComPort port;
    ModalAnswerer answerer;
    std::vector<QStringList> portLists;
};

TEST_F(SettingsDialog, OkWritesEveryChoiceToThePort) {
    ports.Offer("COM1");
    ports.Offer("COM4");
    Answer({{"Combo1", "COM4"},
            {"Combo2", "57600"},
            {"Combo3", "7"},
            {"Combo4", "2"},
            {"Combo5", "Odd"},
            {"Combo6", "Hardware"}},
           "Button1");
    Show();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].title, "Setup");
    EXPECT_EQ(port.Port(), "COM4");
    EXPECT_EQ(port.BaudRate(), br57600);
    EXPECT_EQ(port.DataBits(), dbSeven);
    EXPECT_EQ(port.StopBits(), sbTwoStopBits);
    EXPECT_EQ(port.Parity()->Bits(), prOdd);
    EXPECT_EQ(port.FlowControl()->FlowControl(), fcHardware);
}

TEST_F(SettingsDialog, OkWithoutChoicesKeepsEverySetting) {
    ports.Offer("COM1");
    port.SetBaudRate(br2400);
    port.Parity()->SetBits(prSpace);
    port.FlowControl()->SetFlowControl(fcSoftware);
    Answer({}, "Button1");
    Show();
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), br2400);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.Parity()->Bits(), prSpace);
    EXPECT_EQ(port.FlowControl()->FlowControl(), fcSoftware);
}

TEST_F(SettingsDialog, CancelOrClosingWritesNothing) {
    ports.Offer("COM1");
    ports.Offer("COM2");
    Answer({{"Combo1", "COM2"}, {"Combo2", "300"}, {"Combo5", "Even"}, {"Combo6", "None"}},
           "Button2");
    Show();
    answerer.dialogActions.clear(); // the next one is closed by its frame
    Show();
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_EQ(port.Port(), "COM1");
    EXPECT_EQ(port.BaudRate(), br9600);
    EXPECT_EQ(port.Parity()->Bits(), prNone);
    EXPECT_EQ(port.FlowControl()->FlowControl(), fcNone);
}

TEST_F(SettingsDialog, TheListIsReadAfreshEachTimeTheDialogOpens) {
    NotePortLists();
    ports.Offer("COM1");
    Show();
    ports.Offer("vboard0"); // a board published while the program runs
    Show();
    ports.Withdraw("COM1");
    Show();
    ASSERT_EQ(portLists.size(), 3u);
    EXPECT_EQ(portLists[0], QStringList({"COM1"}));
    EXPECT_EQ(portLists[1], QStringList({"COM1", "vboard0"}));
    EXPECT_EQ(portLists[2], QStringList({"vboard0"}));
}

TEST_F(SettingsDialog, AnUnreadableListShowsNoDialogAndWritesNothing) {
    try {
        ShowSettingsDialog(&port, ports.Unreadable());
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), 23);
    }
    EXPECT_TRUE(answerer.seen.empty());
    EXPECT_EQ(port.Port(), "COM1");
}

TEST_F(SettingsDialog, OnAnOpenPortTheChoicesReachTheDeviceTogetherOnce) {
    auto opener = std::make_shared<FakeDeviceOpener>();
    port.SetDeviceOpener(opener);
    ports.Offer("COM1");
    port.SetConnected(true);
    const std::size_t before = opener->state->lineSettings.size();
    Answer({{"Combo2", "57600"}, {"Combo3", "7"}, {"Combo5", "Even"}}, "Button1");
    Show();
    ASSERT_EQ(opener->state->lineSettings.size(), before + 1);
    const DeviceControlBlock& applied = opener->state->lineSettings.back();
    EXPECT_EQ(applied.BaudRate, 57600u);
    EXPECT_EQ(applied.ByteSize, 7);
    EXPECT_EQ(applied.Parity, 2);
    EXPECT_EQ(opener->state->opens, 1); // the same port: never reopened
}

// Choosing another port reopens it; when that fails, the error reaches the caller and the
// port still applies later settings.
TEST_F(SettingsDialog, APortThatFailsToReopenLeavesTheSettingsUpdateEnded) {
    auto opener = std::make_shared<FakeDeviceOpener>();
    port.SetDeviceOpener(opener);
    ports.Offer("COM1");
    ports.Offer("COM2");
    port.SetConnected(true);
    opener->state->openError = ENOENT;
    Answer({{"Combo1", "COM2"}, {"Combo2", "300"}}, "Button1");
    try {
        Show();
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), 1);
    }
    EXPECT_FALSE(port.Connected());
    opener->state->openError = 0;
    port.SetConnected(true);
    const std::size_t before = opener->state->lineSettings.size();
    port.SetBaudRate(br4800);
    ASSERT_EQ(opener->state->lineSettings.size(), before + 1);
    EXPECT_EQ(opener->state->lineSettings.back().BaudRate, 4800u);
}

} // namespace
} // namespace quorvel::serial
