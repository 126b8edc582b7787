#pragma once
// A serial device that fails on request, for the failures no real device shows at will.
// The opener keeps the state of the device it handed out, so a test sees it after closing.

#include "SerialDevice.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace quorvel::serial::testing {

struct FakeDeviceState {
    // errno to give; 0 lets the operation succeed.
    int openError = 0;
    int queueSizesError = 0;
    int lineSettingsError = 0;
    int timeoutsError = 0;
    int readError = 0;
    int writeError = 0;
    int purgeError = 0;
    int queuedInputError = 0;
    int modemError = 0;

    unsigned modemBits = 0;
    std::deque<char> input;            // what reads take
    std::string written;               // what writes gave
    std::size_t writeLimit = SIZE_MAX; // a write takes at most this many bytes
    std::size_t readBeforeError = 0;   // with readError, this many bytes come before it

    int opens = 0;
    int closes = 0;
    bool open = false;
    std::vector<DeviceControlBlock> lineSettings;
    std::vector<CommTimeouts> timeouts;
    std::vector<std::pair<int, int>> queueSizes;
    std::vector<unsigned> purges;
    std::vector<std::string> openedNames;
};

class FakeSerialDevice final : public SerialDevice {
public:
    explicit FakeSerialDevice(std::shared_ptr<FakeDeviceState> state) : state_(std::move(state)) {
        state_->open = true;
        ++state_->opens;
    }
    ~FakeSerialDevice() override {
        state_->open = false;
        ++state_->closes;
    }

    int SetQueueSizes(int inputSize, int outputSize) override {
        state_->queueSizes.emplace_back(inputSize, outputSize);
        return state_->queueSizesError;
    }
    int SetLineSettings(const DeviceControlBlock& record) override {
        state_->lineSettings.push_back(record);
        return state_->lineSettingsError;
    }
    int SetTimeouts(const CommTimeouts& timeouts) override {
        state_->timeouts.push_back(timeouts);
        return state_->timeoutsError;
    }
    TransferResult Read(void* buffer, std::size_t count) override {
        auto* bytes = static_cast<char*>(buffer);
        std::size_t done = 0;
        const std::size_t limit = state_->readError ? state_->readBeforeError : count;
        while (done < count && done < limit && !state_->input.empty()) {
            bytes[done++] = state_->input.front();
            state_->input.pop_front();
        }
        if (state_->readError) state_->readBeforeError -= done;
        return {done, state_->readError};
    }
    TransferResult Write(const void* data, std::size_t count) override {
        if (state_->writeError) return {0, state_->writeError};
        const std::size_t taken = std::min(count, state_->writeLimit);
        state_->written.append(static_cast<const char*>(data), taken);
        return {taken, 0};
    }
    int Purge(unsigned what) override {
        state_->purges.push_back(what);
        return state_->purgeError;
    }
    int QueuedInput(int& count) override {
        count = static_cast<int>(state_->input.size());
        return state_->queuedInputError;
    }
    int ModemStatus(unsigned& bits) override {
        bits = state_->modemBits;
        return state_->modemError;
    }

private:
    std::shared_ptr<FakeDeviceState> state_;
};

class FakeDeviceOpener final : public SerialDeviceOpener {
public:
    std::shared_ptr<FakeDeviceState> state = std::make_shared<FakeDeviceState>();

    std::unique_ptr<SerialDevice> Open(const QString& port, int& error) override {
        state->openedNames.push_back(port.toStdString());
        error = state->openError;
        if (error) return nullptr;
        return std::make_unique<FakeSerialDevice>(state);
    }
};

} // namespace quorvel::serial::testing
