// The bound combo box: its items, showing the port's value, the user's choice and applying it.
#include "ComComboBox.h"
#include "CPort.h"

#include "ComboChoice.h"
#include "PortFolders.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace quorvel::serial {
namespace {

using testing::PortFolders;

struct ItemsCase {
    TComProperty property;
    QStringList items;
};

void PrintTo(const ItemsCase& c, std::ostream* out) {
    *out << "property " << c.property;
}

class ComboItems : public ::testing::TestWithParam<ItemsCase> {};

TEST_P(ComboItems, ListTheVocabularyInOrdinalOrderWithTheFirstSelected) {
    TComComboBox combo;
    combo.SetComProperty(GetParam().property);
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    EXPECT_EQ(items, GetParam().items);
    EXPECT_EQ(combo.currentIndex(), items.isEmpty() ? -1 : 0);
    EXPECT_FALSE(combo.isEditable());
}

INSTANTIATE_TEST_SUITE_P(
    EachProperty, ComboItems,
    ::testing::Values(ItemsCase{cpNone, {}},
                      ItemsCase{cpBaudRate,
                                {"Custom", "110", "300", "600", "1200", "2400", "4800", "9600",
                                 "14400", "19200", "38400", "56000", "57600", "115200", "128000",
                                 "256000"}},
                      ItemsCase{cpDataBits, {"5", "6", "7", "8"}},
                      ItemsCase{cpStopBits, {"1", "1.5", "2"}},
                      ItemsCase{cpParity, {"None", "Odd", "Even", "Mark", "Space"}},
                      ItemsCase{cpFlowControl, {"Hardware", "Software", "None", "Custom"}}));

class ComboBinding : public ::testing::Test {
protected:
    std::unique_ptr<TComComboBox> Bound(TComProperty property) {
        auto combo = std::make_unique<TComComboBox>();
        combo->SetPortSource(ports.Source());
        combo->SetComProperty(property);
        combo->SetComPort(&port);
        return combo;
    }

    PortFolders ports;
    TComPort port;
};

TEST_F(ComboBinding, PortListComesFromTheSystemSorted) {
    for (const char* name : {"COM2", "COM10", "COM1"})
        ports.Offer(name);
    TComComboBox combo;
    combo.SetPortSource(ports.Source());
    combo.SetComProperty(cpPort);
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), "COM1");
    EXPECT_EQ(combo.itemText(1), "COM10");
    EXPECT_EQ(combo.itemText(2), "COM2");
}

TEST_F(ComboBinding, AStoredNameInOtherLetterCaseShowsAndWritesTheListsForm) {
    ports.Offer("COM3");
    port.SetPort("com3");
    auto combo = Bound(cpPort);
    EXPECT_EQ(combo->Text(), "COM3");
    combo->ApplySettings();
    EXPECT_EQ(port.Port(), "COM3");
}

TEST_F(ComboBinding, AStoredPortMissingFromTheListSelectsNothingAndWritesEmpty) {
    ports.Offer("COM1");
    port.SetPort("COM7");
    auto combo = Bound(cpPort);
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    combo->ApplySettings();
    EXPECT_EQ(port.Port(), "");
}

TEST_F(ComboBinding, AnEmptyPortListWritesAnEmptyPort) {
    auto combo = Bound(cpPort);
    EXPECT_EQ(combo->count(), 0);
    combo->ApplySettings();
    EXPECT_EQ(port.Port(), "");
}

TEST_F(ComboBinding, AMissingValueKeepsTheChoiceMadeBefore) {
    ports.Offer("COM1");
    ports.Offer("COM2");
    port.SetPort("COM2");
    auto combo = Bound(cpPort);
    port.SetPort("COM9");
    combo->ShowCurrentValue();
    EXPECT_EQ(combo->currentIndex(), -1);
    combo->ApplySettings();
    EXPECT_EQ(port.Port(), "COM2");
}

TEST_F(ComboBinding, ShowsEachPropertysCurrentValue) {
    port.SetBaudRate(br57600);
    port.SetDataBits(dbSeven);
    port.SetStopBits(sbOne5StopBits);
    port.Parity()->SetBits(prMark);
    port.FlowControl()->SetFlowControl(fcHardware);
    const std::pair<TComProperty, const char*> shown[] = {{cpBaudRate, "57600"},
                                                          {cpDataBits, "7"},
                                                          {cpStopBits, "1.5"},
                                                          {cpParity, "Mark"},
                                                          {cpFlowControl, "Hardware"}};
    for (const auto& [property, text] : shown)
        EXPECT_EQ(Bound(property)->Text(), text) << text;
}

TEST_F(ComboBinding, SoftwareFlagsShowSoftwareAndApplyingLeavesThemAsTheyWere) {
    port.FlowControl()->SetXonXoffIn(true);
    port.FlowControl()->SetXonXoffOut(true);
    port.FlowControl()->SetControlDTR(dtrEnable);
    auto combo = Bound(cpFlowControl);
    EXPECT_EQ(combo->Text(), "Software");
    combo->ApplySettings();
    EXPECT_TRUE(port.FlowControl()->XonXoffIn());
    EXPECT_TRUE(port.FlowControl()->XonXoffOut());
    EXPECT_FALSE(port.FlowControl()->OutCTSFlow());
    EXPECT_EQ(port.FlowControl()->ControlRTS(), rtsDisable);
    EXPECT_EQ(port.FlowControl()->ControlDTR(), dtrEnable);
}

TEST_F(ComboBinding, FlagsOfNoPresetShowCustomAndApplyingChangesNoFlag) {
    port.FlowControl()->SetXonXoffIn(true); // XON/XOFF one way only
    port.FlowControl()->SetOutCTSFlow(true);
    auto combo = Bound(cpFlowControl);
    EXPECT_EQ(combo->Text(), "Custom");
    combo->ApplySettings();
    EXPECT_TRUE(port.FlowControl()->XonXoffIn());
    EXPECT_FALSE(port.FlowControl()->XonXoffOut());
    EXPECT_TRUE(port.FlowControl()->OutCTSFlow());
    EXPECT_EQ(port.FlowControl()->FlowControl(), fcCustom);
}

TEST_F(ComboBinding, TheUsersChoiceWaitsForApply) {
    auto combo = Bound(cpBaudRate);
    ChooseItem(*combo, "19200");
    EXPECT_EQ(port.BaudRate(), br9600);
    combo->ApplySettings();
    EXPECT_EQ(port.BaudRate(), br19200);
}

TEST_F(ComboBinding, WithAutoApplyTheUsersChoiceIsWrittenAtOnce) {
    auto combo = Bound(cpParity);
    combo->SetAutoApply(true);
    ChooseItem(*combo, "Even");
    EXPECT_EQ(port.Parity()->Bits(), prEven);
}

TEST_F(ComboBinding, ASelectionTheProgramMakesIsNoChoice) {
    auto combo = Bound(cpDataBits);
    combo->SetAutoApply(true);
    combo->setCurrentIndex(0);
    EXPECT_EQ(port.DataBits(), dbEight);
    combo->ApplySettings();
    EXPECT_EQ(port.DataBits(), dbEight);
}

TEST_F(ComboBinding, WritingTextSelectsWithoutRegardToCaseAndIgnoresUnknownTexts) {
    auto combo = Bound(cpParity);
    combo->SetText("sPaCe");
    EXPECT_EQ(combo->Text(), "Space");
    combo->SetText("Sideways");
    EXPECT_EQ(combo->Text(), "Space");
    // What the list shows is what applying writes.
    combo->ApplySettings();
    EXPECT_EQ(port.Parity()->Bits(), prSpace);
}

TEST_F(ComboBinding, NamedPropertiesReadAndWriteByName) {
    TComComboBox combo;
    combo.setProperty("ComProperty", QVariant::fromValue(cpStopBits));
    combo.setProperty("ComPort", QVariant::fromValue<TCustomComPort*>(&port));
    combo.setProperty("AutoApply", true);
    EXPECT_EQ(combo.ComProperty(), cpStopBits);
    EXPECT_EQ(combo.ComPort(), &port);
    EXPECT_TRUE(combo.AutoApply());
    EXPECT_EQ(combo.property("Text").toString(), "1");
}

TEST_F(ComboBinding, ADestroyedPortIsForgottenAndTheFirstItemSelected) {
    auto doomed = std::make_unique<TComPort>();
    doomed->SetBaudRate(br38400);
    TComComboBox combo;
    combo.SetComProperty(cpBaudRate);
    combo.SetComPort(doomed.get());
    ASSERT_EQ(combo.Text(), "38400");
    doomed.reset();
    EXPECT_EQ(combo.ComPort(), nullptr);
    EXPECT_EQ(combo.Text(), "Custom");
    combo.ApplySettings(); // nothing to write to, and no crash
}

TEST_F(ComboBinding, RebindingFollowsTheNewPortOnly) {
    TComPort other;
    other.SetDataBits(dbSix);
    auto combo = Bound(cpDataBits);
    combo->SetComPort(&other);
    EXPECT_EQ(combo->Text(), "6");
    ChooseItem(*combo, "5");
    combo->ApplySettings();
    EXPECT_EQ(other.DataBits(), dbFive);
    EXPECT_EQ(port.DataBits(), dbEight);
}

TEST_F(ComboBinding, AnUnreadablePortListIsRegistryError) {
    TComComboBox combo;
    combo.SetPortSource(ports.Unreadable());
    try {
        combo.SetComProperty(cpPort);
        FAIL() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), 23);
    }
}

} // namespace
} // namespace quorvel::serial
