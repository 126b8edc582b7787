#include "ComThread.h"

#include "ComErrors.h"
#include "ComPort.h"

#include <exception>
#include <sys/eventfd.h>

namespace quorvel::serial {

TComThread::TComThread(TCustomComPort* port, std::shared_ptr<SerialDevice> device,
                       TComEvents events)
    : port_(port), device_(std::move(device)), watched_(events),
      stopDescriptor_(eventfd(0, EFD_CLOEXEC)) {
    if (!stopDescriptor_) throw EComPort(CError_OpenFailed, errno);
}

TComThread::~TComThread() {
    RequestStop();
    wait();
}

void TComThread::Begin() {
    device_->SetEventMask(EventsToMask(watched_));
    start();
}

void TComThread::RequestStop() {
    if (stopRequested_.exchange(true)) return;
    eventfd_write(stopDescriptor_.Get(), 1);
}

// An error, whether of the wait or handed back from the processing, ends the loop silently:
// no further line events until the port is opened again.
void TComThread::run() {
    try {
        while (!stopRequested_.load())
            WaitAndHandOver();
    } catch (...) {
    }
    device_->SetEventMask(0);
    device_->Purge(purge::kClearTransmit | purge::kClearReceive);
    // A port closed from inside a hand-over has let go of the device: it closes here.
    device_.reset();
}

void TComThread::WaitAndHandOver() {
    std::uint32_t mask = 0;
    if (const int error = device_->WaitLineEvents(stopDescriptor_.Get(), mask))
        throw EComPort(CError_WaitFailed, error);
    if (mask == 0 || stopRequested_.load()) return;
    lastMask_.store(mask);
    HandOver(EventsFromMask(mask));
}

// Blocks until the user-interface thread has processed the batch: in its main loop, inside any
// nested processing of messages, or while a closing port waits for this thread to end.
void TComThread::HandOver(TComEvents events) {
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        port_,
        [this, events, &failure] {
            try {
                port_->ProcessLineEvents(this, events);
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure) std::rethrow_exception(failure);
}

} // namespace quorvel::serial
