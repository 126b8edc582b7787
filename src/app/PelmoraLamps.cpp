// The window's three signal lamps: hidden indicators follow ComPort1, and their handlers show
// or hide the on images and let the window process its pending messages.
#include "Pelmora.h"

#include "CPort.h"
#include "CPortCtl.h"
#include "StyledControls.h"

#include <QCoreApplication>

#include <algorithm>

namespace quorvel::app {

namespace {

constexpr int kLampRepaintMs = 16;

} // namespace

void TPelmora::BuildSignalLamps() {
    using serial::TComLed;
    const auto indicator = [this](const char* name, TComLed::TComLedSignal signal,
                                  TComLed::TLedKind kind,
                                  void (TPelmora::*handler)(QObject*, int)) {
        auto* led = new TComLed(this);
        led->setObjectName(QLatin1String(name));
        led->BeginLoading();
        led->setVisible(false);
        led->SetLedSignal(signal);
        led->SetKind(kind);
        led->OnChange = [this, handler](QObject* sender, TComLed::TLedState state) {
            (this->*handler)(sender, state);
        };
        return led;
    };
    ComLedConnect = indicator("ComLedConnect", TComLed::lsConn, TComLed::lkBlueLight,
                              &TPelmora::ComLedConnectChange);
    ComLedRx = indicator("ComLedRx", TComLed::lsRx, TComLed::lkRedLight, &TPelmora::ComLedRxChange);
    ComLedTx =
        indicator("ComLedTx", TComLed::lsTx, TComLed::lkGreenLight, &TPelmora::ComLedTxChange);
    lampTimer_ = new QTimer(this);
    lampTimer_->setSingleShot(true);
    lampTimer_->setInterval(kLampRepaintMs);
    connect(lampTimer_, &QTimer::timeout, this, &TPelmora::ApplyLamps);
}

void TPelmora::BindSignalLamps() {
    for (serial::TComLed* led : {ComLedConnect, ComLedRx, ComLedTx}) {
        led->SetComPort(ComPort1);
        led->Loaded();
    }
}

void TPelmora::ComLedConnectChange(QObject*, int state) {
    ShowLamp(ConnectedOn, state);
}

void TPelmora::ComLedRxChange(QObject*, int state) {
    ShowLamp(RxOn, state);
}

void TPelmora::ComLedTxChange(QObject*, int state) {
    ShowLamp(TxOn, state);
}

// The wish is kept at once, the image follows at the next tick of the lamp timer.
void TPelmora::ShowLamp(ui::TLampImage* lamp, int state) {
    const bool on = state == serial::TComLed::lsOn;
    auto wish = std::find_if(lampWishes_.begin(), lampWishes_.end(),
                             [lamp](const LampWish& each) { return each.lamp == lamp; });
    if (wish == lampWishes_.end())
        lampWishes_.push_back({lamp, on});
    else
        wish->on = on;
    if (!lampTimer_->isActive()) lampTimer_->start();
    QCoreApplication::processEvents();
}

void TPelmora::ApplyLamps() {
    const std::vector<LampWish> wishes = std::move(lampWishes_);
    lampWishes_.clear();
    for (const LampWish& wish : wishes)
        wish.lamp->setVisible(wish.on);
}

} // namespace quorvel::app
