#include "StopRequest.h"

#include <csignal>
#include <initializer_list>

namespace quorvel::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void RequestStop(int) {
    stopRequested = 1;
}

} // namespace

// No SA_RESTART: a read that waits on the device returns at once and the request is seen.
void StopOnSignals() {
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM})
        sigaction(signal, &action, nullptr);
}

bool StopRequested() {
    return stopRequested != 0;
}

} // namespace quorvel::cli
