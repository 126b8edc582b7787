#include "CPort.h"
#include "FakeSerialDevice.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QMetaProperty>

namespace quorvel::serial {
namespace {

using testing::FakeDeviceOpener;

QVariant PropertyOf(const QObject& object, const char* name) {
    const int index = object.metaObject()->indexOfProperty(name);
    EXPECT_GE(index, 0) << name;
    return index < 0 ? QVariant() : object.metaObject()->property(index).read(&object);
}

// The window's port as it stores it: 2048-byte queues, software flow control, 115200 baud.
void MakeComPort1(TComPort& port) {
    port.Buffer()->SetInputSize(2048);
    port.Buffer()->SetOutputSize(2048);
    port.FlowControl()->SetXonXoffIn(true);
    port.FlowControl()->SetXonXoffOut(true);
    port.SetEvents({evRxChar, evTxEmpty, evRxFlag});
    port.SetBaudRate(br115200);
}

TEST(PortDefaults, NamedPropertiesInOrderWithTheirConstructionValues) {
    TComPort port;
    const char* names[] = {"Connected",   "BaudRate",    "Port",      "Parity", "StopBits",
                           "DataBits",    "DiscardNull", "EventChar", "Events", "Buffer",
                           "FlowControl", "Timeouts",    "SyncMethod"};
    const QMetaObject* meta = port.metaObject();
    int previous = -1;
    for (const char* name : names) {
        const int index = meta->indexOfProperty(name);
        ASSERT_GT(index, previous) << name;
        previous = index;
    }
    EXPECT_EQ(PropertyOf(port, "Connected").toBool(), false);
    EXPECT_EQ(PropertyOf(port, "BaudRate").value<TBaudRate>(), br9600);
    EXPECT_EQ(PropertyOf(port, "Port").toString(), QStringLiteral("COM1"));
    EXPECT_EQ(PropertyOf(port, "StopBits").value<TStopBits>(), sbOneStopBit);
    EXPECT_EQ(PropertyOf(port, "DataBits").value<TDataBits>(), dbEight);
    EXPECT_EQ(PropertyOf(port, "DiscardNull").toBool(), false);
    EXPECT_EQ(PropertyOf(port, "EventChar").value<char>(), 0);
    EXPECT_EQ(PropertyOf(port, "Events").value<TComEvents>(), TComEvents::All());
    EXPECT_EQ(PropertyOf(port, "SyncMethod").value<TSyncMethod>(), smThreadSync);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    EXPECT_EQ(PropertyOf(port, "Parity").value<TComParity*>(), port.Parity());
}

TEST(PortDefaults, SettingsGroupsHoldTheirDefaults) {
    TComPort port;
    const TComParity& parity = *port.Parity();
    EXPECT_EQ(parity.Bits(), prNone);
    EXPECT_FALSE(parity.Check());
    EXPECT_FALSE(parity.Replace());
    EXPECT_EQ(parity.ReplaceChar(), 0);
    const TComFlowControl& flow = *port.FlowControl();
    EXPECT_EQ(flow.FlowControl(), fcNone);
    EXPECT_FALSE(flow.OutCTSFlow() || flow.OutDSRFlow() || flow.XonXoffIn() || flow.XonXoffOut() ||
                 flow.DSRSensitivity() || flow.TxContinueOnXoff());
    EXPECT_EQ(flow.ControlDTR(), dtrDisable);
    EXPECT_EQ(flow.ControlRTS(), rtsDisable);
    EXPECT_EQ(flow.XonChar(), 0x11);
    EXPECT_EQ(flow.XoffChar(), 0x13);
    const TComTimeouts& timeouts = *port.Timeouts();
    EXPECT_EQ(timeouts.ReadInterval(), -1);
    EXPECT_EQ(timeouts.ReadTotalMultiplier(), 0);
    EXPECT_EQ(timeouts.ReadTotalConstant(), 0);
    EXPECT_EQ(timeouts.WriteTotalMultiplier(), 100);
    EXPECT_EQ(timeouts.WriteTotalConstant(), 1000);
    EXPECT_EQ(port.Buffer()->InputSize(), 1024);
    EXPECT_EQ(port.Buffer()->OutputSize(), 1024);
    EXPECT_EQ(port.Parity()->parent(), &port); // owned, freed with the port
}

TEST(PortProperties, AreSetByNameAsTheSettingsFileDoes) {
    TComPort port;
    ASSERT_TRUE(port.setProperty("BaudRate", QVariant::fromValue(br115200)));
    ASSERT_TRUE(port.setProperty("Port", QStringLiteral("ttyUSB0")));
    ASSERT_TRUE(port.Parity()->setProperty("Bits", QVariant::fromValue(prEven)));
    ASSERT_TRUE(port.FlowControl()->setProperty("FlowControl", QVariant::fromValue(fcHardware)));
    EXPECT_EQ(port.BaudRate(), br115200);
    EXPECT_EQ(port.Port(), QStringLiteral("ttyUSB0"));
    EXPECT_EQ(port.Parity()->Bits(), prEven);
    EXPECT_EQ(port.FlowControl()->ControlRTS(), rtsHandshake);
    const QMetaObject* flowMeta = port.FlowControl()->metaObject();
    EXPECT_FALSE(flowMeta->property(flowMeta->indexOfProperty("FlowControl")).isStored());
}

// Flags as (ControlRTS, OutCTSFlow, XonXoffIn, XonXoffOut) and the preset they read as.
struct PresetReadRow {
    TRTSFlowControl rts;
    bool cts, xonIn, xonOut;
    TFlowControl preset;
};

class PresetRead : public ::testing::TestWithParam<PresetReadRow> {};

TEST_P(PresetRead, FollowsTheFlags) {
    const PresetReadRow& row = GetParam();
    TComPort port;
    TComFlowControl& flow = *port.FlowControl();
    flow.SetControlRTS(row.rts);
    flow.SetOutCTSFlow(row.cts);
    flow.SetXonXoffIn(row.xonIn);
    flow.SetXonXoffOut(row.xonOut);
    // Flags that play no part in the preset.
    flow.SetOutDSRFlow(true);
    flow.SetControlDTR(dtrHandshake);
    flow.SetXonChar('A');
    EXPECT_EQ(flow.FlowControl(), row.preset);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, PresetRead,
    ::testing::Values(PresetReadRow{rtsHandshake, true, false, false, fcHardware},
                      PresetReadRow{rtsHandshake, true, true, false, fcCustom},
                      PresetReadRow{rtsHandshake, false, false, false, fcCustom},
                      PresetReadRow{rtsEnable, true, false, false, fcCustom},
                      PresetReadRow{rtsDisable, false, true, true, fcSoftware},
                      PresetReadRow{rtsDisable, false, true, false, fcCustom},
                      PresetReadRow{rtsDisable, true, true, true, fcCustom},
                      PresetReadRow{rtsToggle, false, true, true, fcCustom},
                      PresetReadRow{rtsDisable, false, false, false, fcNone},
                      PresetReadRow{rtsEnable, false, false, false, fcCustom},
                      PresetReadRow{rtsDisable, true, false, false, fcCustom}));

struct PresetWriteRow {
    TFlowControl preset;
    TRTSFlowControl rts;
    bool cts, xonIn, xonOut;
};

class PresetWrite : public ::testing::TestWithParam<PresetWriteRow> {};

TEST_P(PresetWrite, SetsTheFlagsAndReadsBackAsWritten) {
    const PresetWriteRow& row = GetParam();
    for (TFlowControl start : {fcHardware, fcSoftware, fcNone}) {
        TComPort port;
        TComFlowControl& flow = *port.FlowControl();
        flow.SetFlowControl(start);
        flow.SetOutDSRFlow(true); // untouched by every preset
        flow.SetFlowControl(row.preset);
        EXPECT_EQ(flow.ControlRTS(), row.rts);
        EXPECT_EQ(flow.OutCTSFlow(), row.cts);
        EXPECT_EQ(flow.XonXoffIn(), row.xonIn);
        EXPECT_EQ(flow.XonXoffOut(), row.xonOut);
        EXPECT_TRUE(flow.OutDSRFlow());
        EXPECT_EQ(flow.FlowControl(), row.preset);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Presets, PresetWrite,
    ::testing::Values(PresetWriteRow{fcHardware, rtsHandshake, true, false, false},
                      PresetWriteRow{fcSoftware, rtsDisable, false, true, true},
                      PresetWriteRow{fcNone, rtsDisable, false, false, false}));

TEST(PresetWrite, CustomChangesNoFlag) {
    TComPort port;
    TComFlowControl& flow = *port.FlowControl();
    flow.SetControlRTS(rtsToggle);
    flow.SetXonXoffIn(true);
    flow.SetFlowControl(fcCustom);
    EXPECT_EQ(flow.ControlRTS(), rtsToggle);
    EXPECT_TRUE(flow.XonXoffIn());
    EXPECT_FALSE(flow.XonXoffOut());
    EXPECT_FALSE(flow.OutCTSFlow());
}

TEST(PresetWrite, NoneOverComPort1ClearsXonXoff) {
    TComPort port;
    MakeComPort1(port);
    ASSERT_EQ(port.FlowControl()->FlowControl(), fcSoftware);
    port.FlowControl()->SetFlowControl(fcNone);
    EXPECT_FALSE(port.FlowControl()->XonXoffIn());
    EXPECT_FALSE(port.FlowControl()->XonXoffOut());
}

TEST(QueueSizes, APositiveOddSizeIsStoredOneLess) {
    const std::pair<qint32, qint32> sizes[] = {{2049, 2048}, {2048, 2048}, {1, 0},
                                               {0, 0},       {-3, -3},     {4095, 4094}};
    for (auto [given, stored] : sizes) {
        TComPort port;
        port.Buffer()->SetInputSize(given);
        port.Buffer()->SetOutputSize(given);
        EXPECT_EQ(port.Buffer()->InputSize(), stored) << given;
        EXPECT_EQ(port.Buffer()->OutputSize(), stored) << given;
    }
}

TEST(DeviceControlRecord, OfComPort1At115200) {
    TComPort port;
    MakeComPort1(port);
    const DeviceControlBlock record = port.BuildDeviceControlBlock();
    DeviceControlBlock expected;
    expected.DCBlength = 28;
    expected.BaudRate = 115200;
    expected.flags = 0x0301;
    expected.XonLim = 512;
    expected.XoffLim = 512;
    expected.ByteSize = 8;
    expected.Parity = 0;
    expected.StopBits = 0;
    expected.XonChar = 0x11;
    expected.XoffChar = 0x13;
    EXPECT_EQ(record, expected);
}

TEST(DeviceControlRecord, XonLimFollowsTheQueueSizeAtTheNextApplication) {
    TComPort port;
    port.Buffer()->SetInputSize(2049);
    EXPECT_EQ(port.BuildDeviceControlBlock().XonLim, 512);
    port.Buffer()->SetInputSize(1000000); // beyond 16 bits: held at the top, not wrapped
    EXPECT_EQ(port.BuildDeviceControlBlock().XonLim, 0xFFFF);
    port.Buffer()->SetInputSize(-40);
    EXPECT_EQ(port.BuildDeviceControlBlock().XoffLim, 0);
}

struct FlagRow {
    const char* name;
    std::function<void(TComPort&)> set;
    std::uint32_t flags;
};

TEST(DeviceControlRecord, EachSettingSetsItsFlag) {
    const FlagRow rows[] = {
        {"DiscardNull", [](TComPort& p) { p.SetDiscardNull(true); }, 0x0801},
        {"OutCTSFlow", [](TComPort& p) { p.FlowControl()->SetOutCTSFlow(true); }, 0x0005},
        {"OutDSRFlow", [](TComPort& p) { p.FlowControl()->SetOutDSRFlow(true); }, 0x0009},
        {"dtrEnable", [](TComPort& p) { p.FlowControl()->SetControlDTR(dtrEnable); }, 0x0011},
        {"dtrHandshake", [](TComPort& p) { p.FlowControl()->SetControlDTR(dtrHandshake); }, 0x0021},
        {"rtsEnable", [](TComPort& p) { p.FlowControl()->SetControlRTS(rtsEnable); }, 0x1001},
        {"rtsToggle", [](TComPort& p) { p.FlowControl()->SetControlRTS(rtsToggle); }, 0x3001},
        {"fcHardware", [](TComPort& p) { p.FlowControl()->SetFlowControl(fcHardware); }, 0x2005},
        {"DSRSensitivity", [](TComPort& p) { p.FlowControl()->SetDSRSensitivity(true); }, 0x0041},
        {"TxContinueOnXoff", [](TComPort& p) { p.FlowControl()->SetTxContinueOnXoff(true); },
         0x0081},
        {"Check", [](TComPort& p) { p.Parity()->SetCheck(true); }, 0x0003},
        {"Replace alone", [](TComPort& p) { p.Parity()->SetReplace(true); }, 0x0001},
        {"Check and Replace",
         [](TComPort& p) {
             p.Parity()->SetCheck(true);
             p.Parity()->SetReplace(true);
         },
         0x0403},
    };
    for (const FlagRow& row : rows) {
        TComPort port;
        row.set(port);
        EXPECT_EQ(port.BuildDeviceControlBlock().flags, row.flags) << row.name;
    }
}

TEST(DeviceControlRecord, CarriesTheLineValuesAndTheCharacters) {
    TComPort port;
    port.SetBaudRate(brCustom);
    port.SetCustomBaudRate(250000);
    port.SetDataBits(dbSeven);
    port.SetStopBits(sbTwoStopBits);
    port.Parity()->SetBits(prMark);
    port.Parity()->SetReplaceChar('?');
    port.SetEventChar('\n');
    port.FlowControl()->SetXonChar('Q');
    port.FlowControl()->SetXoffChar('S');
    DeviceControlBlock record = port.BuildDeviceControlBlock();
    EXPECT_EQ(record.BaudRate, 250000u);
    EXPECT_EQ(record.ByteSize, 7);
    EXPECT_EQ(record.StopBits, 2);
    EXPECT_EQ(record.Parity, 3);
    EXPECT_EQ(record.ErrorChar, 0); // replacement needs Check and Replace
    EXPECT_EQ(record.EvtChar, '\n');
    EXPECT_EQ(record.XonChar, 'Q');
    EXPECT_EQ(record.XoffChar, 'S');
    port.Parity()->SetCheck(true);
    port.Parity()->SetReplace(true);
    EXPECT_EQ(port.BuildDeviceControlBlock().ErrorChar, '?');
    EXPECT_EQ(port.BuildDeviceControlBlock().flags & 0x4000, 0u); // never abort on error
}

TEST(Timeouts, MinusOneGoesToTheDeviceAsAllBitsSet) {
    TComPort port;
    EXPECT_EQ(port.BuildTimeouts(), (CommTimeouts{0xFFFFFFFF, 0, 0, 100, 1000}));
    port.Timeouts()->SetWriteTotalConstant(-1);
    EXPECT_EQ(port.BuildTimeouts().WriteTotalTimeoutConstant, 0xFFFFFFFFu);
}

TEST(GroupAssignment, CopiesEveryFieldAndRefusesAnotherClass) {
    TComPort source, target;
    source.Parity()->SetBits(prOdd);
    source.Parity()->SetReplaceChar('#');
    source.FlowControl()->SetFlowControl(fcHardware);
    source.FlowControl()->SetXoffChar('x');
    source.Timeouts()->SetReadInterval(5);
    source.Buffer()->SetInputSize(4096);
    target.SetParity(source.Parity());
    target.SetFlowControl(source.FlowControl());
    target.SetTimeouts(source.Timeouts());
    target.SetBuffer(source.Buffer());
    EXPECT_EQ(target.Parity()->Bits(), prOdd);
    EXPECT_EQ(target.Parity()->ReplaceChar(), '#');
    EXPECT_EQ(target.FlowControl()->FlowControl(), fcHardware);
    EXPECT_EQ(target.FlowControl()->XoffChar(), 'x');
    EXPECT_EQ(target.Timeouts()->ReadInterval(), 5);
    EXPECT_EQ(target.Buffer()->InputSize(), 4096);
    EXPECT_NE(target.Parity(), source.Parity()); // copied, not shared
    EXPECT_THROW(target.Parity()->Assign(source.Buffer()), std::invalid_argument);
    EXPECT_THROW(target.Parity()->Assign(nullptr), std::invalid_argument);
    EXPECT_EQ(target.Parity()->Bits(), prOdd);
}

} // namespace
} // namespace quorvel::serial
