// The signal indicators, following a port on a real pseudo-terminal.

#include "ProcessUntil.h"
#include "PseudoTerminalPair.h"

#include "CPort.h"
#include "ComLed.h"

#include <QImage>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace quorvel::serial::testing {
namespace {

using quorvel::testing::ProcessUntil;
using quorvel::testing::PseudoTerminalPair;
using Led = TComLed;

class Indicators : public ::testing::Test {
protected:
    Indicators() {
        port.SetPort(pty.SlavePath());
        port.SetEvents({evRxChar, evTxEmpty, evRxFlag});
        for (auto [led, signal] : {std::pair{&conn, Led::lsConn}, std::pair{&rx, Led::lsRx},
                                   std::pair{&tx, Led::lsTx}}) {
            led->SetLedSignal(signal);
            led->OnChange = [this, led](QObject* sender, Led::TLedState) {
                EXPECT_EQ(sender, led);
                ++changes[led];
            };
            led->SetComPort(&port);
        }
    }
    ~Indicators() override { port.SetConnected(false); }

    // "on", "off" for each lamp: connection, receive, transmit.
    std::string Lamps() const {
        std::string text;
        for (const Led* led : {&conn, &rx, &tx})
            text += led->State() == Led::lsOn ? "1" : "0";
        return text;
    }

    PseudoTerminalPair pty;
    TComPort port;
    Led conn, rx, tx;
    std::map<const Led*, int> changes;
};

TEST_F(Indicators, FollowTheLineThroughOpenArrivalReadWriteSentAndClose) {
    EXPECT_EQ(Lamps(), "000");
    port.SetConnected(true);
    EXPECT_EQ(Lamps(), "100");
    pty.Send("g");
    ASSERT_TRUE(ProcessUntil([&] { return rx.State() == Led::lsOn; }));
    EXPECT_EQ(Lamps(), "110");
    QString text;
    port.ReadText(text, 1); // takes the last byte
    EXPECT_EQ(Lamps(), "100");
    port.WriteText(QStringLiteral("r"));
    ASSERT_TRUE(ProcessUntil([&] { return tx.State() == Led::lsOff; }));
    EXPECT_EQ(pty.Receive(1), "r");
    port.WriteText(QStringLiteral("r"));
    EXPECT_EQ(Lamps().substr(0, 2), "10"); // on, or off already if the hand-over ran meanwhile
    ASSERT_TRUE(ProcessUntil([&] { return tx.State() == Led::lsOff; }));
    port.SetConnected(false);
    EXPECT_EQ(Lamps(), "000");
}

TEST_F(Indicators, ClosingTurnsOffOnlyTheConnectionLamp) {
    port.SetEvents({});
    port.SetConnected(true);
    port.WriteText(QStringLiteral("r"));
    EXPECT_EQ(Lamps(), "101"); // no thread, so nothing turns it off
    port.SetConnected(false);
    EXPECT_EQ(Lamps(), "001");
}

TEST_F(Indicators, WithoutEventsReceptionOnlyGoesOffAndTransmissionOnlyOn) {
    port.SetEvents({});
    port.SetConnected(true);
    EXPECT_EQ(port.EventThread(), nullptr);
    pty.Send("g");
    QString text;
    ASSERT_TRUE(ProcessUntil([&] { return port.ReadText(text, 1) == 1; }));
    EXPECT_EQ(rx.State(), Led::lsOff);
    port.WriteText(QStringLiteral("r"));
    ProcessUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(tx.State(), Led::lsOn);
}

TEST_F(Indicators, EveryEmptyReadRaisesTheReceiveChange) {
    port.SetConnected(true);
    changes.clear();
    QString text;
    for (int read = 0; read < 5; ++read)
        port.ReadText(text, 1);
    EXPECT_EQ(changes[&rx], 5);
    EXPECT_EQ(rx.State(), Led::lsOff);
}

TEST_F(Indicators, AnEmptyReadLetsQueuedWorkRun) {
    port.SetConnected(true);
    bool ran = false;
    QMetaObject::invokeMethod(
        &rx, [&ran] { ran = true; }, Qt::QueuedConnection);
    QString text;
    port.ReadText(text, 1);
    EXPECT_TRUE(ran);
}

TEST_F(Indicators, SettingTheStateFromOutsideIsRefusedWhileFollowingAPort) {
    try {
        rx.SetState(Led::lsOn);
        ADD_FAILURE() << "no error";
    } catch (const EComPort& error) {
        EXPECT_EQ(error.ErrorCode(), 19);
    }
    Led free;
    int raised = 0;
    free.OnChange = [&raised](QObject*, Led::TLedState) { ++raised; };
    free.SetState(Led::lsOn);
    free.SetState(Led::lsOn);
    EXPECT_EQ(free.State(), Led::lsOn);
    EXPECT_EQ(raised, 2); // also when nothing changes
}

TEST_F(Indicators, OneBoundToAnOpenPortShowsTheSignalAtOnceOneToAClosedPortWaits) {
    struct Case {
        Led::TComLedSignal signal;
        bool open;
        Led::TLedState state;
    };
    TComPort other;
    PseudoTerminalPair otherPty;
    other.SetPort(otherPty.SlavePath());
    other.SetConnected(true);
    for (const Case& each :
         {Case{Led::lsConn, true, Led::lsOn}, Case{Led::lsConn, false, Led::lsOff},
          Case{Led::lsRx, true, Led::lsOff}, Case{Led::lsTx, true, Led::lsOff},
          Case{Led::lsCTS, true, Led::lsOff}}) {
        Led led;
        led.SetLedSignal(each.signal);
        if (!each.open) other.SetConnected(false);
        led.SetComPort(&other);
        EXPECT_EQ(led.State(), each.state) << each.signal;
        led.SetComPort(nullptr);
        other.SetConnected(true);
    }
}

TEST_F(Indicators, ChangingTheSignalMovesTheIndicatorToTheNewHook) {
    port.SetConnected(true);
    conn.SetLedSignal(Led::lsTx);
    port.SetConnected(false); // no longer heard by conn
    EXPECT_EQ(conn.State(), Led::lsOn);
    port.SetConnected(true);
    port.WriteText(QStringLiteral("r"));
    EXPECT_TRUE(ProcessUntil([&] { return conn.State() == Led::lsOff; }));
}

TEST_F(Indicators, AnIndicatorForgetsAPortThatIsDestroyed) {
    Led led;
    {
        TComPort gone;
        led.SetComPort(&gone);
    }
    EXPECT_EQ(led.ComPort(), nullptr);
    EXPECT_NO_THROW(led.SetState(Led::lsOn));
}

TEST(IndicatorPictures, EveryKindDrawsARoundLampOnATransparentGround) {
    for (Led::TLedKind kind : {Led::lkRedLight, Led::lkGreenLight, Led::lkBlueLight,
                               Led::lkYellowLight, Led::lkPurpleLight, Led::lkBulb}) {
        Led led;
        led.SetKind(kind == Led::lkRedLight ? Led::lkGreenLight : Led::lkRedLight);
        led.SetKind(kind);
        const QImage on = led.GlyphOn().toImage(), off = led.GlyphOff().toImage();
        ASSERT_FALSE(on.isNull()) << kind;
        EXPECT_EQ(qAlpha(on.pixel(0, 0)), 0) << kind;
        EXPECT_EQ(qAlpha(off.pixel(0, 0)), 0) << kind;
        EXPECT_EQ(qAlpha(on.pixel(8, 8)), 255) << kind;
        EXPECT_NE(on.pixel(8, 8), off.pixel(8, 8)) << kind;
    }
}

TEST(IndicatorPictures, TheLampIsPaintedInTheCentre) {
    Led led;
    led.resize(25, 25);
    led.SetKind(Led::lkRedLight);
    const QImage shot = led.grab().toImage();
    const QImage glyph = led.GlyphOff().toImage();
    EXPECT_EQ(shot.pixel(6 + 8, 6 + 8), glyph.pixel(8, 8)); // (25 - 13) / 2 = 6
}

} // namespace
} // namespace quorvel::serial::testing
