// The error messages with no catalogue for the user's language: the English texts unchanged.
#include "ComErrors.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace quorvel::serial {
namespace {

const char* const kTexts[] = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if ComPort is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

TEST(ComErrorTexts, HoldTheTwentyThreeTextsByCode) {
    ASSERT_EQ(ComErrorTexts().size(), std::size(kTexts));
    for (int code = 1; code <= kComErrorCount; ++code)
        EXPECT_EQ(ComErrorTexts()[code - 1], QString::fromLatin1(kTexts[code - 1])) << code;
}

TEST(EComPort, WithASystemErrorAppendsItsNumber) {
    const EComPort error(1, 2);
    EXPECT_STREQ(error.what(), "Unable to open com port (win error code: 2)");
    EXPECT_EQ(error.ErrorCode(), 1);
    EXPECT_EQ(error.SystemError(), 2);
    EXPECT_EQ(error.Message(), QStringLiteral("Unable to open com port (win error code: 2)"));
    EXPECT_STREQ(EComPort(3, 5).what(), "ReadFile function failed (win error code: 5)");
    EXPECT_STREQ(EComPort(2, -7).what(), "WriteFile function failed (win error code: -7)");
}

TEST(EComPort, WithoutOneIsTheTextAloneAndMinusOne) {
    for (int code : {4, 14, 18, 19}) {
        const EComPort error(code);
        EXPECT_EQ(error.Message(), QString::fromLatin1(kTexts[code - 1]));
        EXPECT_EQ(error.SystemError(), -1);
        EXPECT_EQ(error.ErrorCode(), code);
    }
}

TEST(EComPort, IsAStandardErrorForTheWindowGuard) {
    try {
        throw EComPort(14);
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Cannot set property while connected");
    }
}

} // namespace
} // namespace quorvel::serial
