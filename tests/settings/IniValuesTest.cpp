#include "IniValues.h"
#include "IniPath.h"

#include <gtest/gtest.h>

namespace quorvel::settings {
namespace {

TEST(IniValues, IntegersAreDecimalWithSignAndEmptyIsZero) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"0", 0},
        {"", 0},
        {"42", 42},
        {"-7", -7},
        {"+7", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", {}},
        {"12a", {}},
        {"0x10", {}},
        {"$10", {}},
        {"-", {}},
        {"+-1", {}},
        {"1 2", {}},
        {"maybe", {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseInteger(text), expected) << '"' << text << '"';
}

TEST(IniValues, BooleansTakeWordsInAnyCaseThenNumbers) {
    const auto yes = SplitWords("TRUE, YES, Y");
    const auto no = SplitWords("FALSE, NO, N");
    EXPECT_EQ(yes, (std::vector<std::string>{"TRUE", "YES", "Y"}));
    const std::pair<const char*, std::optional<bool>> cases[] = {
        {"TRUE", true},   {"yes", true}, {"y", true},   {"2", true},  {"-1", true},
        {"false", false}, {"No", false}, {"N", false},  {"0", false}, {"", false},
        {"maybe", {}},    {"yess", {}},  {"TRUE1", {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseBoolean(text, yes, no), expected) << '"' << text << '"';
}

TEST(IniValues, EnumerationsTakeIdentifiersThenOrdinalsInsideTheList) {
    const std::vector<std::string> dataBits = {"dbFive", "dbSix", "dbSeven", "dbEight"};
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"dbSeven", 2}, {"dbseven", 2}, {"DBEIGHT", 3}, {"2", 2},       {"", 0},
        {"9", {}},      {"4", {}},      {"-1", {}},     {"dbNine", {}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseEnumeration(text, dataBits), expected) << '"' << text << '"';
}

TEST(IniPath, EmptySegmentsAreDroppedAndTheLastIsTheKey) {
    struct Case {
        const char* path;
        const char* section;
        const char* key;
    } const cases[] = {
        {"frmPelmora\\ComPort1_Port", "frmPelmora", "ComPort1_Port"},
        {"frmPelmora\\ComPort1_Parity\\Bits", "frmPelmora\\ComPort1_Parity", "Bits"},
        {"\\\\frmPelmora\\\\\\ComPort1_Port\\", "frmPelmora", "ComPort1_Port"},
        {"Key", "", "Key"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        const IniPath split = SplitIniPath(c.path);
        EXPECT_EQ(split.section, c.section) << c.path;
        EXPECT_EQ(split.key, c.key) << c.path;
    }
    EXPECT_EQ(SplitIniPath("frmPelmora\\ComPort1_Parity\\").whole, "frmPelmora\\ComPort1_Parity");
}

} // namespace
} // namespace quorvel::settings
