#include "ComPort.h"

#include "ComThread.h"

#include <algorithm>
#include <cerrno>
#include <limits>

namespace quorvel::serial {

TCustomComPort::TCustomComPort(QObject* owner)
    : QObject(owner), parity_(new TComParity(this)), flowControl_(new TComFlowControl(this)),
      timeouts_(new TComTimeouts(this)), buffer_(new TComBuffer(this)),
      opener_(SystemDeviceOpener()) {}

// A handler's error cannot leave a destructor; the descriptor is released whatever happens.
TCustomComPort::~TCustomComPort() {
    try {
        if (device_) ClosePort();
    } catch (...) {
    }
    try {
        StopEventThread();
    } catch (...) {
    }
    ReapRetiredThreads(true);
    device_.reset();
    connected_ = false;
}

void TCustomComPort::Loaded() {
    loading_ = false;
    if (!connected_) return;
    connected_ = false;
    OpenPort();
}

void TCustomComPort::SetConnected(bool value) {
    if (loading_) {
        connected_ = value;
        return;
    }
    if (value == connected_) return;
    if (value)
        OpenPort();
    else
        ClosePort();
}

void TCustomComPort::SetPort(const QString& value) {
    if (value == port_) return;
    port_ = value;
    if (connected_ && !loading_) {
        ClosePort();
        OpenPort();
    }
}

template <typename Field> void TCustomComPort::ChangeLineSetting(Field& field, Field value) {
    if (field == value) return;
    field = value;
    ApplyLineSettings();
}

void TCustomComPort::SetBaudRate(TBaudRate value) {
    ChangeLineSetting(baudRate_, value);
}
void TCustomComPort::SetCustomBaudRate(qint32 value) {
    ChangeLineSetting(customBaudRate_, value);
}
void TCustomComPort::SetStopBits(TStopBits value) {
    ChangeLineSetting(stopBits_, value);
}
void TCustomComPort::SetDataBits(TDataBits value) {
    ChangeLineSetting(dataBits_, value);
}
void TCustomComPort::SetDiscardNull(bool value) {
    ChangeLineSetting(discardNull_, value);
}
void TCustomComPort::SetEventChar(char value) {
    ChangeLineSetting(eventChar_, value);
}

void TCustomComPort::SetSyncMethod(TSyncMethod value) {
    if (value == syncMethod_) return;
    if (connected_ && !loading_) throw EComPort(CError_ConnChangeProp);
    syncMethod_ = value;
}

void TCustomComPort::SetDeviceOpener(std::shared_ptr<SerialDeviceOpener> opener) {
    opener_ = opener ? std::move(opener) : SystemDeviceOpener();
}

// Opening and closing. Any notification may run a nested handler that closes the port (or
// closes and reopens it), so every step after one re-checks what it is about to use.

void TCustomComPort::OpenPort() {
    DoBeforeOpen();
    if (connected_) return; // a handler of the notification opened it already
    // A thread left running by a close from inside its hand-over still holds the device; it
    // can be waited for unless that hand-over is still on the stack.
    ReapRetiredThreads(handOverDepth_ == 0);
    CreatePortHandle();
    connected_ = true;
    try {
        ApplyAllSettings();
        StartEventThread();
    } catch (...) {
        DestroyPortHandle();
        connected_ = false;
        throw;
    }
    NotifyLinks(&TComLink::OnConn, true);
    if (!connected_) return;
    DoAfterOpen();
    TellModemLines();
}

void TCustomComPort::TellModemLines() {
    struct Line {
        TComSignal signal;
        TComLink::SignalHook TComLink::*hook;
        void (TCustomComPort::*raise)(bool);
    };
    static const Line lines[] = {
        {csCTS, &TComLink::OnCTSChange, &TCustomComPort::DoCTSChange},
        {csDSR, &TComLink::OnDSRChange, &TCustomComPort::DoDSRChange},
        {csRLSD, &TComLink::OnRLSDChange, &TCustomComPort::DoRLSDChange},
    };
    for (const Line& line : lines) {
        if (!connected_) return;
        const bool on = ModemSignals().testFlag(line.signal);
        NotifyLinks(line.hook, on);
        (this->*line.raise)(on);
    }
}

void TCustomComPort::ClosePort() {
    NotifyLinks(&TComLink::OnCTSChange, false);
    NotifyLinks(&TComLink::OnDSRChange, false);
    NotifyLinks(&TComLink::OnRLSDChange, false);
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
    DoBeforeClose();
    if (!connected_) return; // a handler of the notifications closed it already
    AbortTransfers();        // on failure the port stays open
    StopEventThread();
    // A hand-over run while the thread ended may have closed the port, or closed and reopened it.
    if (!connected_ || eventThread_) return;
    DestroyPortHandle();
    connected_ = false;
    NotifyLinks(&TComLink::OnConn, false);
    DoAfterClose();
}

void TCustomComPort::CreatePortHandle() {
    int error = 0;
    device_ = opener_->Open(port_, error);
    if (!device_) throw EComPort(CError_OpenFailed, error ? error : ENODEV);
}

void TCustomComPort::DestroyPortHandle() {
    device_.reset();
}

// Applying settings

bool TCustomComPort::CanApply() const {
    return device_ && connected_ && updateCount_ == 0 && !loading_;
}

void TCustomComPort::ApplyAllSettings() {
    ApplyQueueSizes();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

void TCustomComPort::ApplyQueueSizes() {
    if (!CanApply()) return;
    if (const int error = device_->SetQueueSizes(buffer_->InputSize(), buffer_->OutputSize()))
        throw EComPort(CError_SetupComFailed, error);
}

void TCustomComPort::ApplyLineSettings() {
    if (!CanApply()) return;
    if (const int error = device_->SetLineSettings(BuildDeviceControlBlock()))
        throw EComPort(CError_SetStateFailed, error);
}

void TCustomComPort::ApplyTimeoutSettings() {
    if (!CanApply()) return;
    if (const int error = device_->SetTimeouts(BuildTimeouts()))
        throw EComPort(CError_TimeoutsFailed, error);
}

void TCustomComPort::EndSettingsUpdate() {
    if (updateCount_ <= 0) return;
    if (--updateCount_ == 0) ApplyAllSettings();
}

DeviceControlBlock TCustomComPort::BuildDeviceControlBlock() const {
    DeviceControlBlock record;
    record.DCBlength = sizeof(DeviceControlBlock);
    record.BaudRate = baudRate_ == brCustom
                          ? static_cast<std::uint32_t>(std::max<qint32>(customBaudRate_, 0))
                          : BaudRateValue(baudRate_);

    const TComFlowControl& flow = *flowControl_;
    std::uint32_t flags = dcb::kBinary;
    if (discardNull_) flags |= dcb::kDiscardNull;
    if (flow.OutCTSFlow()) flags |= dcb::kOutCtsFlow;
    if (flow.OutDSRFlow()) flags |= dcb::kOutDsrFlow;
    flags |= DTRFlowControlFlags(flow.ControlDTR()) | RTSFlowControlFlags(flow.ControlRTS());
    if (flow.XonXoffOut()) flags |= dcb::kOutX;
    if (flow.XonXoffIn()) flags |= dcb::kInX;
    if (flow.DSRSensitivity()) flags |= dcb::kDsrSensitivity;
    if (flow.TxContinueOnXoff()) flags |= dcb::kTxContinueOnXoff;
    const bool replace = parity_->Check() && parity_->Replace();
    if (parity_->Check()) flags |= dcb::kParityCheck;
    if (replace) flags |= dcb::kErrorChar;
    record.flags = flags;

    // The limit is a 16-bit field: a queue size beyond it must not wrap round to a small one.
    const qint32 limit = std::clamp<qint32>(buffer_->InputSize() / 4, 0, 0xFFFF);
    record.XonLim = static_cast<std::uint16_t>(limit);
    record.XoffLim = record.XonLim;
    record.ByteSize = DataBitsValue(dataBits_);
    record.Parity = ParityValue(parity_->Bits());
    record.StopBits = StopBitsValue(stopBits_);
    record.XonChar = flow.XonChar();
    record.XoffChar = flow.XoffChar();
    record.ErrorChar = replace ? parity_->ReplaceChar() : 0;
    record.EvtChar = eventChar_;
    return record;
}

CommTimeouts TCustomComPort::BuildTimeouts() const {
    const auto bits = [](qint32 value) { return static_cast<std::uint32_t>(value); };
    return {bits(timeouts_->ReadInterval()), bits(timeouts_->ReadTotalMultiplier()),
            bits(timeouts_->ReadTotalConstant()), bits(timeouts_->WriteTotalMultiplier()),
            bits(timeouts_->WriteTotalConstant())};
}

// Links

void TCustomComPort::AddLink(TComLink* link) {
    if (!link || std::find(links_.begin(), links_.end(), link) != links_.end())
        throw EComPort(CError_RegFailed);
    links_.push_back(link);
    receivedDataLink_ = AnyLinkHas(&TComLink::OnRxBuf);
}

void TCustomComPort::RemoveLink(TComLink* link) {
    const auto found = std::find(links_.begin(), links_.end(), link);
    if (found == links_.end()) throw EComPort(CError_RegFailed);
    links_.erase(found);
    receivedDataLink_ = AnyLinkHas(&TComLink::OnRxBuf);
}

// Event raisers

void TCustomComPort::DoBeforeOpen() {
    if (OnBeforeOpen) OnBeforeOpen(this);
}
void TCustomComPort::DoAfterOpen() {
    if (OnAfterOpen) OnAfterOpen(this);
}
void TCustomComPort::DoBeforeClose() {
    if (OnBeforeClose) OnBeforeClose(this);
}
void TCustomComPort::DoAfterClose() {
    if (OnAfterClose) OnAfterClose(this);
}
void TCustomComPort::DoCTSChange(bool on) {
    if (OnCTSChange) OnCTSChange(this, on);
}
void TCustomComPort::DoDSRChange(bool on) {
    if (OnDSRChange) OnDSRChange(this, on);
}
void TCustomComPort::DoRLSDChange(bool on) {
    if (OnRLSDChange) OnRLSDChange(this, on);
}
void TCustomComPort::DoRxChar(int count) {
    if (OnRxChar) OnRxChar(this, count);
}
void TCustomComPort::DoRxBuf(const char* buffer, int count) {
    if (OnRxBuf) OnRxBuf(this, buffer, count);
}
void TCustomComPort::DoTxEmpty() {
    if (OnTxEmpty) OnTxEmpty(this);
}
void TCustomComPort::DoBreak() {
    if (OnBreak) OnBreak(this);
}
void TCustomComPort::DoRing() {
    if (OnRing) OnRing(this);
}
void TCustomComPort::DoRxFlag() {
    if (OnRxFlag) OnRxFlag(this);
}
void TCustomComPort::DoRx80Full() {
    if (OnRx80Full) OnRx80Full(this);
}

} // namespace quorvel::serial
