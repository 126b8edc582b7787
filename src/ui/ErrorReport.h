#pragma once
// The default error report and the guard around every entry point. Qt must never see an
// exception leave an event handler, so each handler runs its body inside Guarded(); an error
// ends that handler alone, is shown to the user, and the program goes on.

#include <QString>

#include <exception>
#include <utility>

namespace quorvel::ui {

// The message as the report shows it: a full stop is added when the last character comes
// after "." in character order, so sentences end in one and texts ending in "!" or ")" stay.
QString ErrorReportText(const QString& message);

// A modal error box titled with the application's name. Never throws.
void ShowDefaultErrorReport(const QString& message) noexcept;

// The message of the exception being handled; for use inside a catch block only.
QString CurrentExceptionMessage() noexcept;

template <class Body> void Guarded(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        ShowDefaultErrorReport(CurrentExceptionMessage());
    }
}

// For paint handlers: a box must not open while a widget is being painted, so the report is
// shown once control is back in the event loop.
void ShowDefaultErrorReportLater(const QString& message) noexcept;

template <class Body> void GuardedPaint(Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        ShowDefaultErrorReportLater(CurrentExceptionMessage());
    }
}

} // namespace quorvel::ui
