#include "split/encoderclipprocess.h"

#include "app/appcontext.h"
#include "split/clipjob.h"
#include "split/frontendprocess.h"

EncoderClipProcess::~EncoderClipProcess() {
    Stop();
}

void EncoderClipProcess::Start(const ClipJob& job) {
    stopped = ClipExit();
    encoder = NewFrontEndProcess();
    encoder->setStandardInputFile(QProcess::nullDevice());
    connect(encoder.get(), &QProcess::readyRead, this, &ClipProcess::OutputReady);
    connect(encoder.get(), &QProcess::finished, this, &ClipProcess::Finished);
    connect(encoder.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit FailedToStart();
    });
    encoder->start(App().EncoderPath, job.arguments);
}

QByteArray EncoderClipProcess::ReadChunk(qint64 maxSize) {
    if (!encoder || encoder->bytesAvailable() <= 0)
        return QByteArray();
    return encoder->read(maxSize);
}

void EncoderClipProcess::Stop() {
    if (!Running())
        return;
    stopped.crashed = true;
    KillFrontEnd(std::move(encoder));
}

bool EncoderClipProcess::Running() const {
    return encoder && encoder->state() != QProcess::NotRunning;
}

qint64 EncoderClipProcess::ProcessId() const {
    return Running() ? encoder->processId() : 0;
}

ClipExit EncoderClipProcess::Exit() const {
    ClipExit exit = stopped;
    if (encoder) {
        exit.crashed = encoder->exitStatus() == QProcess::CrashExit;
        exit.exitCode = encoder->exitCode();
    }
    return exit;
}
