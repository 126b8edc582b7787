#include "ComLed.h"

#include "ComErrors.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

namespace quorvel::serial {

namespace {

constexpr int kRepaintIntervalMs = 16;
constexpr int kPictureSize = 13;

struct KindColours {
    QColor on;
    QColor off;
};

KindColours ColoursOf(TComLed::TLedKind kind) {
    switch (kind) {
    case TComLed::lkRedLight:
        return {QColor(0xFF, 0x20, 0x20), QColor(0x70, 0x10, 0x10)};
    case TComLed::lkGreenLight:
        return {QColor(0x20, 0xFF, 0x20), QColor(0x10, 0x60, 0x10)};
    case TComLed::lkBlueLight:
        return {QColor(0x40, 0x80, 0xFF), QColor(0x10, 0x20, 0x70)};
    case TComLed::lkYellowLight:
        return {QColor(0xFF, 0xF0, 0x20), QColor(0x70, 0x68, 0x10)};
    case TComLed::lkPurpleLight:
        return {QColor(0xD0, 0x40, 0xFF), QColor(0x50, 0x10, 0x68)};
    case TComLed::lkBulb:
    case TComLed::lkCustom:
        break;
    }
    return {QColor(0xFF, 0xF8, 0xD0), QColor(0x90, 0x90, 0x88)};
}

// A round lamp with a grey rim and a white highlight on a transparent ground.
QPixmap LampPicture(const QColor& colour) {
    QPixmap picture(kPictureSize, kPictureSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.5, 0.5, kPictureSize - 1, kPictureSize - 1));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(3, 3, 3, 3));
    return picture;
}

} // namespace

TComLed::TComLed(QWidget* parent) : QWidget(parent) {
    resize(25, 25);
    ringTimer_.setInterval(1000);
    connect(&ringTimer_, &QTimer::timeout, this, &TComLed::RingTimerTick);
    repaintTimer_.setSingleShot(true);
    repaintTimer_.setInterval(kRepaintIntervalMs);
    connect(&repaintTimer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    FillSignalHook();
    LoadKindPictures();
}

TComLed::~TComLed() {
    try {
        if (port_) port_->RemoveLink(&link_);
    } catch (...) {
    }
}

void TComLed::SetComPort(TCustomComPort* port) {
    if (port == port_) return;
    if (port_) {
        disconnect(port_, &QObject::destroyed, this, nullptr);
        port_->RemoveLink(&link_);
    }
    port_ = port;
    if (!port) {
        SetStateInternal(lsOff);
        return;
    }
    // The port may go first: its links die with it, so there is nothing to remove then.
    connect(port, &QObject::destroyed, this, [this] {
        port_ = nullptr;
        SetStateInternal(lsOff);
    });
    port->AddLink(&link_);
    if (port->Connected() && !loading_) SetStateInternal(CurrentSignalState());
}

TComLed::TLedState TComLed::CurrentSignalState() {
    const auto line = [this](TComSignal signal) {
        return port_->ModemSignals().testFlag(signal) ? lsOn : lsOff;
    };
    switch (ledSignal_) {
    case lsConn:
        return lsOn;
    case lsCTS:
        return line(csCTS);
    case lsDSR:
        return line(csDSR);
    case lsRLSD:
        return line(csRLSD);
    case lsRing:
    case lsRx:
    case lsTx:
        break;
    }
    return lsOff;
}

void TComLed::SetLedSignal(TComLedSignal value) {
    if (value == ledSignal_) return;
    ledSignal_ = value;
    ClearSignalHooks();
    FillSignalHook();
}

void TComLed::ClearSignalHooks() {
    for (TComLink::SignalHook TComLink::*hook :
         {&TComLink::OnConn, &TComLink::OnCTSChange, &TComLink::OnDSRChange,
          &TComLink::OnRLSDChange, &TComLink::OnRx, &TComLink::OnTx})
        link_.*hook = nullptr;
    link_.OnRing = nullptr;
}

void TComLed::FillSignalHook() {
    const auto signal = [this](bool on) { SignalChanged(on); };
    switch (ledSignal_) {
    case lsConn:
        link_.OnConn = signal;
        break;
    case lsCTS:
        link_.OnCTSChange = signal;
        break;
    case lsDSR:
        link_.OnDSRChange = signal;
        break;
    case lsRLSD:
        link_.OnRLSDChange = signal;
        break;
    case lsRing:
        link_.OnRing = [this] { RingArrived(); };
        break;
    case lsRx:
        link_.OnRx = signal;
        break;
    case lsTx:
        link_.OnTx = signal;
        break;
    }
}

void TComLed::SetKind(TLedKind value) {
    if (value == kind_) return;
    kind_ = value;
    LoadKindPictures();
    update();
}

void TComLed::LoadKindPictures() {
    if (kind_ == lkCustom) return;
    const KindColours colours = ColoursOf(kind_);
    glyphOn_ = LampPicture(colours.on);
    glyphOff_ = LampPicture(colours.off);
}

void TComLed::SetGlyphOn(const QPixmap& picture) {
    if (kind_ != lkCustom) return;
    glyphOn_ = picture;
    update();
}

void TComLed::SetGlyphOff(const QPixmap& picture) {
    if (kind_ != lkCustom) return;
    glyphOff_ = picture;
    update();
}

void TComLed::SetState(TLedState value) {
    if (port_) throw EComPort(CError_LedStateFailed);
    SetStateInternal(value);
}

// Raised on every setting, also one that changes nothing: the window relies on it.
void TComLed::SetStateInternal(TLedState value) {
    state_ = value;
    if (!loading_ && OnChange) OnChange(this, value);
    if (!repaintTimer_.isActive()) repaintTimer_.start();
}

// The pending messages run here so that a wait that reads or writes stays responsive.
void TComLed::SignalChanged(bool on) {
    SetStateInternal(on ? lsOn : lsOff);
    QCoreApplication::processEvents();
}

void TComLed::RingArrived() {
    if (!ringTimer_.isActive()) ringTimer_.start();
    SetStateInternal(lsOn);
}

void TComLed::RingTimerTick() {
    ringTimer_.stop();
    SetStateInternal(lsOff);
}

void TComLed::paintEvent(QPaintEvent*) {
    if (kind_ != lkCustom && (glyphOn_.isNull() || glyphOff_.isNull())) LoadKindPictures();
    const QPixmap& picture = isEnabled() && state_ == lsOn ? glyphOn_ : glyphOff_;
    if (picture.isNull()) return;
    const int left = std::max(0, (width() - picture.width()) / 2);
    const int top = std::max(0, (height() - picture.height()) / 2);
    QPainter(this).drawPixmap(left, top, picture);
}

} // namespace quorvel::serial
