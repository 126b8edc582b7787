#include "ComVocabulary.h"

#include "DeviceControlBlock.h"
#include "OrdinalTable.h"

#include <algorithm>
#include <iterator>

namespace quorvel::serial {

namespace {

template <typename Value> struct Entry {
    Value value;
    const char* text;
    std::uint32_t device;
};

constexpr Entry<TBaudRate> kBaudRates[] = {
    {brCustom, "Custom", 0},      {br110, "110", 110},          {br300, "300", 300},
    {br600, "600", 600},          {br1200, "1200", 1200},       {br2400, "2400", 2400},
    {br4800, "4800", 4800},       {br9600, "9600", 9600},       {br14400, "14400", 14400},
    {br19200, "19200", 19200},    {br38400, "38400", 38400},    {br56000, "56000", 56000},
    {br57600, "57600", 57600},    {br115200, "115200", 115200}, {br128000, "128000", 128000},
    {br256000, "256000", 256000},
};

constexpr Entry<TDataBits> kDataBits[] = {
    {dbFive, "5", 5}, {dbSix, "6", 6}, {dbSeven, "7", 7}, {dbEight, "8", 8}};

constexpr Entry<TStopBits> kStopBits[] = {{sbOneStopBit, "1", stopbits::kOne},
                                          {sbOne5StopBits, "1.5", stopbits::kOneAndHalf},
                                          {sbTwoStopBits, "2", stopbits::kTwo}};

constexpr Entry<TParityBits> kParities[] = {{prNone, "None", parity::kNone},
                                            {prOdd, "Odd", parity::kOdd},
                                            {prEven, "Even", parity::kEven},
                                            {prMark, "Mark", parity::kMark},
                                            {prSpace, "Space", parity::kSpace}};

constexpr Entry<TDTRFlowControl> kDTRControls[] = {{dtrDisable, "Disable", 0},
                                                   {dtrEnable, "Enable", dcb::kDtrEnable},
                                                   {dtrHandshake, "Handshake", dcb::kDtrHandshake}};

constexpr Entry<TRTSFlowControl> kRTSControls[] = {{rtsDisable, "Disable", 0},
                                                   {rtsEnable, "Enable", dcb::kRtsEnable},
                                                   {rtsHandshake, "Handshake", dcb::kRtsHandshake},
                                                   {rtsToggle, "Toggle", dcb::kRtsToggle}};

constexpr Entry<TFlowControl> kFlowControls[] = {{fcHardware, "Hardware", 0},
                                                 {fcSoftware, "Software", 0},
                                                 {fcNone, "None", 0},
                                                 {fcCustom, "Custom", 0}};

// The device's mask bit of each line event.
struct EventBit {
    TComEvent value;
    std::uint32_t bit;
};
constexpr EventBit kEventMaskBits[] = {{evRxChar, event::kRxChar}, {evTxEmpty, event::kTxEmpty},
                                       {evRxFlag, event::kRxFlag}, {evRing, event::kRing},
                                       {evBreak, event::kBreak},   {evCTS, event::kCts},
                                       {evDSR, event::kDsr},       {evError, event::kError},
                                       {evRLSD, event::kRlsd},     {evRx80Full, event::kRx80Full}};

static_assert(InOrdinalOrder(kBaudRates) && InOrdinalOrder(kDataBits) &&
              InOrdinalOrder(kStopBits) && InOrdinalOrder(kParities) &&
              InOrdinalOrder(kDTRControls) && InOrdinalOrder(kRTSControls) &&
              InOrdinalOrder(kFlowControls) && InOrdinalOrder(kEventMaskBits));
// In order and as many rows as events: every event has its bit, once.
static_assert(std::size(kEventMaskBits) == kComEventCount);

template <typename Value, std::size_t Size>
QString TextOf(const Entry<Value> (&table)[Size], Value value) {
    const Entry<Value>* entry = RowOf(table, value);
    return entry ? QString::fromLatin1(entry->text) : QString();
}

template <typename Value, std::size_t Size>
Value FromText(const Entry<Value> (&table)[Size], const QString& text, Value fallback) {
    const QString wanted = text.toUpper();
    for (const Entry<Value>& entry : table)
        if (QString::fromLatin1(entry.text).toUpper() == wanted) return entry.value;
    return fallback;
}

template <typename Value, std::size_t Size>
std::uint32_t DeviceOf(const Entry<Value> (&table)[Size], Value value, std::uint32_t unknown) {
    const Entry<Value>* entry = RowOf(table, value);
    return entry ? entry->device : unknown;
}

constexpr std::uint8_t kRefusedByte = 0xFF;

} // namespace

QString BaudRateText(TBaudRate value) {
    return TextOf(kBaudRates, value);
}
QString DataBitsText(TDataBits value) {
    return TextOf(kDataBits, value);
}
QString StopBitsText(TStopBits value) {
    return TextOf(kStopBits, value);
}
QString ParityText(TParityBits value) {
    return TextOf(kParities, value);
}
QString FlowControlText(TFlowControl value) {
    return TextOf(kFlowControls, value);
}
QString DTRFlowControlText(TDTRFlowControl value) {
    return TextOf(kDTRControls, value);
}
QString RTSFlowControlText(TRTSFlowControl value) {
    return TextOf(kRTSControls, value);
}

TBaudRate BaudRateFromText(const QString& text) {
    return FromText(kBaudRates, text, br9600);
}
TDataBits DataBitsFromText(const QString& text) {
    return FromText(kDataBits, text, dbEight);
}
TStopBits StopBitsFromText(const QString& text) {
    return FromText(kStopBits, text, sbOneStopBit);
}
TParityBits ParityFromText(const QString& text) {
    return FromText(kParities, text, prNone);
}
TFlowControl FlowControlFromText(const QString& text) {
    return FromText(kFlowControls, text, fcCustom);
}
TDTRFlowControl DTRFlowControlFromText(const QString& text) {
    return FromText(kDTRControls, text, dtrDisable);
}
TRTSFlowControl RTSFlowControlFromText(const QString& text) {
    return FromText(kRTSControls, text, rtsDisable);
}

std::uint32_t BaudRateValue(TBaudRate value) {
    return DeviceOf(kBaudRates, value, 0);
}
std::uint8_t DataBitsValue(TDataBits value) {
    return static_cast<std::uint8_t>(DeviceOf(kDataBits, value, kRefusedByte));
}
std::uint8_t StopBitsValue(TStopBits value) {
    return static_cast<std::uint8_t>(DeviceOf(kStopBits, value, kRefusedByte));
}
std::uint8_t ParityValue(TParityBits value) {
    return static_cast<std::uint8_t>(DeviceOf(kParities, value, kRefusedByte));
}
// An unknown control value gives no flag: the line is then held off, the safe side.
std::uint32_t DTRFlowControlFlags(TDTRFlowControl value) {
    return DeviceOf(kDTRControls, value, 0);
}
std::uint32_t RTSFlowControlFlags(TRTSFlowControl value) {
    return DeviceOf(kRTSControls, value, 0);
}

std::uint32_t EventsToMask(TComEvents events) {
    std::uint32_t mask = 0;
    for (const EventBit& row : kEventMaskBits)
        if (events.Contains(row.value)) mask |= row.bit;
    return mask;
}

TComEvents EventsFromMask(std::uint32_t mask) {
    TComEvents events;
    for (const EventBit& row : kEventMaskBits)
        if ((mask & row.bit) != 0) events.Insert(row.value);
    return events;
}

} // namespace quorvel::serial
