#include "SignalLamps.h"

#include "CPort.h"
#include "StyledControls.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace quorvel::app {

namespace {

constexpr int kLampRepaintMs = 16;

} // namespace

TSignalLamps::TSignalLamps(QObject* owner) : QObject(owner), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setInterval(kLampRepaintMs);
    connect(timer_, &QTimer::timeout, this, &TSignalLamps::Apply);
}

serial::TComLed* TSignalLamps::MakeIndicator(QWidget* owner, const char* name,
                                             serial::TComLed::TComLedSignal signal,
                                             serial::TComLed::TLedKind kind,
                                             ChangeHandler handler) {
    auto* led = new serial::TComLed(owner);
    led->setObjectName(QLatin1String(name));
    led->BeginLoading();
    led->setVisible(false);
    led->SetLedSignal(signal);
    led->SetKind(kind);
    led->OnChange = [handler = std::move(handler)](QObject* sender,
                                                   serial::TComLed::TLedState state) {
        handler(sender, state);
    };
    return led;
}

void TSignalLamps::Bind(serial::TComLed* indicator, serial::TComPort* port) {
    indicator->SetComPort(port);
    indicator->Loaded();
}

void TSignalLamps::Show(ui::TLampImage* lamp, int state) {
    const bool on = state == serial::TComLed::lsOn;
    auto wish = std::find_if(wishes_.begin(), wishes_.end(),
                             [lamp](const Wish& each) { return each.lamp == lamp; });
    if (wish == wishes_.end())
        wishes_.push_back({lamp, on});
    else
        wish->on = on;
    if (!timer_->isActive()) timer_->start();
    QCoreApplication::processEvents();
}

void TSignalLamps::Apply() {
    const std::vector<Wish> wishes = std::move(wishes_);
    wishes_.clear();
    for (const Wish& wish : wishes)
        wish.lamp->setVisible(wish.on);
}

} // namespace quorvel::app
