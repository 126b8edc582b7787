#pragma once
// The serial settings vocabulary: every line setting as an enumeration whose keys are the names
// the settings file and the dialog use, with its display text and the value the device takes.
// Plain tables and the two directions of conversion; no state.

#include <QMetaType>
#include <QObject>
#include <QString>

#include <cstdint>
#include <initializer_list>

namespace quorvel::serial {

Q_NAMESPACE

enum TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
Q_ENUM_NS(TBaudRate)

enum TDataBits { dbFive, dbSix, dbSeven, dbEight };
Q_ENUM_NS(TDataBits)

enum TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
Q_ENUM_NS(TStopBits)

enum TParityBits { prNone, prOdd, prEven, prMark, prSpace };
Q_ENUM_NS(TParityBits)

enum TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
Q_ENUM_NS(TDTRFlowControl)

enum TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
Q_ENUM_NS(TRTSFlowControl)

enum TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
Q_ENUM_NS(TFlowControl)

enum TSyncMethod { smThreadSync, smWindowSync, smNone };
Q_ENUM_NS(TSyncMethod)

enum TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};
Q_ENUM_NS(TComEvent)

constexpr int kComEventCount = 10;

// A set of line events: bit n stands for the event of ordinal n.
class TComEvents {
public:
    constexpr TComEvents() = default;
    constexpr TComEvents(std::initializer_list<TComEvent> events) {
        for (TComEvent event : events)
            bits_ |= BitOf(event);
    }
    static constexpr TComEvents All() { return FromBits((1u << kComEventCount) - 1); }
    static constexpr TComEvents FromBits(std::uint32_t bits) {
        TComEvents events;
        events.bits_ = bits & ((1u << kComEventCount) - 1);
        return events;
    }

    constexpr bool Contains(TComEvent event) const { return (bits_ & BitOf(event)) != 0; }
    constexpr bool IsEmpty() const { return bits_ == 0; }
    constexpr std::uint32_t Bits() const { return bits_; }
    constexpr void Insert(TComEvent event) { bits_ |= BitOf(event); }
    constexpr void Remove(TComEvent event) { bits_ &= ~BitOf(event); }
    friend constexpr bool operator==(TComEvents, TComEvents) = default;

private:
    static constexpr std::uint32_t BitOf(TComEvent event) {
        return 1u << static_cast<unsigned>(event);
    }
    std::uint32_t bits_ = 0;
};

// Value to text; a value outside its table gives an empty text.
QString BaudRateText(TBaudRate value);
QString DataBitsText(TDataBits value);
QString StopBitsText(TStopBits value);
QString ParityText(TParityBits value);
QString FlowControlText(TFlowControl value);
QString DTRFlowControlText(TDTRFlowControl value);
QString RTSFlowControlText(TRTSFlowControl value);

// Text to value, compared upper-cased; no match gives the table's fallback.
TBaudRate BaudRateFromText(const QString& text);             // br9600
TDataBits DataBitsFromText(const QString& text);             // dbEight
TStopBits StopBitsFromText(const QString& text);             // sbOneStopBit
TParityBits ParityFromText(const QString& text);             // prNone
TFlowControl FlowControlFromText(const QString& text);       // fcCustom
TDTRFlowControl DTRFlowControlFromText(const QString& text); // dtrDisable
TRTSFlowControl RTSFlowControlFromText(const QString& text); // rtsDisable

// The values the device-control record takes. A value outside its table gives a device value
// the device refuses (rate 0, byte 0xFF), so a corrupt setting never reaches the line as another.
std::uint32_t BaudRateValue(TBaudRate value); // bits per second; 0 for brCustom
std::uint8_t DataBitsValue(TDataBits value);
std::uint8_t StopBitsValue(TStopBits value);
std::uint8_t ParityValue(TParityBits value);
std::uint32_t DTRFlowControlFlags(TDTRFlowControl value);
std::uint32_t RTSFlowControlFlags(TRTSFlowControl value);

// Line events and the device's event mask, in both directions; unknown mask bits are ignored.
std::uint32_t EventsToMask(TComEvents events);
TComEvents EventsFromMask(std::uint32_t mask);

} // namespace quorvel::serial

Q_DECLARE_METATYPE(quorvel::serial::TComEvents)
