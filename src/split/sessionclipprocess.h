#pragma once

#include "split/clipendmark.h"
#include "split/clipprocess.h"

#include <QProcess>
#include <memory>

// One run of the encoder front-end for all the clips of a run ("--clips"): each clip's arguments go to its
// standard input, and it keeps the source open between clips, so that a stream copy reads the source's
// index once and the source about once. Stopping a clip ends the front-end; the next clip starts another.
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

private:
    void StartFrontEnd();
    void TakeOutput();
    void FrontEndEnded();

    std::unique_ptr<QProcess> frontEnd;
    ClipEndMark endMark;
    QByteArray output;
    bool clipRunning = false;
    ClipExit exit;
};
