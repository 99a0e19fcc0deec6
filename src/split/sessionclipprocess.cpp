#include "split/sessionclipprocess.h"

#include "split/clipjob.h"
#include "split/earlyfrontend.h"
#include "split/frontendprocess.h"

#include "contract/sessionprotocol.h"

#include <QFile>

SessionClipProcess::~SessionClipProcess() {
    Stop();
    EndRun();
}

bool SessionClipProcess::StartFrontEnd() {
    frontEnd = EarlySessionFrontEnd::Take();
    const bool early = frontEnd != nullptr;
    if (!early)
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
    endReported = false;
    if (!early)
        StartSessionFrontEnd(*frontEnd);
    return early;
}

void SessionClipProcess::Start(const ClipJob& job) {
    waiting.clear();
    handedEarlier.reset();
    exit = ClipExit();
    clipRunning = true;
    Send({job});
}

void SessionClipProcess::StartTogether(const QList<ClipJob>& jobs) {
    waiting = jobs.mid(1);
    handedEarlier.reset();
    exit = ClipExit();
    clipRunning = true;
    Send(jobs);
}

void SessionClipProcess::Continue() {
    exit = ClipExit();
    clipRunning = true;
    if (waiting.isEmpty()) {
        Refuse();
        return;
    }
    const ClipJob next = waiting.takeFirst();
    // A front-end whose end an earlier clip reported is started anew for this one and those after it.
    if (!frontEnd || endReported) {
        Send(QList<ClipJob>{next} + waiting);
        return;
    }
    // What came of it with the clip before is its own.
    endMark.Feed(QByteArray(), output);
    if (output.isEmpty())
        handedEarlier = next;
    // The clip's output, and maybe its end, may have come with the one before. A front-end that has ended
    // since is heard out as if it ended now: one that had not begun this clip hands it to a new one, one
    // that crashed in it fails it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            TakeOutput();
            if (clipRunning && frontEnd && frontEnd->state() == QProcess::NotRunning)
                FrontEndEnded();
        },
        Qt::QueuedConnection);
}

void SessionClipProcess::Send(const QList<ClipJob>& jobs) {
    QByteArray framedJobs;
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        // Paths go as the system names them.
        std::vector<std::string> arguments;
        if (i + 1 < jobs.size())
            arguments.push_back(Contract::WithNextOption);
        for (const QString& argument : jobs.at(i).arguments)
            arguments.push_back(QFile::encodeName(argument).toStdString());
        const std::optional<std::string> framed = Contract::FrameClipArguments(arguments);
        if (!framed) {
            Refuse();
            return;
        }
        framedJobs += QByteArray::fromStdString(*framed);
    }
    // One started before the run may have ended before it was given anything: a new one then takes these.
    if ((!frontEnd || frontEnd->state() == QProcess::NotRunning) && StartFrontEnd() && !jobs.isEmpty())
        handedEarlier = jobs.front();
    frontEnd->write(framedJobs);
}

// An argument the session cannot carry: the clip fails as a front-end's refusal would.
void SessionClipProcess::Refuse() {
    exit.exitCode = 2;
    output += QByteArrayLiteral("refused: an argument of the clip is empty or holds a NUL character\n");
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!clipRunning)
                return;
            clipRunning = false;
            emit OutputReady();
            emit Finished();
        },
        Qt::QueuedConnection);
}

void SessionClipProcess::TakeOutput() {
    const QByteArray chunk = frontEnd ? frontEnd->readAll() : QByteArray();
    if (!chunk.isEmpty())
        handedEarlier.reset();
    endMark.Feed(chunk, output);
    if (!output.isEmpty())
        emit OutputReady();
    // The end of a clip made together with the one before may come before its turn: it waits for it.
    if (!clipRunning)
        return;
    if (const std::optional<int> code = endMark.TakeEnd()) {
        clipRunning = false;
        exit.exitCode = *code;
        emit Finished();
    }
}

// The front-end ended in the middle of a clip: crashed, killed from outside, or refused its input.
void SessionClipProcess::FrontEndEnded() {
    if (!clipRunning)
        return;
    const QByteArray held = endMark.TakeHeld();
    // It ended of itself after the clip before, without a word of this one, which it had not begun: a new
    // front-end takes this clip and the rest. One that crashed fails the clip.
    if (handedEarlier && frontEnd->exitStatus() == QProcess::NormalExit && output.isEmpty() &&
        held.isEmpty()) {
        const ClipJob again = *handedEarlier;
        handedEarlier.reset();
        Send(QList<ClipJob>{again} + waiting);
        return;
    }
    output += held;
    clipRunning = false;
    endReported = true;
    exit.crashed = frontEnd->exitStatus() == QProcess::CrashExit;
    exit.exitCode = frontEnd->exitCode() != 0 ? frontEnd->exitCode() : 1;
    emit OutputReady();
    emit Finished();
}

QByteArray SessionClipProcess::ReadChunk(qint64 maxSize) {
    return TakeOutputChunk(output, maxSize);
}

void SessionClipProcess::Stop() {
    if (!clipRunning || !frontEnd)
        return;
    clipRunning = false;
    exit.crashed = true;
    waiting.clear();
    handedEarlier.reset();
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
