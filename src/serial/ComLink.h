#pragma once
// A listener registered with a port: one hook per kind of notification, each empty or set.
// The signal lights hang on these.

#include <functional>

namespace quorvel::serial {

class TComLink {
public:
    using SignalHook = std::function<void(bool on)>;
    using DataHook = std::function<void(const char* buffer, int count)>;
    using NotifyHook = std::function<void()>;

    SignalHook OnConn;    // on after opening, off after closing
    DataHook OnRxBuf;     // received data read for listeners
    DataHook OnTxBuf;     // the bytes of a completed write
    NotifyHook OnTxEmpty; // the output queue was sent
    NotifyHook OnRxFlag;  // the event character arrived
    SignalHook OnCTSChange;
    SignalHook OnDSRChange;
    SignalHook OnRLSDChange;
    NotifyHook OnRing;
    SignalHook OnTx; // on when a write has started
    SignalHook OnRx; // off when a read leaves the input queue empty
};

} // namespace quorvel::serial
