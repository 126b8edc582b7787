// The port's requests and blocking calls: reads, writes, purging and the line queries.
#include "ComPort.h"

#include <cerrno>
#include <vector>

namespace quorvel::serial {

namespace {

// Reads of up to this many bytes need no buffer from the heap.
constexpr int kSmallRead = 64;

} // namespace

// A closed port has no device; a call that needs one fails as the system would on a closed
// descriptor.
SerialDevice& TCustomComPort::DeviceOr(int code) {
    if (!device_) throw EComPort(code, EBADF);
    return *device_;
}

void TCustomComPort::StartRead(void* buffer, int count, AsyncRequest* request) {
    if (!request) throw EComPort(CError_InvalidAsync);
    request->kind = AsyncRequest::Kind::Read;
    SerialDevice& device = DeviceOr(CError_ReadFailed);
    request->result = device.Read(buffer, static_cast<std::size_t>(std::max(count, 0)));
    // Bytes read before an error are kept; the error shows at the next read.
    if (request->result.error != 0 && request->result.count == 0)
        throw EComPort(CError_ReadFailed, request->result.error);
}

void TCustomComPort::StartWrite(const void* buffer, int count, AsyncRequest* request) {
    if (!request) throw EComPort(CError_InvalidAsync);
    request->kind = AsyncRequest::Kind::Write;
    request->writeData = static_cast<const char*>(buffer);
    SerialDevice& device = DeviceOr(CError_WriteFailed);
    request->result = device.Write(buffer, static_cast<std::size_t>(std::max(count, 0)));
    if (request->result.error != 0 && request->result.count == 0)
        throw EComPort(CError_WriteFailed, request->result.error);
    NotifyLinks(&TComLink::OnTx, true);
}

// The transfer itself is done by the start: a Linux device needs no completion event. What
// is left is the word to the links.
int TCustomComPort::WaitRequest(AsyncRequest* request) {
    if (!request) throw EComPort(CError_InvalidAsync);
    const int count = static_cast<int>(request->result.count);
    if (request->kind == AsyncRequest::Kind::Read) {
        DeviceOr(CError_ReadFailed);
        // The queue is asked only when someone listens for reception going off.
        if (AnyLinkHas(&TComLink::OnRx) && QueuedInputCount() == 0)
            NotifyLinks(&TComLink::OnRx, false);
    } else if (request->writeData && count > 0) {
        // Only the bytes that went out, when a timeout cut the write short.
        NotifyLinks(&TComLink::OnTxBuf, request->writeData, count);
    }
    return count;
}

int TCustomComPort::ReadText(QString& text, int count) {
    count = std::max(count, 0);
    char small[kSmallRead];
    std::vector<char> large;
    char* buffer = small;
    if (count > kSmallRead) {
        large.resize(static_cast<std::size_t>(count));
        buffer = large.data();
    }
    AsyncRequest request(AsyncRequest::Kind::Read);
    if (count > 0) StartRead(buffer, count, &request);
    const int got = WaitRequest(&request);
    text.resize(got);
    QChar* characters = text.data();
    for (int index = 0; index < got; ++index)
        characters[index] = QChar(static_cast<uchar>(buffer[index]));
    return got;
}

int TCustomComPort::ReadBytes(void* buffer, int count) {
    AsyncRequest request(AsyncRequest::Kind::Read);
    StartRead(buffer, count, &request);
    return WaitRequest(&request);
}

int TCustomComPort::WriteBytes(const void* buffer, int count) {
    if (!connected_ || count <= 0) return 0;
    AsyncRequest request(AsyncRequest::Kind::Write);
    StartWrite(buffer, count, &request);
    return WaitRequest(&request);
}

int TCustomComPort::WriteText(const QString& text) {
    if (text.isEmpty()) return 0;
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t character = text[index].unicode();
        // One byte per character: anything else would go out as a different byte.
        if (character > 0xFF) throw EComPort(CError_WriteFailed, EINVAL);
        bytes[index] = static_cast<char>(character);
    }
    AsyncRequest request(AsyncRequest::Kind::Write);
    StartWrite(bytes.constData(), static_cast<int>(bytes.size()), &request);
    return WaitRequest(&request);
}

void TCustomComPort::PurgeQueues(bool input, bool output) {
    unsigned what = 0;
    if (input) what |= purge::kClearReceive;
    if (output) what |= purge::kClearTransmit;
    if (const int error = DeviceOr(CError_PurgeFailed).Purge(what))
        throw EComPort(CError_PurgeFailed, error);
}

void TCustomComPort::AbortTransfers() {
    const unsigned what = purge::kAbortTransmit | purge::kAbortReceive;
    if (const int error = DeviceOr(CError_PurgeFailed).Purge(what))
        throw EComPort(CError_PurgeFailed, error);
}

int TCustomComPort::QueuedInputCount() {
    int count = 0;
    if (const int error = DeviceOr(CError_ClearComFailed).QueuedInput(count))
        throw EComPort(CError_ClearComFailed, error);
    return count;
}

TComSignals TCustomComPort::ModemSignals() {
    unsigned bits = 0;
    if (const int error = DeviceOr(CError_ModemStatFailed).ModemStatus(bits))
        throw EComPort(CError_ModemStatFailed, error);
    TComSignals lines;
    if (bits & modem::kCts) lines |= csCTS;
    if (bits & modem::kDsr) lines |= csDSR;
    if (bits & modem::kRing) lines |= csRing;
    if (bits & modem::kRlsd) lines |= csRLSD;
    return lines;
}

} // namespace quorvel::serial
