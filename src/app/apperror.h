#pragma once

#include <QString>
#include <stdexcept>

// An error raised inside a handler; the central error handler shows its message and the program goes on.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message) : std::runtime_error(message.toStdString()), text(message) {}
    const QString& message() const { return text; }

private:
    QString text;
};
