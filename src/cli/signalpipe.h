#pragma once

#include <QObject>

class QSocketNotifier;

// Turns Ctrl+C (SIGINT) and SIGTERM into an event of the Qt loop. The handler only sets a flag and writes
// one byte into a pipe, both safe inside a signal handler; the loop then wakes up and the run reads the
// flag. Only one instance may exist at a time.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    // Puts the previous handlers back.
    ~SignalPipe() override;

    // True once either signal has arrived; safe to call at any time.
    static bool Pending();
    // The number of the first signal that arrived, 0 when none has.
    static int Received();

signals:
    void Interrupted();

private:
    void Drain();

    QSocketNotifier* notifier = nullptr;
};
