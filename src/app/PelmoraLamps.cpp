// The window's handlers of its three signal indicators: each shows its lamp.
#include "Pelmora.h"

#include "SignalLamps.h"

#include "CPort.h"

namespace quorvel::app {

void TPelmora::BuildSignalLamps() {
    using serial::TComLed;
    const auto handler = [this](void (TPelmora::*change)(QObject*, int)) {
        return [this, change](QObject* sender, int state) { (this->*change)(sender, state); };
    };
    ComLedConnect =
        TSignalLamps::MakeIndicator(this, "ComLedConnect", TComLed::lsConn, TComLed::lkBlueLight,
                                    handler(&TPelmora::ComLedConnectChange));
    ComLedRx = TSignalLamps::MakeIndicator(this, "ComLedRx", TComLed::lsRx, TComLed::lkRedLight,
                                           handler(&TPelmora::ComLedRxChange));
    ComLedTx = TSignalLamps::MakeIndicator(this, "ComLedTx", TComLed::lsTx, TComLed::lkGreenLight,
                                           handler(&TPelmora::ComLedTxChange));
    signalLamps_ = new TSignalLamps(this);
}

void TPelmora::BindSignalLamps() {
    for (serial::TComLed* led : {ComLedConnect, ComLedRx, ComLedTx})
        TSignalLamps::Bind(led, ComPort1);
}

void TPelmora::ComLedConnectChange(QObject*, int state) {
    signalLamps_->Show(ConnectedOn, state);
}

void TPelmora::ComLedRxChange(QObject*, int state) {
    signalLamps_->Show(RxOn, state);
}

void TPelmora::ComLedTxChange(QObject*, int state) {
    signalLamps_->Show(TxOn, state);
}

} // namespace quorvel::app
