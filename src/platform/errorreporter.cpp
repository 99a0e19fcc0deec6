#include "platform/errorreporter.h"

#include "app/appcontext.h"
#include "app/apperror.h"
#include "platform/platform.h"

void ReportError(const QString& message, QWidget* owner) {
    Platform::MessageBox().Show(owner, message, App().ProductName, MsgIcon::Stop, MsgButtons::Ok);
}

void ReportException(const std::exception& error, QWidget* owner) {
    if (const auto* appError = dynamic_cast<const AppError*>(&error))
        ReportError(appError->message(), owner);
    else
        ReportError(QString::fromLocal8Bit(error.what()), owner);
}
