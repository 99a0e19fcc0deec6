#pragma once

#include <QApplication>

// The application object. An error that escapes an event handler is shown by the central error handler
// instead of ending the program.
class TesselApplication : public QApplication {
public:
    TesselApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
