#include "ComSelect.h"

#include "ComPort.h"
#include "PortList.h"

#include <QMetaEnum>

namespace quorvel::serial {

namespace {

// Every text of an enumeration, in ordinal order.
template <typename Value> QStringList TextsOf(QString (*text)(Value)) {
    QStringList texts;
    const int count = QMetaEnum::fromType<Value>().keyCount();
    for (int ordinal = 0; ordinal < count; ++ordinal)
        texts << text(static_cast<Value>(ordinal));
    return texts;
}

} // namespace

QStringList SerialPortSource::List() const {
    return ListSerialPorts(sysfsTtyRoot, programFolder);
}

QStringList TComSelect::ItemsOf(TComProperty property, const SerialPortSource& ports) {
    switch (property) {
    case cpNone:
        return {};
    case cpPort:
        return ports.List();
    case cpBaudRate:
        return TextsOf(&BaudRateText);
    case cpDataBits:
        return TextsOf(&DataBitsText);
    case cpStopBits:
        return TextsOf(&StopBitsText);
    case cpParity:
        return TextsOf(&ParityText);
    case cpFlowControl:
        return TextsOf(&FlowControlText);
    }
    return {};
}

QString TComSelect::CurrentText() const {
    if (comPort == nullptr) return {};
    switch (comProperty) {
    case cpNone:
        return {};
    case cpPort:
        return comPort->Port();
    case cpBaudRate:
        return BaudRateText(comPort->BaudRate());
    case cpDataBits:
        return DataBitsText(comPort->DataBits());
    case cpStopBits:
        return StopBitsText(comPort->StopBits());
    case cpParity:
        return ParityText(comPort->Parity()->Bits());
    case cpFlowControl:
        return FlowControlText(comPort->FlowControl()->FlowControl());
    }
    return {};
}

void TComSelect::Choose(const QString& text) {
    switch (comProperty) {
    case cpNone:
        break;
    case cpPort:
        port = text;
        break;
    case cpBaudRate:
        baudRate = BaudRateFromText(text);
        break;
    case cpDataBits:
        dataBits = DataBitsFromText(text);
        break;
    case cpStopBits:
        stopBits = StopBitsFromText(text);
        break;
    case cpParity:
        parity = ParityFromText(text);
        break;
    case cpFlowControl:
        flowControl = FlowControlFromText(text);
        break;
    }
}

void TComSelect::Apply() const {
    if (comPort == nullptr) return;
    switch (comProperty) {
    case cpNone:
        break;
    case cpPort:
        comPort->SetPort(port);
        break;
    case cpBaudRate:
        comPort->SetBaudRate(baudRate);
        break;
    case cpDataBits:
        comPort->SetDataBits(dataBits);
        break;
    case cpStopBits:
        comPort->SetStopBits(stopBits);
        break;
    case cpParity:
        comPort->Parity()->SetBits(parity);
        break;
    case cpFlowControl:
        comPort->FlowControl()->SetFlowControl(flowControl);
        break;
    }
}

} // namespace quorvel::serial
