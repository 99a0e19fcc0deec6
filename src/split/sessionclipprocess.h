#pragma once

#include "split/clipendmark.h"
#include "split/clipprocess.h"

#include <QList>
#include <QProcess>
#include <memory>
#include <optional>

// One run of the encoder front-end for all the clips of a run ("--clips"): each clip's arguments go to its
// standard input, and it keeps the source open between clips, so that a stream copy reads the source's
// index once and the source about once. Sections that are encoded are handed over together, for one
// encode of all of them. Stopping a clip ends the front-end; the next clip starts another, and so do the
// clips handed over together that had not ended.
class SessionClipProcess : public ClipProcess {
    Q_OBJECT
public:
    using ClipProcess::ClipProcess;
    ~SessionClipProcess() override;

    void Start(const ClipJob& job) override;
    QByteArray ReadChunk(qint64 maxSize) override;
    void Stop() override;
    bool Running() const override { return clipRunning; }
    qint64 ProcessId() const override;
    ClipExit Exit() const override { return exit; }
    void EndRun() override;

    bool TakesClipsTogether() const override { return true; }
    void StartTogether(const QList<ClipJob>& jobs) override;
    void Continue() override;

private:
    // Whether the front-end is one that was started before the run.
    bool StartFrontEnd();
    // Hands the clips to the front-end, each but the last to be made together with the one after it.
    void Send(const QList<ClipJob>& jobs);
    void Refuse();
    void TakeOutput();
    void FrontEndEnded();

    std::unique_ptr<QProcess> frontEnd;
    // Clips handed over together whose turn has not come, and the current one while the front-end has
    // said nothing of it.
    QList<ClipJob> waiting;
    std::optional<ClipJob> handedEarlier;
    ClipEndMark endMark;
    QByteArray output;
    bool clipRunning = false;
    // The front-end ended and a clip failed with that.
    bool endReported = false;
    ClipExit exit;
};
