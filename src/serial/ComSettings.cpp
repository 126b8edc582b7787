#include "ComSettings.h"

#include "ComPort.h"

#include <stdexcept>

namespace quorvel::serial {

TComSettingsGroup::TComSettingsGroup(TCustomComPort* port, QObject* parent)
    : QObject(parent ? parent : port), port_(port) {}

void TComSettingsGroup::Assign(const QObject* source) {
    if (!source || !source->inherits(metaObject()->className()))
        throw std::invalid_argument(std::string("Cannot assign ") +
                                    (source ? source->metaObject()->className() : "nothing") +
                                    " to " + metaObject()->className());
    if (source == this) return ApplyToPort();
    CopyFrom(static_cast<const TComSettingsGroup&>(*source));
    ApplyToPort();
}

// Parity

TComParity::TComParity(TCustomComPort* port, QObject* parent) : TComSettingsGroup(port, parent) {}

template <typename Field> void TComParity::Change(Field& field, Field value) {
    if (field == value) return;
    field = value;
    ApplyToPort();
}

void TComParity::SetBits(TParityBits value) {
    Change(bits_, value);
}
void TComParity::SetCheck(bool value) {
    Change(check_, value);
}
void TComParity::SetReplace(bool value) {
    Change(replace_, value);
}
void TComParity::SetReplaceChar(char value) {
    Change(replaceChar_, value);
}

void TComParity::CopyFrom(const TComSettingsGroup& source) {
    const auto& other = static_cast<const TComParity&>(source);
    bits_ = other.bits_;
    check_ = other.check_;
    replace_ = other.replace_;
    replaceChar_ = other.replaceChar_;
}

void TComParity::ApplyToPort() {
    if (ComPort()) ComPort()->ApplyLineSettings();
}

// Flow control

TComFlowControl::TComFlowControl(TCustomComPort* port, QObject* parent)
    : TComSettingsGroup(port, parent) {}

TFlowControl TComFlowControl::FlowControl() const {
    const bool anyXonXoff = xonXoffIn_ || xonXoffOut_;
    if (controlRTS_ == rtsHandshake && outCTSFlow_ && !anyXonXoff) return fcHardware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && xonXoffIn_ && xonXoffOut_) return fcSoftware;
    if (controlRTS_ == rtsDisable && !outCTSFlow_ && !anyXonXoff) return fcNone;
    return fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl value) {
    if (value == fcHardware || value == fcSoftware || value == fcNone) {
        controlRTS_ = rtsDisable;
        outCTSFlow_ = false;
        xonXoffIn_ = false;
        xonXoffOut_ = false;
    }
    if (value == fcHardware) {
        controlRTS_ = rtsHandshake;
        outCTSFlow_ = true;
    } else if (value == fcSoftware) {
        xonXoffIn_ = true;
        xonXoffOut_ = true;
    }
    ApplyToPort();
}

template <typename Field> void TComFlowControl::Change(Field& field, Field value) {
    if (field == value) return;
    field = value;
    ApplyToPort();
}

void TComFlowControl::SetOutCTSFlow(bool value) {
    Change(outCTSFlow_, value);
}
void TComFlowControl::SetOutDSRFlow(bool value) {
    Change(outDSRFlow_, value);
}
void TComFlowControl::SetControlDTR(TDTRFlowControl value) {
    Change(controlDTR_, value);
}
void TComFlowControl::SetControlRTS(TRTSFlowControl value) {
    Change(controlRTS_, value);
}
void TComFlowControl::SetXonXoffOut(bool value) {
    Change(xonXoffOut_, value);
}
void TComFlowControl::SetXonXoffIn(bool value) {
    Change(xonXoffIn_, value);
}
void TComFlowControl::SetDSRSensitivity(bool value) {
    Change(dsrSensitivity_, value);
}
void TComFlowControl::SetTxContinueOnXoff(bool value) {
    Change(txContinueOnXoff_, value);
}
void TComFlowControl::SetXonChar(char value) {
    Change(xonChar_, value);
}
void TComFlowControl::SetXoffChar(char value) {
    Change(xoffChar_, value);
}

void TComFlowControl::CopyFrom(const TComSettingsGroup& source) {
    const auto& other = static_cast<const TComFlowControl&>(source);
    outCTSFlow_ = other.outCTSFlow_;
    outDSRFlow_ = other.outDSRFlow_;
    controlDTR_ = other.controlDTR_;
    controlRTS_ = other.controlRTS_;
    xonXoffOut_ = other.xonXoffOut_;
    xonXoffIn_ = other.xonXoffIn_;
    dsrSensitivity_ = other.dsrSensitivity_;
    txContinueOnXoff_ = other.txContinueOnXoff_;
    xonChar_ = other.xonChar_;
    xoffChar_ = other.xoffChar_;
}

void TComFlowControl::ApplyToPort() {
    if (ComPort()) ComPort()->ApplyLineSettings();
}

// Timeouts

TComTimeouts::TComTimeouts(TCustomComPort* port, QObject* parent)
    : TComSettingsGroup(port, parent) {}

void TComTimeouts::Change(qint32& field, qint32 value) {
    if (field == value) return;
    field = value;
    ApplyToPort();
}

void TComTimeouts::SetReadInterval(qint32 value) {
    Change(readInterval_, value);
}
void TComTimeouts::SetReadTotalMultiplier(qint32 value) {
    Change(readTotalMultiplier_, value);
}
void TComTimeouts::SetReadTotalConstant(qint32 value) {
    Change(readTotalConstant_, value);
}
void TComTimeouts::SetWriteTotalMultiplier(qint32 value) {
    Change(writeTotalMultiplier_, value);
}
void TComTimeouts::SetWriteTotalConstant(qint32 value) {
    Change(writeTotalConstant_, value);
}

void TComTimeouts::CopyFrom(const TComSettingsGroup& source) {
    const auto& other = static_cast<const TComTimeouts&>(source);
    readInterval_ = other.readInterval_;
    readTotalMultiplier_ = other.readTotalMultiplier_;
    readTotalConstant_ = other.readTotalConstant_;
    writeTotalMultiplier_ = other.writeTotalMultiplier_;
    writeTotalConstant_ = other.writeTotalConstant_;
}

void TComTimeouts::ApplyToPort() {
    if (ComPort()) ComPort()->ApplyTimeoutSettings();
}

// Queue sizes

TComBuffer::TComBuffer(TCustomComPort* port, QObject* parent) : TComSettingsGroup(port, parent) {}

void TComBuffer::Change(qint32& field, qint32 value) {
    if (value > 0 && value % 2 != 0) --value;
    if (field == value) return;
    field = value;
    ApplyToPort();
}

void TComBuffer::SetInputSize(qint32 value) {
    Change(inputSize_, value);
}
void TComBuffer::SetOutputSize(qint32 value) {
    Change(outputSize_, value);
}

void TComBuffer::CopyFrom(const TComSettingsGroup& source) {
    const auto& other = static_cast<const TComBuffer&>(source);
    inputSize_ = other.inputSize_;
    outputSize_ = other.outputSize_;
}

void TComBuffer::ApplyToPort() {
    if (ComPort()) ComPort()->ApplyQueueSizes();
}

} // namespace quorvel::serial
