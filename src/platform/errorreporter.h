#pragma once

#include <QString>
#include <exception>

class QWidget;

// The central error handler: shows an error's message in a box captioned with the application's title,
// with the stop icon and OK, and the program goes on.
void ReportError(const QString& message, QWidget* owner = nullptr);
void ReportException(const std::exception& error, QWidget* owner = nullptr);

// Runs a handler body; an error it raises is reported and the rest of the handler is skipped.
template <class Handler> void Guarded(Handler&& handler, QWidget* owner = nullptr) {
    try {
        handler();
    } catch (const std::exception& error) {
        ReportException(error, owner);
    }
}
