#include "ComSelect.h"

#include "ComPort.h"
#include "OrdinalTable.h"
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

// What a bound combo box does with its property: the items it lists, the port's current value as
// text, taking a text as the chosen value, and writing that value to the port.
struct Binding {
    TComProperty value;
    QStringList (*items)(const SerialPortSource& ports);
    QString (*current)(const TCustomComPort& port);
    void (*choose)(TComSelect& select, const QString& text);
    void (*apply)(const TComSelect& select, TCustomComPort& port);
};

constexpr Binding kBindings[] = {
    {cpNone, [](const SerialPortSource&) { return QStringList(); },
     [](const TCustomComPort&) { return QString(); }, [](TComSelect&, const QString&) {},
     [](const TComSelect&, TCustomComPort&) {}},
    {cpPort, [](const SerialPortSource& ports) { return ports.List(); },
     [](const TCustomComPort& port) { return port.Port(); },
     [](TComSelect& select, const QString& text) { select.port = text; },
     [](const TComSelect& select, TCustomComPort& port) { port.SetPort(select.port); }},
    {cpBaudRate, [](const SerialPortSource&) { return TextsOf(&BaudRateText); },
     [](const TCustomComPort& port) { return BaudRateText(port.BaudRate()); },
     [](TComSelect& select, const QString& text) { select.baudRate = BaudRateFromText(text); },
     [](const TComSelect& select, TCustomComPort& port) { port.SetBaudRate(select.baudRate); }},
    {cpDataBits, [](const SerialPortSource&) { return TextsOf(&DataBitsText); },
     [](const TCustomComPort& port) { return DataBitsText(port.DataBits()); },
     [](TComSelect& select, const QString& text) { select.dataBits = DataBitsFromText(text); },
     [](const TComSelect& select, TCustomComPort& port) { port.SetDataBits(select.dataBits); }},
    {cpStopBits, [](const SerialPortSource&) { return TextsOf(&StopBitsText); },
     [](const TCustomComPort& port) { return StopBitsText(port.StopBits()); },
     [](TComSelect& select, const QString& text) { select.stopBits = StopBitsFromText(text); },
     [](const TComSelect& select, TCustomComPort& port) { port.SetStopBits(select.stopBits); }},
    {cpParity, [](const SerialPortSource&) { return TextsOf(&ParityText); },
     [](const TCustomComPort& port) { return ParityText(port.Parity()->Bits()); },
     [](TComSelect& select, const QString& text) { select.parity = ParityFromText(text); },
     [](const TComSelect& select, TCustomComPort& port) { port.Parity()->SetBits(select.parity); }},
    {cpFlowControl, [](const SerialPortSource&) { return TextsOf(&FlowControlText); },
     [](const TCustomComPort& port) { return FlowControlText(port.FlowControl()->FlowControl()); },
     [](TComSelect& select, const QString& text) {
         select.flowControl = FlowControlFromText(text);
     },
     [](const TComSelect& select, TCustomComPort& port) {
         port.FlowControl()->SetFlowControl(select.flowControl);
     }},
};
static_assert(InOrdinalOrder(kBindings));

} // namespace

QStringList SerialPortSource::List() const {
    return ListSerialPorts(sysfsTtyRoot, programFolder);
}

QStringList TComSelect::ItemsOf(TComProperty property, const SerialPortSource& ports) {
    const Binding* binding = RowOf(kBindings, property);
    return binding ? binding->items(ports) : QStringList();
}

QString TComSelect::CurrentText() const {
    const Binding* binding = RowOf(kBindings, comProperty);
    return binding && comPort ? binding->current(*comPort) : QString();
}

void TComSelect::Choose(const QString& text) {
    if (const Binding* binding = RowOf(kBindings, comProperty)) binding->choose(*this, text);
}

void TComSelect::Apply() const {
    const Binding* binding = RowOf(kBindings, comProperty);
    if (binding && comPort) binding->apply(*this, *comPort);
}

} // namespace quorvel::serial
