#pragma once
// The window's three signal lamps, "Conn", "Rx" and "Tx": hidden indicators follow the port,
// and the images show their state at the display's pace, however fast the line flickers.
// Every change lets the window process its pending messages, which keeps it live while a
// handshake or an upload waits for the board.

#include "CPortCtl.h"

#include <QObject>

#include <functional>
#include <vector>

class QTimer;
class QWidget;

namespace quorvel::ui {
class TLampImage;
} // namespace quorvel::ui

namespace quorvel::app {

class TSignalLamps : public QObject {
public:
    using ChangeHandler = std::function<void(QObject* sender, int state)>;

    explicit TSignalLamps(QObject* owner);

    // A hidden indicator of `signal`, owned by `owner`, whose changes go to `handler`; it
    // follows its port once bound. The lamps object is made after the indicators, so that it
    // outlives them when their owner is torn down.
    static serial::TComLed* MakeIndicator(QWidget* owner, const char* name,
                                          serial::TComLed::TComLedSignal signal,
                                          serial::TComLed::TLedKind kind, ChangeHandler handler);
    static void Bind(serial::TComLed* indicator, serial::TComPort* port);

    // The wish is kept at once, the image follows at the next repaint tick.
    void Show(ui::TLampImage* lamp, int state);

private:
    void Apply();

    struct Wish {
        ui::TLampImage* lamp;
        bool on;
    };
    QTimer* timer_;
    std::vector<Wish> wishes_;
};

} // namespace quorvel::app
