#include "ComSettings.h"

#include "ComPort.h"

#include <stdexcept>

namespace quorvel::serial {

TComSettingsGroup::TComSettingsGroup(TCustomComPort* port, PortApply apply, QObject* parent)
    : QObject(parent ? parent : port), port_(port), apply_(apply) {}

void TComSettingsGroup::ApplyToPort() {
    if (port_) (port_->*apply_)();
}

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

TComParity::TComParity(TCustomComPort* port, QObject* parent)
    : TComSettingsGroup(port, &TCustomComPort::ApplyLineSettings, parent) {}

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

// Flow control

TComFlowControl::TComFlowControl(TCustomComPort* port, QObject* parent)
    : TComSettingsGroup(port, &TCustomComPort::ApplyLineSettings, parent) {}

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

// Timeouts

TComTimeouts::TComTimeouts(TCustomComPort* port, QObject* parent)
    : TComSettingsGroup(port, &TCustomComPort::ApplyTimeoutSettings, parent) {}

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

// Queue sizes

TComBuffer::TComBuffer(TCustomComPort* port, QObject* parent)
    : TComSettingsGroup(port, &TCustomComPort::ApplyQueueSizes, parent) {}

namespace {

qint32 EvenSize(qint32 value) {
    return value > 0 && value % 2 != 0 ? value - 1 : value;
}

} // namespace

void TComBuffer::SetInputSize(qint32 value) {
    Change(inputSize_, EvenSize(value));
}
void TComBuffer::SetOutputSize(qint32 value) {
    Change(outputSize_, EvenSize(value));
}

void TComBuffer::CopyFrom(const TComSettingsGroup& source) {
    const auto& other = static_cast<const TComBuffer&>(source);
    inputSize_ = other.inputSize_;
    outputSize_ = other.outputSize_;
}

} // namespace quorvel::serial
