#include "ComVocabulary.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QMetaEnum>

namespace quorvel::serial {
namespace {

struct RateRow {
    TBaudRate value;
    const char* key;
    const char* text;
    std::uint32_t rate;
};

const RateRow kRates[] = {
    {brCustom, "brCustom", "Custom", 0},
    {br110, "br110", "110", 110},
    {br300, "br300", "300", 300},
    {br600, "br600", "600", 600},
    {br1200, "br1200", "1200", 1200},
    {br2400, "br2400", "2400", 2400},
    {br4800, "br4800", "4800", 4800},
    {br9600, "br9600", "9600", 9600},
    {br14400, "br14400", "14400", 14400},
    {br19200, "br19200", "19200", 19200},
    {br38400, "br38400", "38400", 38400},
    {br56000, "br56000", "56000", 56000},
    {br57600, "br57600", "57600", 57600},
    {br115200, "br115200", "115200", 115200},
    {br128000, "br128000", "128000", 128000},
    {br256000, "br256000", "256000", 256000},
};

TEST(BaudRates, EveryRateHasItsOrdinalKeyTextAndRateBothWays) {
    const QMetaEnum keys = QMetaEnum::fromType<TBaudRate>();
    ASSERT_EQ(keys.keyCount(), 16);
    int ordinal = 0;
    for (const RateRow& row : kRates) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(static_cast<int>(row.value), ordinal++);
        EXPECT_STREQ(keys.valueToKey(row.value), row.key);
        EXPECT_EQ(BaudRateText(row.value), QString::fromLatin1(row.text));
        EXPECT_EQ(BaudRateFromText(QString::fromLatin1(row.text)), row.value);
        EXPECT_EQ(BaudRateValue(row.value), row.rate);
    }
}

// One row: a text, and what each conversion from text makes of it.
template <typename Value> struct FromTextRow {
    const char* text;
    Value expected;
};

TEST(FromText, ComparesUpperCasedAndFallsBackWhenNothingMatches) {
    for (auto [text, expected] : std::initializer_list<FromTextRow<TBaudRate>>{{"115200", br115200},
                                                                               {"custom", brCustom},
                                                                               {"12345", br9600},
                                                                               {"", br9600},
                                                                               {" 115200", br9600},
                                                                               {"1152000", br9600}})
        EXPECT_EQ(BaudRateFromText(QString::fromLatin1(text)), expected) << text;
    for (auto [text, expected] :
         std::initializer_list<FromTextRow<TParityBits>>{{"even", prEven},
                                                         {"EVEN", prEven},
                                                         {"eVeN", prEven},
                                                         {"Space", prSpace},
                                                         {"mark", prMark},
                                                         {"", prNone},
                                                         {"parity", prNone}})
        EXPECT_EQ(ParityFromText(QString::fromLatin1(text)), expected) << text;
    for (auto [text, expected] :
         std::initializer_list<FromTextRow<TFlowControl>>{{"", fcCustom},
                                                          {"hardware", fcHardware},
                                                          {"SOFTWARE", fcSoftware},
                                                          {"none", fcNone},
                                                          {"xon", fcCustom}})
        EXPECT_EQ(FlowControlFromText(QString::fromLatin1(text)), expected) << text;
    for (auto [text, expected] : std::initializer_list<FromTextRow<TDataBits>>{
             {"5", dbFive}, {"7", dbSeven}, {"9", dbEight}, {"", dbEight}})
        EXPECT_EQ(DataBitsFromText(QString::fromLatin1(text)), expected) << text;
    for (auto [text, expected] : std::initializer_list<FromTextRow<TStopBits>>{
             {"1.5", sbOne5StopBits}, {"2", sbTwoStopBits}, {"1,5", sbOneStopBit}})
        EXPECT_EQ(StopBitsFromText(QString::fromLatin1(text)), expected) << text;
    for (auto [text, expected] : std::initializer_list<FromTextRow<TDTRFlowControl>>{
             {"handshake", dtrHandshake}, {"ENABLE", dtrEnable}, {"toggle", dtrDisable}})
        EXPECT_EQ(DTRFlowControlFromText(QString::fromLatin1(text)), expected) << text;
    for (auto [text, expected] : std::initializer_list<FromTextRow<TRTSFlowControl>>{
             {"toggle", rtsToggle}, {"Handshake", rtsHandshake}, {"x", rtsDisable}})
        EXPECT_EQ(RTSFlowControlFromText(QString::fromLatin1(text)), expected) << text;
}

TEST(ValueToText, GivesEveryTextAndTheDeviceValues) {
    const std::pair<TDataBits, const char*> dataBits[] = {
        {dbFive, "5"}, {dbSix, "6"}, {dbSeven, "7"}, {dbEight, "8"}};
    for (auto [value, text] : dataBits) {
        EXPECT_EQ(DataBitsText(value), QString::fromLatin1(text));
        EXPECT_EQ(DataBitsValue(value), static_cast<std::uint8_t>(text[0] - '0'));
    }
    const std::tuple<TStopBits, const char*, int> stopBits[] = {
        {sbOneStopBit, "1", 0}, {sbOne5StopBits, "1.5", 1}, {sbTwoStopBits, "2", 2}};
    for (auto [value, text, device] : stopBits) {
        EXPECT_EQ(StopBitsText(value), QString::fromLatin1(text));
        EXPECT_EQ(StopBitsValue(value), device);
    }
    const std::tuple<TParityBits, const char*, int> parities[] = {{prNone, "None", 0},
                                                                  {prOdd, "Odd", 1},
                                                                  {prEven, "Even", 2},
                                                                  {prMark, "Mark", 3},
                                                                  {prSpace, "Space", 4}};
    for (auto [value, text, device] : parities) {
        EXPECT_EQ(ParityText(value), QString::fromLatin1(text));
        EXPECT_EQ(ParityValue(value), device);
    }
    const std::tuple<TDTRFlowControl, const char*, std::uint32_t> dtr[] = {
        {dtrDisable, "Disable", 0x00},
        {dtrEnable, "Enable", 0x10},
        {dtrHandshake, "Handshake", 0x20}};
    for (auto [value, text, flags] : dtr) {
        EXPECT_EQ(DTRFlowControlText(value), QString::fromLatin1(text));
        EXPECT_EQ(DTRFlowControlFlags(value), flags);
    }
    const std::tuple<TRTSFlowControl, const char*, std::uint32_t> rts[] = {
        {rtsDisable, "Disable", 0x0000},
        {rtsEnable, "Enable", 0x1000},
        {rtsHandshake, "Handshake", 0x2000},
        {rtsToggle, "Toggle", 0x3000}};
    for (auto [value, text, flags] : rts) {
        EXPECT_EQ(RTSFlowControlText(value), QString::fromLatin1(text));
        EXPECT_EQ(RTSFlowControlFlags(value), flags);
    }
    const std::pair<TFlowControl, const char*> flows[] = {
        {fcHardware, "Hardware"}, {fcSoftware, "Software"}, {fcNone, "None"}, {fcCustom, "Custom"}};
    for (auto [value, text] : flows)
        EXPECT_EQ(FlowControlText(value), QString::fromLatin1(text));
}

// A value that came from a damaged settings file must not read past a table or reach the line
// as some other setting.
TEST(ValueToText, AValueOutsideItsTableGivesNoTextAndARefusedDeviceValue) {
    EXPECT_TRUE(BaudRateText(static_cast<TBaudRate>(16)).isEmpty());
    EXPECT_TRUE(ParityText(static_cast<TParityBits>(-1)).isEmpty());
    EXPECT_EQ(BaudRateValue(static_cast<TBaudRate>(99)), 0u);
    EXPECT_EQ(DataBitsValue(static_cast<TDataBits>(4)), 0xFF);
    EXPECT_EQ(StopBitsValue(static_cast<TStopBits>(3)), 0xFF);
    EXPECT_EQ(ParityValue(static_cast<TParityBits>(5)), 0xFF);
}

TEST(EnumerationKeys, AreTheIdentifiersTheSettingsFileUses) {
    const std::pair<QMetaEnum, std::vector<const char*>> enums[] = {
        {QMetaEnum::fromType<TDataBits>(), {"dbFive", "dbSix", "dbSeven", "dbEight"}},
        {QMetaEnum::fromType<TStopBits>(), {"sbOneStopBit", "sbOne5StopBits", "sbTwoStopBits"}},
        {QMetaEnum::fromType<TParityBits>(), {"prNone", "prOdd", "prEven", "prMark", "prSpace"}},
        {QMetaEnum::fromType<TDTRFlowControl>(), {"dtrDisable", "dtrEnable", "dtrHandshake"}},
        {QMetaEnum::fromType<TRTSFlowControl>(),
         {"rtsDisable", "rtsEnable", "rtsHandshake", "rtsToggle"}},
        {QMetaEnum::fromType<TFlowControl>(), {"fcHardware", "fcSoftware", "fcNone", "fcCustom"}},
        {QMetaEnum::fromType<TSyncMethod>(), {"smThreadSync", "smWindowSync", "smNone"}},
        {QMetaEnum::fromType<TComEvent>(),
         {"evRxChar", "evTxEmpty", "evRxFlag", "evRing", "evBreak", "evCTS", "evDSR", "evError",
          "evRLSD", "evRx80Full"}},
    };
    for (const auto& [metaEnum, keys] : enums) {
        SCOPED_TRACE(metaEnum.name());
        ASSERT_EQ(metaEnum.keyCount(), static_cast<int>(keys.size()));
        for (int ordinal = 0; ordinal < metaEnum.keyCount(); ++ordinal) {
            EXPECT_STREQ(metaEnum.key(ordinal), keys[ordinal]);
            EXPECT_EQ(metaEnum.value(ordinal), ordinal);
        }
    }
}

TEST(EventMask, EachEventHasItsBitAndComPort1sSetIsSeven) {
    const std::pair<TComEvent, std::uint32_t> bits[] = {
        {evRxChar, 0x0001}, {evTxEmpty, 0x0004}, {evRxFlag, 0x0002}, {evRing, 0x0100},
        {evBreak, 0x0040},  {evCTS, 0x0008},     {evDSR, 0x0010},    {evError, 0x0080},
        {evRLSD, 0x0020},   {evRx80Full, 0x0400}};
    for (auto [event, bit] : bits) {
        EXPECT_EQ(EventsToMask(TComEvents{event}), bit);
        EXPECT_EQ(EventsFromMask(bit), TComEvents{event});
    }
    const TComEvents watched{evRxChar, evTxEmpty, evRxFlag};
    EXPECT_EQ(EventsToMask(watched), 0x0007u);
    EXPECT_EQ(EventsFromMask(0x0007), watched);
    EXPECT_EQ(EventsToMask(TComEvents::All()), 0x05FFu);
    EXPECT_EQ(EventsFromMask(~0x05FFu), TComEvents{}); // bits of no event are ignored
    EXPECT_EQ(EventsFromMask(0xFFFFFFFF), TComEvents::All());
    EXPECT_EQ(EventsToMask(TComEvents{}), 0u);
}

TEST(EventSet, BitNIsTheEventOfOrdinalN) {
    TComEvents events{evRLSD};
    EXPECT_EQ(events.Bits(), 1u << 8);
    events.Insert(evRxChar);
    EXPECT_TRUE(events.Contains(evRxChar));
    events.Remove(evRLSD);
    EXPECT_EQ(events.Bits(), 1u);
    EXPECT_FALSE(events.IsEmpty());
}

} // namespace
} // namespace quorvel::serial
