#pragma once
// The event thread of an open port: waits for the line events of the port's Events and hands
// each batch to the user-interface thread, blocking until it has been processed there.

#include "ComVocabulary.h"
#include "SerialDevice.h"
#include "UniqueDescriptor.h"

#include <QThread>

#include <atomic>
#include <memory>

namespace quorvel::serial {

class TCustomComPort;

class TComThread : public QThread {
    Q_OBJECT
public:
    // Shares the device, so that a thread the port had to leave running (closed from inside
    // one of its own hand-overs) never waits on a closed descriptor. Code 1 when the stop
    // signal cannot be made.
    TComThread(TCustomComPort* port, std::shared_ptr<SerialDevice> device, TComEvents events);
    ~TComThread() override; // stops and waits; the port has run the pending hand-overs before

    // Gives the device the event mask and starts the loop.
    void Begin();
    // Asks the loop to end; it does at its next wait or after the hand-over it is in.
    void RequestStop();
    // The set last reported; read from any thread.
    TComEvents Events() const { return EventsFromMask(lastMask_.load()); }

protected:
    void run() override;

private:
    void WaitAndHandOver();
    void HandOver(TComEvents events);

    TCustomComPort* port_;
    std::shared_ptr<SerialDevice> device_;
    TComEvents watched_;
    std::atomic<std::uint32_t> lastMask_{0};
    common::UniqueDescriptor stopDescriptor_;
    std::atomic<bool> stopRequested_{false};
};

} // namespace quorvel::serial
