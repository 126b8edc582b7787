// The port over a fake device: failures at every step of opening, applying, transferring and
// closing, and the notifications around them.
#include "CPort.h"
#include "FakeSerialDevice.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace quorvel::serial {
namespace {

using testing::FakeDeviceOpener;
using testing::FakeDeviceState;

class FakePort : public ::testing::Test {
protected:
    FakePort() {
        port.SetDeviceOpener(opener);
        port.SetPort(QStringLiteral("ttyFAKE0"));
    }

    // Records every notification of the port and of one link, in order.
    void Record() {
        port.OnBeforeOpen = [this](QObject*) { events.push_back("BeforeOpen"); };
        port.OnAfterOpen = [this](QObject*) { events.push_back("AfterOpen"); };
        port.OnBeforeClose = [this](QObject*) { events.push_back("BeforeClose"); };
        port.OnAfterClose = [this](QObject*) { events.push_back("AfterClose"); };
        port.OnCTSChange = [this](QObject*, bool on) { events.push_back(Line("CTS", on)); };
        port.OnDSRChange = [this](QObject*, bool on) { events.push_back(Line("DSR", on)); };
        port.OnRLSDChange = [this](QObject*, bool on) { events.push_back(Line("RLSD", on)); };
        link.OnConn = [this](bool on) { events.push_back(Line("link Conn", on)); };
        link.OnCTSChange = [this](bool on) { events.push_back(Line("link CTS", on)); };
        link.OnDSRChange = [this](bool on) { events.push_back(Line("link DSR", on)); };
        link.OnRLSDChange = [this](bool on) { events.push_back(Line("link RLSD", on)); };
        link.OnTx = [this](bool on) { events.push_back(Line("link Tx", on)); };
        link.OnRx = [this](bool on) { events.push_back(Line("link Rx", on)); };
        link.OnTxBuf = [this](const char* data, int count) {
            events.push_back("link TxBuf " + std::string(data, static_cast<std::size_t>(count)));
        };
        port.AddLink(&link);
    }
    static std::string Line(const char* name, bool on) {
        return std::string(name) + (on ? " on" : " off");
    }

    FakeDeviceState& device() { return *opener->state; }

    // Declared before the port: the port still tells them while it is destroyed.
    std::vector<std::string> events;
    TComLink link;
    std::shared_ptr<FakeDeviceOpener> opener = std::make_shared<FakeDeviceOpener>();
    TComPort port;
};

void ExpectError(const std::function<void()>& call, int code, int systemError) {
    try {
        call();
        ADD_FAILURE() << "no EComPort, expected code " << code;
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), code);
        EXPECT_EQ(error.SystemError(), systemError);
    }
}

TEST_F(FakePort, OpensAppliesInOrderAndTellsEveryoneThenClosesTheSameWay) {
    Record();
    device().modemBits = modem::kCts | modem::kRlsd;
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(device().queueSizes.size(), 1u);
    EXPECT_EQ(device().lineSettings.size(), 1u);
    EXPECT_EQ(device().timeouts.size(), 1u);
    EXPECT_EQ(device().openedNames, std::vector<std::string>{"ttyFAKE0"});
    const std::vector<std::string> opening = {"BeforeOpen",  "link Conn on", "AfterOpen",
                                              "link CTS on", "CTS on",       "link DSR off",
                                              "DSR off",     "link RLSD on", "RLSD on"};
    EXPECT_EQ(events, opening);

    events.clear();
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(device().open);
    const std::vector<std::string> closing = {"link CTS off", "link DSR off",  "link RLSD off",
                                              "CTS off",      "DSR off",       "RLSD off",
                                              "BeforeClose",  "link Conn off", "AfterClose"};
    EXPECT_EQ(events, closing);
    EXPECT_EQ(device().purges, std::vector<unsigned>{purge::kAbortTransmit | purge::kAbortReceive});
}

TEST_F(FakePort, AnOpenThatFailsLeavesThePortClosedAndToldNoOne) {
    Record();
    device().openError = ENOENT;
    ExpectError([&] { port.SetConnected(true); }, 1, ENOENT);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(events, std::vector<std::string>{"BeforeOpen"});
    EXPECT_EQ(port.WriteBytes("x", 1), 0);
}

struct ApplyFailure {
    const char* name;
    int FakeDeviceState::*error;
    int code;
};

void PrintTo(const ApplyFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class FailedApplication : public FakePort, public ::testing::WithParamInterface<ApplyFailure> {};

TEST_P(FailedApplication, ClosesTheDeviceAndPassesTheError) {
    Record();
    device().*GetParam().error = EINVAL;
    ExpectError([&] { port.SetConnected(true); }, GetParam().code, EINVAL);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(device().opens, 1);
    EXPECT_EQ(device().closes, 1);
    EXPECT_EQ(events, std::vector<std::string>{"BeforeOpen"});
    // The port can be opened again once the device takes the settings.
    device().*GetParam().error = 0;
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, FailedApplication,
    ::testing::Values(ApplyFailure{"LineSettings", &FakeDeviceState::lineSettingsError, 7},
                      ApplyFailure{"Timeouts", &FakeDeviceState::timeoutsError, 8},
                      ApplyFailure{"QueueSizes", &FakeDeviceState::queueSizesError, 9}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FakePort, AFailedModemQueryAfterOpeningLeavesThePortOpen) {
    Record();
    device().modemError = EIO;
    ExpectError([&] { port.SetConnected(true); }, 11, EIO);
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(device().open);
    const std::vector<std::string> told = {"BeforeOpen", "link Conn on", "AfterOpen"};
    EXPECT_EQ(events, told);
    ExpectError([&] { port.ModemSignals(); }, 11, EIO);
}

TEST_F(FakePort, AFailedAbortWhileClosingLeavesThePortOpenAndUsable) {
    port.SetConnected(true);
    device().purgeError = EIO;
    ExpectError([&] { port.SetConnected(false); }, 5, EIO);
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(device().open);
    EXPECT_EQ(port.WriteBytes("a", 1), 1);
    device().purgeError = 0;
    port.SetConnected(false);
    EXPECT_FALSE(device().open);
}

TEST_F(FakePort, TheDestructorReleasesTheDeviceEvenWhenTheAbortFails) {
    auto state = opener->state;
    {
        TComPort doomed;
        doomed.SetDeviceOpener(opener);
        doomed.SetConnected(true);
        state->purgeError = EIO;
    }
    EXPECT_FALSE(state->open);
    EXPECT_EQ(state->closes, 1);
}

TEST_F(FakePort, ASettingChangedWhileOpenReachesTheDeviceAtOnceAndOnlyWhenItChanges) {
    port.SetConnected(true);
    device().lineSettings.clear();
    port.SetBaudRate(br115200);
    port.SetBaudRate(br115200);
    port.Parity()->SetBits(prEven);
    port.FlowControl()->SetFlowControl(fcSoftware);
    port.FlowControl()->SetFlowControl(fcSoftware); // a preset always applies
    ASSERT_EQ(device().lineSettings.size(), 4u);
    EXPECT_EQ(device().lineSettings[0].BaudRate, 115200u);
    EXPECT_EQ(device().lineSettings[1].Parity, 2);
    EXPECT_EQ(device().lineSettings[3].flags & 0x0300u, 0x0300u);

    port.Timeouts()->SetReadInterval(10);
    port.Buffer()->SetInputSize(4097);
    EXPECT_EQ(device().timeouts.back().ReadIntervalTimeout, 10u);
    EXPECT_EQ(device().queueSizes.back(), std::make_pair(4096, 1024));
    EXPECT_EQ(device().lineSettings.size(), 4u); // XonLim waits for the next line settings

    device().lineSettingsError = EINVAL;
    ExpectError([&] { port.SetDataBits(dbSeven); }, 7, EINVAL);
    EXPECT_TRUE(port.Connected());
}

TEST_F(FakePort, ASettingsUpdateAppliesOnceAtItsEnd) {
    port.SetConnected(true);
    device().lineSettings.clear();
    device().timeouts.clear();
    port.BeginSettingsUpdate();
    port.BeginSettingsUpdate();
    port.SetBaudRate(br57600);
    port.SetStopBits(sbTwoStopBits);
    port.Timeouts()->SetWriteTotalConstant(50);
    port.EndSettingsUpdate();
    EXPECT_TRUE(device().lineSettings.empty());
    port.EndSettingsUpdate();
    ASSERT_EQ(device().lineSettings.size(), 1u);
    EXPECT_EQ(device().lineSettings[0].BaudRate, 57600u);
    EXPECT_EQ(device().lineSettings[0].StopBits, 2);
    EXPECT_EQ(device().timeouts.size(), 1u);
    port.EndSettingsUpdate(); // one too many does nothing
    EXPECT_EQ(device().lineSettings.size(), 1u);
}

TEST_F(FakePort, ClosedSettersOnlyStore) {
    port.SetBaudRate(br300);
    port.Buffer()->SetInputSize(10);
    EXPECT_TRUE(device().lineSettings.empty());
    EXPECT_TRUE(device().queueSizes.empty());
}

TEST_F(FakePort, SyncMethodIsRefusedWhileOpen) {
    port.SetConnected(true);
    ExpectError([&] { port.SetSyncMethod(smNone); }, 14, -1);
    EXPECT_EQ(port.SyncMethod(), smThreadSync);
    port.SetConnected(false);
    port.SetSyncMethod(smNone);
    EXPECT_EQ(port.SyncMethod(), smNone);
}

TEST_F(FakePort, ChangingThePortWhileOpenReopensOnTheNewNameCaseIncluded) {
    Record();
    port.SetConnected(true);
    events.clear();
    port.SetPort(QStringLiteral("ttyfake0"));
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(device().opens, 2);
    EXPECT_EQ(device().closes, 1);
    EXPECT_EQ(device().openedNames.back(), "ttyfake0");
    EXPECT_EQ(events.front(), "link CTS off");
    EXPECT_NE(std::find(events.begin(), events.end(), "AfterClose"), events.end());
    EXPECT_EQ(events.back(), "RLSD off");
    port.SetPort(QStringLiteral("ttyfake0"));
    EXPECT_EQ(device().opens, 2);
}

TEST_F(FakePort, WhileBeingLoadedConnectedIsRecordedAndOpensAtLoaded) {
    port.BeginLoading();
    port.SetConnected(true);
    port.SetBaudRate(br115200);
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(device().opens, 0);
    port.Loaded();
    EXPECT_TRUE(port.Connected());
    EXPECT_EQ(device().opens, 1);
    EXPECT_EQ(device().lineSettings.back().BaudRate, 115200u);
}

TEST_F(FakePort, AnOpeningAtLoadedThatFailsPassesItsErrorAndLeavesThePortClosed) {
    device().openError = EBUSY;
    port.BeginLoading();
    port.SetConnected(true);
    ExpectError([&] { port.Loaded(); }, 1, EBUSY);
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(port.IsLoading());
}

TEST_F(FakePort, ANestedCloseInsideANotificationEndsTheOpeningSafely) {
    link.OnConn = [this](bool on) {
        if (on) port.SetConnected(false);
    };
    port.AddLink(&link);
    port.SetConnected(true);
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(device().open);
    EXPECT_EQ(device().opens, 1);
}

TEST_F(FakePort, ANestedCloseInsideTheTransmitSignalEndsTheWriteSafely) {
    port.SetConnected(true);
    int hooks = 0;
    link.OnTx = [&](bool) { port.SetConnected(false); };
    link.OnTxBuf = [&](const char*, int) { ++hooks; };
    port.AddLink(&link);
    EXPECT_EQ(port.WriteBytes("ab", 2), 2);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(device().written, "ab");
    EXPECT_EQ(port.WriteBytes("c", 1), 0);
}

TEST_F(FakePort, ReadsAndWritesTellTheLinks) {
    port.SetConnected(true);
    Record();
    events.clear();
    device().input = {'g', 'y'};
    QString text;
    EXPECT_EQ(port.ReadText(text, 1), 1);
    EXPECT_EQ(text, QStringLiteral("g"));
    EXPECT_TRUE(events.empty()); // a byte is still queued: reception stays as it was
    EXPECT_EQ(port.ReadText(text, 1), 1);
    EXPECT_EQ(events, std::vector<std::string>{"link Rx off"});
    EXPECT_EQ(port.ReadText(text, 1), 0);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(events.size(), 2u); // every read that finds the queue empty says so again

    events.clear();
    device().writeLimit = 1; // a timeout cuts the write short
    EXPECT_EQ(port.WriteText(QStringLiteral("rs")), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"link Tx on", "link TxBuf r"}));
}

TEST_F(FakePort, TransferFailuresCarryTheSystemErrorAndKeepThePortOpen) {
    port.SetConnected(true);
    QString text = QStringLiteral("old");
    device().readError = EIO;
    ExpectError([&] { port.ReadText(text, 1); }, 3, EIO);
    EXPECT_EQ(text, QStringLiteral("old"));
    char buffer[4];
    ExpectError([&] { port.ReadBytes(buffer, 4); }, 3, EIO);
    device().writeError = EIO;
    ExpectError([&] { port.WriteBytes("x", 1); }, 2, EIO);
    ExpectError([&] { port.WriteText(QStringLiteral("r")); }, 2, EIO);
    device().queuedInputError = EIO;
    ExpectError([&] { port.QueuedInputCount(); }, 10, EIO);
    device().purgeError = EPERM;
    ExpectError([&] { port.PurgeQueues(true, true); }, 5, EPERM);
    EXPECT_TRUE(port.Connected());
}

TEST_F(FakePort, BytesReadBeforeAnErrorAreNotLost) {
    port.SetConnected(true);
    device().input = {'a', 'b', 'c'};
    device().readError = EIO;
    device().readBeforeError = 2;
    QString text;
    EXPECT_EQ(port.ReadText(text, 3), 2);
    EXPECT_EQ(text, QStringLiteral("ab"));
    ExpectError([&] { port.ReadText(text, 3); }, 3, EIO);
}

TEST_F(FakePort, PurgeAsksForTheQueuesNamed) {
    port.SetConnected(true);
    device().purges.clear();
    port.PurgeQueues(true, false);
    port.PurgeQueues(false, true);
    port.PurgeQueues(true, true);
    EXPECT_EQ(device().purges, (std::vector<unsigned>{0x8, 0x4, 0xC}));
}

TEST_F(FakePort, ModemSignalsNameTheLinesThatAreOn) {
    port.SetConnected(true);
    device().modemBits = modem::kDsr | modem::kRing;
    EXPECT_EQ(port.ModemSignals(), TComSignals(csDSR | csRing));
    device().modemBits = 0;
    EXPECT_EQ(port.ModemSignals(), TComSignals());
}

TEST_F(FakePort, TextThatIsNotOneBytePerCharacterIsRefusedUnsent) {
    port.SetConnected(true);
    ExpectError([&] { port.WriteText(QStringLiteral("r\u20ac")); }, 2, EINVAL);
    EXPECT_TRUE(device().written.empty());
    EXPECT_EQ(port.WriteText(QString(QChar(0xFF))), 1);
    EXPECT_EQ(device().written, "\xFF");
}

TEST_F(FakePort, LinksRegisterOnceAndLeaveOnce) {
    port.AddLink(&link);
    ExpectError([&] { port.AddLink(&link); }, 18, -1);
    EXPECT_FALSE(port.HasReceivedDataLink());
    TComLink data;
    data.OnRxBuf = [](const char*, int) {};
    port.AddLink(&data);
    EXPECT_TRUE(port.HasReceivedDataLink());
    port.RemoveLink(&data);
    EXPECT_FALSE(port.HasReceivedDataLink());
    ExpectError([&] { port.RemoveLink(&data); }, 18, -1);
    port.RemoveLink(&link);
}

TEST_F(FakePort, ALinkThatRemovesItselfInsideItsHookEndsNoOneElse) {
    TComLink first, second;
    int calls = 0;
    first.OnConn = [&](bool) { port.RemoveLink(&first); };
    second.OnConn = [&](bool) { ++calls; };
    port.AddLink(&first);
    port.AddLink(&second);
    port.SetConnected(true);
    port.SetConnected(false);
    EXPECT_GE(calls, 1);
}

TEST_F(FakePort, RequestsWithoutARecordAreRefused) {
    struct Exposed : TComPort {
        using TComPort::StartRead;
        using TComPort::StartWrite;
        using TComPort::WaitRequest;
    } exposed;
    exposed.SetDeviceOpener(opener);
    exposed.SetConnected(true);
    char byte = 0;
    ExpectError([&] { exposed.StartRead(&byte, 1, nullptr); }, 4, -1);
    ExpectError([&] { exposed.StartWrite(&byte, 1, nullptr); }, 4, -1);
    ExpectError([&] { exposed.WaitRequest(nullptr); }, 4, -1);
}

} // namespace
} // namespace quorvel::serial
