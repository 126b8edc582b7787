// The window's three lamps follow ComPort1 on a real pseudo-terminal, and their handlers keep
// the window live during a read loop.

#include "WindowFixture.h"

#include "ProcessUntil.h"
#include "PseudoTerminalPair.h"

#include "CPort.h"
#include "ComLed.h"
#include "PelmoraLinkPort.h"

#include <QMouseEvent>

namespace quorvel::app::testing {
namespace {

using namespace std::chrono_literals;
using quorvel::testing::ProcessUntil;
using quorvel::testing::PseudoTerminalPair;
using serial::TComLed;

class SignalLamps : public WindowFixture {
protected:
    void SetUp() override {
        Create();
        window->ComPort1->SetPort(pty.SlavePath());
        host = std::make_unique<TPelmoraLinkPort>(*window);
    }
    void TearDown() override { window->ComPort1->SetConnected(false); }

    // Which on images show, once the lamps have caught up: connection, receive, transmit.
    std::string Shown() {
        ProcessUntil([] { return false; }, 40ms);
        std::string text;
        for (const ui::TLampImage* lamp : {window->ConnectedOn, window->RxOn, window->TxOn})
            text += lamp->isHidden() ? "0" : "1";
        return text;
    }

    PseudoTerminalPair pty;
    std::unique_ptr<TPelmoraLinkPort> host;
};

TEST_F(SignalLamps, TheIndicatorsAreHiddenAndFollowComPort1) {
    struct Expected {
        const TComLed* led;
        TComLed::TComLedSignal signal;
        TComLed::TLedKind kind;
    };
    for (const Expected& each :
         {Expected{window->ComLedConnect, TComLed::lsConn, TComLed::lkBlueLight},
          Expected{window->ComLedRx, TComLed::lsRx, TComLed::lkRedLight},
          Expected{window->ComLedTx, TComLed::lsTx, TComLed::lkGreenLight}}) {
        EXPECT_TRUE(each.led->isHidden());
        EXPECT_EQ(each.led->ComPort(), window->ComPort1);
        EXPECT_EQ(each.led->LedSignal(), each.signal);
        EXPECT_EQ(each.led->Kind(), each.kind);
        EXPECT_EQ(each.led->size(), QSize(25, 25));
    }
    EXPECT_EQ(Shown(), "000");
}

TEST_F(SignalLamps, TheLampsShowOpenArrivalReadAndClose) {
    window->ComPort1->SetConnected(true);
    EXPECT_EQ(Shown(), "100");
    pty.Send("g");
    ASSERT_TRUE(ProcessUntil([&] { return window->ComLedRx->State() == TComLed::lsOn; }, 3000ms));
    EXPECT_EQ(Shown(), "110");
    EXPECT_EQ(host->ReadAttempt(), "g"); // the byte stayed queued for the read
    EXPECT_EQ(Shown(), "100");
    host->Write(std::uint8_t{'r'});
    ASSERT_TRUE(ProcessUntil([&] { return window->ComLedTx->State() == TComLed::lsOff; }, 3000ms));
    EXPECT_EQ(Shown(), "100");
    EXPECT_EQ(pty.Receive(1), "r");
    window->ComPort1->SetConnected(false);
    EXPECT_EQ(Shown(), "000");
}

TEST_F(SignalLamps, WithoutTheEventThreadTheTransmitLampStaysOn) {
    window->ComPort1->SetEvents({});
    window->ComPort1->SetConnected(true);
    host->Write(0x41);
    EXPECT_EQ(Shown(), "101");
    window->ComPort1->SetConnected(false);
    EXPECT_EQ(Shown(), "001");
}

TEST_F(SignalLamps, EachHandlerLetsPendingMessagesRun) {
    using Handler = void (TPelmora::*)(QObject*, int);
    for (Handler handler :
         {&TPelmora::ComLedConnectChange, &TPelmora::ComLedRxChange, &TPelmora::ComLedTxChange}) {
        bool ran = false;
        QMetaObject::invokeMethod(
            window.get(), [&ran] { ran = true; }, Qt::QueuedConnection);
        (window.get()->*handler)(nullptr, TComLed::lsOff);
        EXPECT_TRUE(ran);
    }
}

TEST_F(SignalLamps, AClickQueuedWhileAReadPollsAnIdlePortIsHandledWithinOneAttempt) {
    Show(); // the stored-port check at the first show sets the port
    window->ComPort1->SetPort(pty.SlavePath());
    window->ComPort1->SetConnected(true);
    QCoreApplication::processEvents();
    QPushButton* button = window->AdvGlowButton1;
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonPress, centre, global,
                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(button,
                                new QMouseEvent(QEvent::MouseButtonRelease, centre, global,
                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    EXPECT_FALSE(window->ActivityShown());
    EXPECT_EQ(host->ReadAttempt(), "");
    EXPECT_TRUE(window->ActivityShown());
}

} // namespace
} // namespace quorvel::app::testing
