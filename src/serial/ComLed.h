#pragma once
// A signal indicator: a small drawn lamp that follows one signal of one port through a link
// and reports every setting of its state through OnChange.

#include "ComLink.h"
#include "ComPort.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace quorvel::serial {

class TComLed : public QWidget {
    Q_OBJECT
public:
    enum TComLedSignal { lsConn, lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };
    Q_ENUM(TComLedSignal)
    enum TLedKind {
        lkRedLight,
        lkGreenLight,
        lkBlueLight,
        lkYellowLight,
        lkPurpleLight,
        lkBulb,
        lkCustom
    };
    Q_ENUM(TLedKind)
    enum TLedState { lsOff, lsOn };
    Q_ENUM(TLedState)

private:
    Q_PROPERTY(quorvel::serial::TCustomComPort* ComPort READ ComPort WRITE SetComPort)
    Q_PROPERTY(TComLedSignal LedSignal READ LedSignal WRITE SetLedSignal)
    Q_PROPERTY(TLedKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(TLedState State READ State WRITE SetState)
    Q_PROPERTY(int RingDuration READ RingDuration WRITE SetRingDuration)

public:
    using TLedStateEvent = std::function<void(QObject* sender, TLedState state)>;

    explicit TComLed(QWidget* parent = nullptr);
    ~TComLed() override; // leaves the followed port's links

    void BeginLoading() { loading_ = true; }
    void Loaded() { loading_ = false; }

    TCustomComPort* ComPort() const { return port_; }
    void SetComPort(TCustomComPort* port);
    TComLedSignal LedSignal() const { return ledSignal_; }
    void SetLedSignal(TComLedSignal value);
    TLedKind Kind() const { return kind_; }
    void SetKind(TLedKind value);
    TLedState State() const { return state_; }
    void SetState(TLedState value); // code 19 while a port is followed
    int RingDuration() const { return ringTimer_.interval(); }
    void SetRingDuration(int milliseconds) { ringTimer_.setInterval(milliseconds); }
    // Stored only with lkCustom: the other kinds draw their own.
    QPixmap GlyphOn() const { return glyphOn_; }
    void SetGlyphOn(const QPixmap& picture);
    QPixmap GlyphOff() const { return glyphOff_; }
    void SetGlyphOff(const QPixmap& picture);

    TLedStateEvent OnChange;

    QSize sizeHint() const override { return {25, 25}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetStateInternal(TLedState value);
    void SignalChanged(bool on);
    void RingArrived();
    void RingTimerTick();
    void ClearSignalHooks();
    void FillSignalHook();
    TLedState CurrentSignalState();
    void LoadKindPictures();

    QPointer<TCustomComPort> port_;
    TComLedSignal ledSignal_ = lsConn;
    TLedKind kind_ = lkRedLight;
    TLedState state_ = lsOff;
    bool loading_ = false;
    TComLink link_;
    QPixmap glyphOn_, glyphOff_;
    QTimer ringTimer_;
    // Lamps repaint at the display's pace, not at every change of state.
    QTimer repaintTimer_;
};

} // namespace quorvel::serial
