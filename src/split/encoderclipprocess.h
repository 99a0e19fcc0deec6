#pragma once

#include "split/clipprocess.h"

#include <QProcess>
#include <memory>

// One run of the encoder front-end for each clip, started with the clip's argument list. Its console
// output, standard output and error merged, is the clip's output.
class EncoderClipProcess : public ClipProcess {
    Q_OBJECT
public:
    using ClipProcess::ClipProcess;
    // Never leaves an encoder behind, also when the program ends in the middle of a run.
    ~EncoderClipProcess() override;

    void Start(const ClipJob& job) override;
    QByteArray ReadChunk(qint64 maxSize) override;
    void Stop() override;
    bool Running() const override;
    qint64 ProcessId() const override;
    ClipExit Exit() const override;

private:
    std::unique_ptr<QProcess> encoder;
    // How a clip that was stopped ended; its process is no longer ours to ask.
    ClipExit stopped;
};
