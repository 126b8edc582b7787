// The port's side of the event thread: starting and stopping it, and turning the batches it
// hands over into notifications of the links and the port's own events.
#include "ComPort.h"

#include "ComThread.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <vector>

namespace quorvel::serial {

namespace {

// How often a port that waits for its thread looks for a hand-over to run meanwhile.
constexpr int kHandOverRecheckMs = 1;

} // namespace

// Events that this device cannot watch would give a thread with nothing to report.
void TCustomComPort::StartEventThread() {
    ReapRetiredThreads(false);
    if (events_ == TComEvents{} || !device_ || !device_->CanWatchLineEvents()) return;
    eventThread_ = std::make_unique<TComThread>(this, device_, events_);
    eventThread_->Begin();
}

void TCustomComPort::StopEventThread() {
    if (!eventThread_) return;
    TComThread* thread = eventThread_.get();
    thread->RequestStop();
    if (handOverDepth_ > 0) {
        // Closed from inside one of the thread's own hand-overs: the thread cannot end before
        // this call has unwound. It keeps its share of the device and is reaped later.
        retiredThreads_.push_back(std::move(eventThread_));
        return;
    }
    QThread::yieldCurrentThread();
    // A hand-over run here may close the port itself and so take the thread away.
    while (eventThread_.get() == thread && !thread->wait(QDeadlineTimer(kHandOverRecheckMs)))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    if (eventThread_.get() == thread) eventThread_.reset();
}

// A thread blocked in a hand-over ends only once the hand-over has run.
void TCustomComPort::WaitForThread(TComThread& thread) {
    while (!thread.wait(QDeadlineTimer(kHandOverRecheckMs)))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TCustomComPort::ReapRetiredThreads(bool all) {
    std::vector<std::unique_ptr<TComThread>> keep;
    for (auto& thread : retiredThreads_) {
        if (all) WaitForThread(*thread);
        if (!thread->isFinished()) keep.push_back(std::move(thread));
    }
    retiredThreads_ = std::move(keep);
}

void TCustomComPort::ProcessLineEvents(const TComThread* from, TComEvents events) {
    if (!from || from != eventThread_.get()) return;
    struct Depth {
        int& count;
        explicit Depth(int& depth) : count(depth) { ++count; }
        ~Depth() { --count; }
    } depth(handOverDepth_);
    DispatchLineEvents(events);
}

// In a fixed order. Any notification may run nested handlers that close the port, so each
// step first checks that it is still open.
void TCustomComPort::DispatchLineEvents(TComEvents events) {
    // Line errors (evError) have no query on this system's devices, which never report them.
    if (connected_ && events.Contains(evRxChar)) ReceptionEvent();
    if (connected_ && events.Contains(evTxEmpty)) {
        NotifyLinks(&TComLink::OnTx, false);
        NotifyLinks(&TComLink::OnTxEmpty);
        DoTxEmpty();
    }
    if (connected_ && events.Contains(evBreak)) DoBreak();
    if (connected_ && events.Contains(evRing)) {
        NotifyLinks(&TComLink::OnRing);
        DoRing();
    }
    if (connected_ && events.Contains(evCTS))
        ModemLineEvent(csCTS, &TComLink::OnCTSChange, &TCustomComPort::DoCTSChange);
    if (connected_ && events.Contains(evDSR))
        ModemLineEvent(csDSR, &TComLink::OnDSRChange, &TCustomComPort::DoDSRChange);
    if (connected_ && events.Contains(evRxFlag)) {
        NotifyLinks(&TComLink::OnRxFlag);
        DoRxFlag();
    }
    if (connected_ && events.Contains(evRLSD))
        ModemLineEvent(csRLSD, &TComLink::OnRLSDChange, &TCustomComPort::DoRLSDChange);
    if (connected_ && events.Contains(evRx80Full)) DoRx80Full();
}

// The bytes stay queued for the port's reads unless a link wants the received data.
void TCustomComPort::ReceptionEvent() {
    int count = QueuedInputCount();
    if (count > 0) NotifyLinks(&TComLink::OnRx, true);
    if (!connected_) return;
    if (receivedDataLink_ && count > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(count));
        const int got = ReadBytes(buffer.data(), count);
        DoRxBuf(buffer.data(), got);
        NotifyLinks(&TComLink::OnRxBuf, static_cast<const char*>(buffer.data()), got);
        count = 0;
    }
    if (connected_ && count > 0) DoRxChar(count);
}

void TCustomComPort::ModemLineEvent(TComSignal signal, TComLink::SignalHook TComLink::*hook,
                                    void (TCustomComPort::*raise)(bool)) {
    const bool on = ModemSignals().testFlag(signal);
    NotifyLinks(hook, on);
    (this->*raise)(on);
}

} // namespace quorvel::serial
