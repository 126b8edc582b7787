#pragma once
// The port's settings groups: parity, flow control, timeouts and queue sizes. Each is owned
// by its port and applies a change to the open device at once, through the port.

#include "ComVocabulary.h"

#include <QObject>

namespace quorvel::serial {

class TCustomComPort;

// What the four groups share: the port they belong to, how a change reaches it, and assignment
// from their own kind.
class TComSettingsGroup : public QObject {
    Q_OBJECT
public:
    // The port's routine that applies a group to the open device.
    using PortApply = void (TCustomComPort::*)();

    // `port` may be null: a free-standing group (a dialog's copy) applies nothing.
    TComSettingsGroup(TCustomComPort* port, PortApply apply, QObject* parent);
    TCustomComPort* ComPort() const { return port_; }

    // Copies every field of `source`, then has the port apply the group once. A source of
    // another class is refused with std::invalid_argument and changes nothing.
    void Assign(const QObject* source);

protected:
    virtual void CopyFrom(const TComSettingsGroup& source) = 0;

    // Every setter: a value that differs is stored and applied at once.
    template <typename Field> void Change(Field& field, Field value) {
        if (field == value) return;
        field = value;
        ApplyToPort();
    }
    void ApplyToPort();

private:
    TCustomComPort* port_;
    PortApply apply_;
};

class TComParity : public TComSettingsGroup {
    Q_OBJECT
    Q_PROPERTY(quorvel::serial::TParityBits Bits READ Bits WRITE SetBits)
    Q_PROPERTY(bool Check READ Check WRITE SetCheck)
    Q_PROPERTY(bool Replace READ Replace WRITE SetReplace)
    Q_PROPERTY(char ReplaceChar READ ReplaceChar WRITE SetReplaceChar)
public:
    explicit TComParity(TCustomComPort* port, QObject* parent = nullptr);

    TParityBits Bits() const { return bits_; }
    bool Check() const { return check_; }
    bool Replace() const { return replace_; }
    char ReplaceChar() const { return replaceChar_; }
    void SetBits(TParityBits value);
    void SetCheck(bool value);
    void SetReplace(bool value);
    void SetReplaceChar(char value);

protected:
    void CopyFrom(const TComSettingsGroup& source) override;

private:
    TParityBits bits_ = prNone;
    bool check_ = false;
    bool replace_ = false;
    char replaceChar_ = 0;
};

class TComFlowControl : public TComSettingsGroup {
    Q_OBJECT
    Q_PROPERTY(quorvel::serial::TFlowControl FlowControl READ FlowControl WRITE SetFlowControl
                   STORED false)
    Q_PROPERTY(bool OutCTSFlow READ OutCTSFlow WRITE SetOutCTSFlow)
    Q_PROPERTY(bool OutDSRFlow READ OutDSRFlow WRITE SetOutDSRFlow)
    Q_PROPERTY(quorvel::serial::TDTRFlowControl ControlDTR READ ControlDTR WRITE SetControlDTR)
    Q_PROPERTY(quorvel::serial::TRTSFlowControl ControlRTS READ ControlRTS WRITE SetControlRTS)
    Q_PROPERTY(bool XonXoffOut READ XonXoffOut WRITE SetXonXoffOut)
    Q_PROPERTY(bool XonXoffIn READ XonXoffIn WRITE SetXonXoffIn)
    Q_PROPERTY(bool DSRSensitivity READ DSRSensitivity WRITE SetDSRSensitivity)
    Q_PROPERTY(bool TxContinueOnXoff READ TxContinueOnXoff WRITE SetTxContinueOnXoff)
    Q_PROPERTY(char XonChar READ XonChar WRITE SetXonChar)
    Q_PROPERTY(char XoffChar READ XoffChar WRITE SetXoffChar)
public:
    explicit TComFlowControl(TCustomComPort* port, QObject* parent = nullptr);

    // The preset is read from the flags and written to them; it is no field of its own.
    TFlowControl FlowControl() const;
    void SetFlowControl(TFlowControl value);

    bool OutCTSFlow() const { return outCTSFlow_; }
    bool OutDSRFlow() const { return outDSRFlow_; }
    TDTRFlowControl ControlDTR() const { return controlDTR_; }
    TRTSFlowControl ControlRTS() const { return controlRTS_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DSRSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    char XonChar() const { return xonChar_; }
    char XoffChar() const { return xoffChar_; }
    void SetOutCTSFlow(bool value);
    void SetOutDSRFlow(bool value);
    void SetControlDTR(TDTRFlowControl value);
    void SetControlRTS(TRTSFlowControl value);
    void SetXonXoffOut(bool value);
    void SetXonXoffIn(bool value);
    void SetDSRSensitivity(bool value);
    void SetTxContinueOnXoff(bool value);
    void SetXonChar(char value);
    void SetXoffChar(char value);

protected:
    void CopyFrom(const TComSettingsGroup& source) override;

private:
    bool outCTSFlow_ = false;
    bool outDSRFlow_ = false;
    TDTRFlowControl controlDTR_ = dtrDisable;
    TRTSFlowControl controlRTS_ = rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    char xonChar_ = 0x11;
    char xoffChar_ = 0x13;
};

// Milliseconds; -1 stands for all bits set.
class TComTimeouts : public TComSettingsGroup {
    Q_OBJECT
    Q_PROPERTY(qint32 ReadInterval READ ReadInterval WRITE SetReadInterval)
    Q_PROPERTY(qint32 ReadTotalMultiplier READ ReadTotalMultiplier WRITE SetReadTotalMultiplier)
    Q_PROPERTY(qint32 ReadTotalConstant READ ReadTotalConstant WRITE SetReadTotalConstant)
    Q_PROPERTY(qint32 WriteTotalMultiplier READ WriteTotalMultiplier WRITE SetWriteTotalMultiplier)
    Q_PROPERTY(qint32 WriteTotalConstant READ WriteTotalConstant WRITE SetWriteTotalConstant)
public:
    explicit TComTimeouts(TCustomComPort* port, QObject* parent = nullptr);

    qint32 ReadInterval() const { return readInterval_; }
    qint32 ReadTotalMultiplier() const { return readTotalMultiplier_; }
    qint32 ReadTotalConstant() const { return readTotalConstant_; }
    qint32 WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    qint32 WriteTotalConstant() const { return writeTotalConstant_; }
    void SetReadInterval(qint32 value);
    void SetReadTotalMultiplier(qint32 value);
    void SetReadTotalConstant(qint32 value);
    void SetWriteTotalMultiplier(qint32 value);
    void SetWriteTotalConstant(qint32 value);

protected:
    void CopyFrom(const TComSettingsGroup& source) override;

private:
    qint32 readInterval_ = -1;
    qint32 readTotalMultiplier_ = 0;
    qint32 readTotalConstant_ = 0;
    qint32 writeTotalMultiplier_ = 100;
    qint32 writeTotalConstant_ = 1000;
};

// Driver queue sizes in bytes; a positive odd size is stored one less.
class TComBuffer : public TComSettingsGroup {
    Q_OBJECT
    Q_PROPERTY(qint32 InputSize READ InputSize WRITE SetInputSize)
    Q_PROPERTY(qint32 OutputSize READ OutputSize WRITE SetOutputSize)
public:
    explicit TComBuffer(TCustomComPort* port, QObject* parent = nullptr);

    qint32 InputSize() const { return inputSize_; }
    qint32 OutputSize() const { return outputSize_; }
    void SetInputSize(qint32 value);
    void SetOutputSize(qint32 value);

protected:
    void CopyFrom(const TComSettingsGroup& source) override;

private:
    qint32 inputSize_ = 1024;
    qint32 outputSize_ = 1024;
};

} // namespace quorvel::serial
