// The first thread a process starts makes Qt keep a descriptor of its own for the rest of the
// run. It is started before any test, so that tests counting descriptors count only theirs.

#include <QThread>

#include <gtest/gtest.h>

namespace {

class FirstThread : public ::testing::Environment {
public:
    void SetUp() override {
        QThread* thread = QThread::create([] {});
        thread->start();
        thread->wait();
        delete thread;
    }
};

const auto* const firstThread = ::testing::AddGlobalTestEnvironment(new FirstThread);

} // namespace
