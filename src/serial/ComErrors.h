#pragma once
// The serial layer's one error: EComPort, with its code, the system error and the message.

#include <QString>

#include <array>
#include <stdexcept>

namespace quorvel::serial {

// Codes, one per row of ComErrorTexts.
enum ComErrorCode {
    CError_OpenFailed = 1,
    CError_WriteFailed = 2,
    CError_ReadFailed = 3,
    CError_InvalidAsync = 4,
    CError_PurgeFailed = 5,
    CError_AsyncCheck = 6,
    CError_SetStateFailed = 7,
    CError_TimeoutsFailed = 8,
    CError_SetupComFailed = 9,
    CError_ClearComFailed = 10,
    CError_ModemStatFailed = 11,
    CError_EscapeComFailed = 12,
    CError_TransmitFailed = 13,
    CError_ConnChangeProp = 14,
    CError_EnumPortsFailed = 15,
    CError_StoreFailed = 16,
    CError_LoadFailed = 17,
    CError_RegFailed = 18,
    CError_LedStateFailed = 19,
    CError_ThreadCreated = 20,
    CError_WaitFailed = 21,
    CError_HasLink = 22,
    CError_RegError = 23,
};

constexpr int kComErrorCount = 23;

// The text domain of the serial layer's messages.
constexpr const char* kComTextDomain = "cport";

// The 23 texts, index = code - 1, looked up in the "cport" catalogue once, at the first call
// (which also registers the text domain). Call it at start-up, after the locale is set.
const std::array<QString, kComErrorCount>& ComErrorTexts();

class EComPort : public std::runtime_error {
public:
    // The code's text alone; SystemError is -1.
    explicit EComPort(int code);
    // The code's text with " (win error code: %d)" in the user's language, %d the system error.
    EComPort(int code, int systemError);

    int ErrorCode() const { return errorCode_; }
    int SystemError() const { return systemError_; }
    QString Message() const { return QString::fromUtf8(what()); }

private:
    int errorCode_;
    int systemError_;
};

} // namespace quorvel::serial
