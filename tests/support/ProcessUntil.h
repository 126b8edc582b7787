#pragma once
// Waiting for what another thread hands over through the event loop: the test's own thread
// processes messages until a condition holds or the patience runs out.

#include "Patience.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <functional>

namespace quorvel::testing {

inline bool ProcessUntil(const std::function<bool()>& condition,
                         std::chrono::milliseconds patience = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    return true;
}

} // namespace quorvel::testing
