#include "ErrorReport.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <new>
#include <stdexcept>

namespace quorvel::ui {

QString ErrorReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
    return message;
}

QString CurrentExceptionMessage() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Out of memory");
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("An unexpected error occurred");
    }
}

void ShowDefaultErrorReport(const QString& message) noexcept {
    try {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                        ErrorReportText(message), QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    } catch (...) {
        // The report itself failed (memory is gone): the terminal is the last place left.
        try {
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        } catch (...) {
        }
    }
}

} // namespace quorvel::ui

namespace quorvel::ui {

void ShowDefaultErrorReportLater(const QString& message) noexcept {
    try {
        QTimer::singleShot(0, qApp, [message] { ShowDefaultErrorReport(message); });
    } catch (...) {
        ShowDefaultErrorReport(message);
    }
}

} // namespace quorvel::ui
