#include "ComErrors.h"

#include "TextDomain.h"

namespace quorvel::serial {

namespace {

using i18n::NoopText;

constexpr const char* kEnglishTexts[kComErrorCount] = {
    NoopText("Unable to open com port"),
    NoopText("WriteFile function failed"),
    NoopText("ReadFile function failed"),
    NoopText("Invalid Async parameter"),
    NoopText("PurgeComm function failed"),
    NoopText("Unable to get async status"),
    NoopText("SetCommState function failed"),
    NoopText("SetCommTimeouts failed"),
    NoopText("SetupComm function failed"),
    NoopText("ClearCommError function failed"),
    NoopText("GetCommModemStatus function failed"),
    NoopText("EscapeCommFunction function failed"),
    NoopText("TransmitCommChar function failed"),
    NoopText("Cannot set property while connected"),
    NoopText("EnumPorts function failed"),
    NoopText("Failed to store settings"),
    NoopText("Failed to load settings"),
    NoopText("Link (un)registration failed"),
    NoopText("Cannot change led state if ComPort is selected"),
    NoopText("Cannot wait for event if event thread is created"),
    NoopText("WaitForEvent method failed"),
    NoopText("A component is linked to OnRxBuf event"),
    NoopText("Registry error"),
};

QString Translated(const char* text) {
    return QString::fromUtf8(i18n::Translate(kComTextDomain, text));
}

std::array<QString, kComErrorCount> LookUpTexts() {
    i18n::RegisterTextDomain(kComTextDomain);
    std::array<QString, kComErrorCount> texts;
    for (int index = 0; index < kComErrorCount; ++index)
        texts[index] = Translated(kEnglishTexts[index]);
    return texts;
}

QString CodeText(int code) {
    if (code < 1 || code > kComErrorCount) return QStringLiteral("Serial port error %1").arg(code);
    return ComErrorTexts()[code - 1];
}

// The number goes in where the catalogue's text has %d, never through printf: a catalogue
// is data, and a stray conversion in it must not be able to read past the arguments.
QString SystemErrorSuffix(int systemError) {
    ComErrorTexts(); // the text domain is registered with the first lookup of the texts
    QString suffix = Translated(" (win error code: %d)");
    const qsizetype at = suffix.indexOf(QLatin1String("%d"));
    if (at >= 0) suffix.replace(at, 2, QString::number(systemError));
    return suffix;
}

} // namespace

const std::array<QString, kComErrorCount>& ComErrorTexts() {
    static const std::array<QString, kComErrorCount> texts = LookUpTexts();
    return texts;
}

EComPort::EComPort(int code)
    : std::runtime_error(CodeText(code).toStdString()), errorCode_(code), systemError_(-1) {}

EComPort::EComPort(int code, int systemError)
    : std::runtime_error((CodeText(code) + SystemErrorSuffix(systemError)).toStdString()),
      errorCode_(code), systemError_(systemError) {}

} // namespace quorvel::serial
