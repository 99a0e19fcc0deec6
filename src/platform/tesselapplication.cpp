#include "platform/tesselapplication.h"

#include "platform/errorreporter.h"

TesselApplication::TesselApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TesselApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportException(error);
    }
    return false;
}
