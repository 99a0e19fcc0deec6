#pragma once

#include "split/clipjob.h"
#include "split/encoderfailure.h"

#include <QByteArray>
#include <QList>
#include <QObject>

// The work that produces the clips of a run, one clip at a time: started with a clip's job, it hands its
// output back in chunks, can be stopped at any moment, and tells how the clip's work ended. The runner
// judges from the output and the exit whether the clip was written.
class ClipProcess : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts the work of one clip; Finished or FailedToStart follows, OutputReady whenever output waits.
    virtual void Start(const ClipJob& job) = 0;
    // The next piece of the clip's output, at most maxSize bytes; empty when none is waiting.
    virtual QByteArray ReadChunk(qint64 maxSize) = 0;
    // Ends the clip's work at once; nothing of it goes on afterwards.
    virtual void Stop() = 0;
    virtual bool Running() const = 0;
    // The system's id of the process doing the work, 0 when none runs.
    virtual qint64 ProcessId() const = 0;
    // How the clip's work ended, once Finished has come.
    virtual ClipExit Exit() const = 0;
    // The run's last clip is done; work kept ready for further clips ends.
    virtual void EndRun() {}

    // Whether clips can be handed over together, so that one encode makes all of them.
    virtual bool TakesClipsTogether() const { return false; }
    // Starts the work of clips that are made together (sections of one range, in order); the first one's
    // Finished follows as for Start, and each next one is waited for after Continue().
    virtual void StartTogether(const QList<ClipJob>& jobs) { Start(jobs.first()); }
    // Goes on with the next clip of those started together.
    virtual void Continue() {}

signals:
    void OutputReady();
    void Finished();
    void FailedToStart();
};
