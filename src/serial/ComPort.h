#pragma once
// The program's serial port: TCustomComPort carries the state and the behaviour, TComPort
// offers the settings as named properties. Opens one device, keeps the line settings, queue
// sizes and timeouts and writes them to the open device, reads and writes, purges, and turns
// every failure into an EComPort. Registered links hear of connection, transmit and receive.

#include "ComErrors.h"
#include "ComLink.h"
#include "ComSettings.h"
#include "ComVocabulary.h"
#include "SerialDevice.h"

#include <QFlags>
#include <QObject>
#include <QString>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace quorvel::serial {

class TComThread;

enum TComSignal { csCTS = 0x1, csDSR = 0x2, csRing = 0x4, csRLSD = 0x8 };
Q_DECLARE_FLAGS(TComSignals, TComSignal)

class TCustomComPort : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    using TRxCharEvent = std::function<void(QObject* sender, int count)>;
    using TRxBufEvent = std::function<void(QObject* sender, const char* buffer, int count)>;
    using TComSignalEvent = std::function<void(QObject* sender, bool on)>;

    explicit TCustomComPort(QObject* owner = nullptr);
    ~TCustomComPort() override; // closes an open port; never throws

    // Being loaded: setters only record; a Connected recorded as true opens at Loaded(),
    // whose error passes to the caller (the window's guard reports it).
    void BeginLoading() { loading_ = true; }
    void Loaded();
    bool IsLoading() const { return loading_; }

    bool Connected() const { return connected_; }
    void SetConnected(bool value);
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value);
    qint32 CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(qint32 value);
    QString Port() const { return port_; }
    void SetPort(const QString& value);
    TComParity* Parity() const { return parity_; }
    void SetParity(TComParity* value) { parity_->Assign(value); }
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits value);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool value);
    char EventChar() const { return eventChar_; }
    void SetEventChar(char value);
    TComEvents Events() const { return events_; }
    void SetEvents(TComEvents value) { events_ = value; } // takes effect at the next opening
    TComBuffer* Buffer() const { return buffer_; }
    void SetBuffer(TComBuffer* value) { buffer_->Assign(value); }
    TComFlowControl* FlowControl() const { return flowControl_; }
    void SetFlowControl(TComFlowControl* value) { flowControl_->Assign(value); }
    TComTimeouts* Timeouts() const { return timeouts_; }
    void SetTimeouts(TComTimeouts* value) { timeouts_->Assign(value); }
    TSyncMethod SyncMethod() const { return syncMethod_; }
    void SetSyncMethod(TSyncMethod value); // code 14 while open

    TNotifyEvent OnAfterOpen, OnAfterClose, OnBeforeOpen, OnBeforeClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
    TComSignalEvent OnCTSChange, OnDSRChange, OnRLSDChange;

    // With the default timeouts a read returns at once with what is queued, possibly nothing.
    // The text holds one character per byte (Latin-1).
    int ReadText(QString& text, int count);
    int ReadBytes(void* buffer, int count);
    int WriteBytes(const void* buffer, int count); // 0 on a closed port
    int WriteText(const QString& text);            // a character above 0xFF is refused, code 2
    void PurgeQueues(bool input, bool output);
    void AbortTransfers();
    int QueuedInputCount();
    TComSignals ModemSignals();

    void BeginSettingsUpdate() { ++updateCount_; }
    void EndSettingsUpdate();

    void AddLink(TComLink* link);    // code 18 when already registered
    void RemoveLink(TComLink* link); // code 18 when not registered
    bool HasReceivedDataLink() const { return receivedDataLink_; }

    // The hand-over of the event thread: runs on the user-interface thread. A batch of a thread
    // that is no longer the port's is dropped.
    void ProcessLineEvents(const TComThread* from, TComEvents events);
    const TComThread* EventThread() const { return eventThread_.get(); }

    // Each does nothing unless the port is open, no settings update runs and it is not loading.
    virtual void ApplyAllSettings();
    virtual void ApplyQueueSizes();      // code 9
    virtual void ApplyLineSettings();    // code 7
    virtual void ApplyTimeoutSettings(); // code 8

    // The records the settings make, as the device is given them.
    DeviceControlBlock BuildDeviceControlBlock() const;
    CommTimeouts BuildTimeouts() const;

    // Where devices come from; the system's by default. Takes effect at the next opening.
    void SetDeviceOpener(std::shared_ptr<SerialDeviceOpener> opener);

protected:
    // The record of one read or write: made, started, waited for and freed by one call.
    struct AsyncRequest {
        enum class Kind { Read, Write };
        explicit AsyncRequest(Kind requestKind) : kind(requestKind) {}
        Kind kind;
        const char* writeData = nullptr; // the caller's bytes, alive for the whole call
        TransferResult result;
    };

    virtual void CreatePortHandle(); // code 1
    virtual void DestroyPortHandle();
    void OpenPort();
    void ClosePort();

    void StartRead(void* buffer, int count, AsyncRequest* request);
    void StartWrite(const void* buffer, int count, AsyncRequest* request);
    int WaitRequest(AsyncRequest* request);

    virtual void DoBeforeOpen();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoAfterClose();
    virtual void DoCTSChange(bool on);
    virtual void DoDSRChange(bool on);
    virtual void DoRLSDChange(bool on);
    virtual void DoRxChar(int count);
    virtual void DoRxBuf(const char* buffer, int count);
    virtual void DoTxEmpty();
    virtual void DoBreak();
    virtual void DoRing();
    virtual void DoRxFlag();
    virtual void DoRx80Full();

    void StartEventThread();
    void StopEventThread();
    void DispatchLineEvents(TComEvents events);

private:
    void ReceptionEvent();
    void ModemLineEvent(TComSignal signal, TComLink::SignalHook TComLink::*hook,
                        void (TCustomComPort::*raise)(bool));
    void WaitForThread(TComThread& thread);
    void ReapRetiredThreads(bool all);
    bool CanApply() const;
    SerialDevice& DeviceOr(int code);
    void TellModemLines();
    template <typename Field> void ChangeLineSetting(Field& field, Field value);
    template <typename Hook, typename... Arguments>
    void NotifyLinks(Hook TComLink::*hook, Arguments... arguments);
    template <typename Hook> bool AnyLinkHas(Hook TComLink::*hook) const;

    bool connected_ = false;
    TBaudRate baudRate_ = br9600;
    qint32 customBaudRate_ = 9600;
    QString port_ = QStringLiteral("COM1");
    TStopBits stopBits_ = sbOneStopBit;
    TDataBits dataBits_ = dbEight;
    bool discardNull_ = false;
    char eventChar_ = 0;
    TComEvents events_ = TComEvents::All();
    TSyncMethod syncMethod_ = smThreadSync;
    TComParity* parity_;
    TComFlowControl* flowControl_;
    TComTimeouts* timeouts_;
    TComBuffer* buffer_;

    bool loading_ = false;
    int updateCount_ = 0;
    bool receivedDataLink_ = false;
    std::vector<TComLink*> links_;
    std::shared_ptr<SerialDeviceOpener> opener_;
    std::shared_ptr<SerialDevice> device_;
    std::unique_ptr<TComThread> eventThread_;
    // Threads stopped from inside their own hand-over: they end once it has unwound.
    std::vector<std::unique_ptr<TComThread>> retiredThreads_;
    int handOverDepth_ = 0;
};

// The port with its settings as named properties, found and set by name through QMetaObject.
class TComPort : public TCustomComPort {
    Q_OBJECT
    Q_PROPERTY(bool Connected READ Connected WRITE SetConnected)
    Q_PROPERTY(quorvel::serial::TBaudRate BaudRate READ BaudRate WRITE SetBaudRate)
    Q_PROPERTY(QString Port READ Port WRITE SetPort)
    Q_PROPERTY(quorvel::serial::TComParity* Parity READ Parity WRITE SetParity)
    Q_PROPERTY(quorvel::serial::TStopBits StopBits READ StopBits WRITE SetStopBits)
    Q_PROPERTY(quorvel::serial::TDataBits DataBits READ DataBits WRITE SetDataBits)
    Q_PROPERTY(bool DiscardNull READ DiscardNull WRITE SetDiscardNull)
    Q_PROPERTY(char EventChar READ EventChar WRITE SetEventChar)
    Q_PROPERTY(quorvel::serial::TComEvents Events READ Events WRITE SetEvents)
    Q_PROPERTY(quorvel::serial::TComBuffer* Buffer READ Buffer WRITE SetBuffer)
    Q_PROPERTY(quorvel::serial::TComFlowControl* FlowControl READ FlowControl WRITE SetFlowControl)
    Q_PROPERTY(quorvel::serial::TComTimeouts* Timeouts READ Timeouts WRITE SetTimeouts)
    Q_PROPERTY(quorvel::serial::TSyncMethod SyncMethod READ SyncMethod WRITE SetSyncMethod)
public:
    using TCustomComPort::TCustomComPort;
};

// By index and with a copy of the hook: a hook may remove links or reassign itself.
template <typename Hook, typename... Arguments>
void TCustomComPort::NotifyLinks(Hook TComLink::*hook, Arguments... arguments) {
    for (std::size_t index = 0; index < links_.size(); ++index) {
        const Hook call = links_[index]->*hook;
        if (call) call(arguments...);
    }
}

template <typename Hook> bool TCustomComPort::AnyLinkHas(Hook TComLink::*hook) const {
    return std::any_of(links_.begin(), links_.end(),
                       [hook](const TComLink* link) { return bool(link->*hook); });
}

} // namespace quorvel::serial

Q_DECLARE_OPERATORS_FOR_FLAGS(quorvel::serial::TComSignals)
