#include "split/encoderclipprocess.h"

#include "app/appcontext.h"
#include "split/clipjob.h"

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

EncoderClipProcess::~EncoderClipProcess() {
    Stop();
}

void EncoderClipProcess::Start(const ClipJob& job) {
    encoder = std::make_unique<QProcess>();
    encoder->setProcessChannelMode(QProcess::MergedChannels);
    encoder->setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    // Should the program itself be killed, the kernel ends the encoder too (kept across the exec).
    encoder->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
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
    // SIGKILL: an encoder that ignores a polite request must stop all the same.
    encoder->kill();
    encoder->waitForFinished(10000);
}

bool EncoderClipProcess::Running() const {
    return encoder && encoder->state() != QProcess::NotRunning;
}

qint64 EncoderClipProcess::ProcessId() const {
    return Running() ? encoder->processId() : 0;
}

ClipExit EncoderClipProcess::Exit() const {
    ClipExit exit;
    if (encoder) {
        exit.crashed = encoder->exitStatus() == QProcess::CrashExit;
        exit.exitCode = encoder->exitCode();
    }
    return exit;
}
