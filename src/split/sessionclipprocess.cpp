#include "split/sessionclipprocess.h"

#include "app/appcontext.h"
#include "split/clipjob.h"
#include "split/frontendprocess.h"

#include "contract/sessionprotocol.h"

#include <QFile>

SessionClipProcess::~SessionClipProcess() {
    Stop();
    EndRun();
}

void SessionClipProcess::StartFrontEnd() {
    frontEnd = NewFrontEndProcess();
    connect(frontEnd.get(), &QProcess::readyRead, this, &SessionClipProcess::TakeOutput);
    connect(frontEnd.get(), &QProcess::finished, this, &SessionClipProcess::FrontEndEnded);
    connect(frontEnd.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && clipRunning) {
            clipRunning = false;
            emit FailedToStart();
        }
    });
    endMark = ClipEndMark();
    frontEnd->start(App().EncoderPath, {QString::fromLatin1(Contract::ClipsOption)});
}

void SessionClipProcess::Start(const ClipJob& job) {
    exit = ClipExit();
    // Paths go as the system names them.
    std::vector<std::string> arguments;
    for (const QString& argument : job.arguments)
        arguments.push_back(QFile::encodeName(argument).toStdString());
    const std::optional<std::string> framed = Contract::FrameClipArguments(arguments);
    if (!framed) {
        // An argument the session cannot carry: the clip fails as a front-end's refusal would.
        exit.exitCode = 2;
        output += QByteArrayLiteral("refused: an argument of the clip is empty or holds a NUL character\n");
        QMetaObject::invokeMethod(
            this,
            [this] {
                emit OutputReady();
                emit Finished();
            },
            Qt::QueuedConnection);
        return;
    }
    clipRunning = true;
    if (!frontEnd || frontEnd->state() == QProcess::NotRunning)
        StartFrontEnd();
    frontEnd->write(QByteArray::fromStdString(*framed));
}

void SessionClipProcess::TakeOutput() {
    endMark.Feed(frontEnd->readAll(), output);
    const std::optional<int> code = endMark.TakeEnd();
    if (!output.isEmpty())
        emit OutputReady();
    if (code && clipRunning) {
        clipRunning = false;
        exit.exitCode = *code;
        emit Finished();
    }
}

// The front-end ended in the middle of a clip: crashed, killed from outside, or refused its input.
void SessionClipProcess::FrontEndEnded() {
    if (!clipRunning)
        return;
    output += endMark.TakeHeld();
    clipRunning = false;
    exit.crashed = frontEnd->exitStatus() == QProcess::CrashExit;
    exit.exitCode = frontEnd->exitCode() != 0 ? frontEnd->exitCode() : 1;
    emit OutputReady();
    emit Finished();
}

QByteArray SessionClipProcess::ReadChunk(qint64 maxSize) {
    const QByteArray chunk = output.left(int(maxSize));
    output.remove(0, chunk.size());
    return chunk;
}

void SessionClipProcess::Stop() {
    if (!clipRunning || !frontEnd)
        return;
    clipRunning = false;
    exit.crashed = true;
    KillFrontEnd(std::move(frontEnd));
}

qint64 SessionClipProcess::ProcessId() const {
    return clipRunning && frontEnd ? frontEnd->processId() : 0;
}

void SessionClipProcess::EndRun() {
    if (!frontEnd)
        return;
    // The end of its input ends the front-end; one that does not end soon is stopped.
    frontEnd->closeWriteChannel();
    ReleaseFrontEnd(std::move(frontEnd), 5000);
}
