#pragma once
// Ends the whole test program when a call that must complete has not done so within its bound:
// a deadlock would otherwise hang the suite.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace quorvel::serial::testing {

class DeadlockWatch {
public:
    explicit DeadlockWatch(std::chrono::seconds bound = std::chrono::seconds(20))
        : watcher_([this, bound] {
              const auto deadline = std::chrono::steady_clock::now() + bound;
              while (!done_.load()) {
                  if (std::chrono::steady_clock::now() > deadline) {
                      ADD_FAILURE() << "deadlock";
                      std::abort();
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
              }
          }) {}
    ~DeadlockWatch() {
        done_.store(true);
        watcher_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread watcher_;
};

} // namespace quorvel::serial::testing
