#include "split/splitrunner.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "split/clipjob.h"
#include "split/clipprogress.h"
#include "split/encodernotes.h"
#include "split/inputcheck.h"
#include "split/splitview.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace {

// Chunks are handled one at a time and never exceed what the original pipe reads could return.
constexpr qint64 ChunkSize = 4095;
// Enough of a clip's output to find its last error line.
constexpr int OutputTailSize = 8192;
// The nested loop's own ways out; any other return value means the application is ending.
constexpr int LoopWakeUp = 1;

} // namespace

SplitRunner::SplitRunner(SplitView& view, QObject* parent) : QObject(parent), view(view) {}

SplitRunner::~SplitRunner() {
    StopEncoder();
}

bool SplitRunner::EncoderRunning() const {
    return encoder && encoder->state() != QProcess::NotRunning;
}

qint64 SplitRunner::EncoderProcessId() const {
    return EncoderRunning() ? encoder->processId() : 0;
}

void SplitRunner::StopEncoder() {
    if (!EncoderRunning())
        return;
    // SIGKILL: an encoder that ignores a polite request must stop all the same.
    encoder->kill();
    encoder->waitForFinished(10000);
}

RunState SplitRunner::State() const {
    return state == RunState::Running && view.StopRequested() ? RunState::CancelRequested : state;
}

void SplitRunner::ConfirmCancel() {
    if (State() != RunState::Running)
        return;
    if (view.AskYesNo(QStringLiteral("Do you want to cancel the splitting?"), QStringLiteral("Query")))
        state = RunState::CancelRequested;
}

bool SplitRunner::CloseQuery() {
    if (State() != RunState::Running)
        return true;
    if (!view.AskYesNo(QStringLiteral("Do you want to cancel the splitting and exit?"),
                       QStringLiteral("Exit Query")))
        return false;
    state = RunState::CancelRequested;
    return true;
}

void SplitRunner::LeaveBusyState() {
    state = RunState::Idle;
    view.LeaveBusyState();
}

void SplitRunner::RunSplit(const ProfileOptions& profileOptions) {
    if (running)
        return;
    const SplitInputs inputs = view.ReadInputs();
    const InputCheck check = CheckSplitInputs(inputs, profileOptions);
    if (!check.ok) {
        view.ShowMessage(check.message, check.caption, SplitMessageKind::Information);
        if (check.focus != SplitFocus::Stays)
            view.MoveFocus(check.focus);
        return;
    }

    running = true;
    struct RunningFlag {
        bool& flag;
        ~RunningFlag() { flag = false; }
    } runningFlag{running};

    view.EnterBusyState();
    state = RunState::Running;
    const ClipPlan& plan = check.plan;
    const QString outputFolder = EnsureTrailingBackslash(inputs.outputDirText);
    ClipProgress progress(plan);
    QList<FailedClip> failures;
    QStringList notes;

    for (int i = 1; i <= plan.Count(); ++i) {
        const ClipJob job = MakeClipJob(inputs, plan, i, outputFolder, profileOptions);
        emit ClipPending(i, job.outputPath);
        const bool declined = QFileInfo::exists(job.outputPath) && !view.OverwriteWithoutAsking() &&
                              !view.AskYesNo(QStringLiteral("The output file is existent. Overwrite it?"),
                                             QStringLiteral("Overwrite"));
        // The question lets events through; a cancel asked for meanwhile is honoured whatever the answer.
        if (CancelRequested()) {
            LeaveBusyState();
            return;
        }
        if (declined) {
            if (plan.OneClip()) {
                LeaveBusyState();
                return;
            }
            continue;
        }

        view.ShowProcessing(plan.OneClip() ? QStringLiteral("Splitting: ") + FileNameOf(inputs.sourcePath)
                                           : QStringLiteral("Splitting: Section ") + QString::number(i));
        commandLine = job.commandLine;
        emit ClipStarted(i, commandLine);

        progress.SetClip(i);
        QByteArray outputTail;
        EncoderNotes clipNotes;
        const ClipEnd end = RunClip(job.arguments, progress, outputTail, clipNotes);
        for (const QString& note : clipNotes.Notes())
            notes << FileNameOf(job.outputPath) + QStringLiteral(": ") + note;
        if (end == ClipEnd::FailedToStart) {
            view.ShowMessage(QStringLiteral("Error. Please re-install ") + App().ProductName,
                             App().ProductName, SplitMessageKind::Plain);
            LeaveBusyState();
            return;
        }
        if (end == ClipEnd::Cancelled) {
            StopEncoder();
            LeaveBusyState();
            return;
        }

        // A clip counts as failed by what its encoder said on exit; our own stop after the exit changes
        // nothing.
        if (encoder->exitStatus() == QProcess::CrashExit || encoder->exitCode() != 0) {
            QString reason = LastErrorLine(outputTail);
            if (reason.isEmpty())
                reason = encoder->exitStatus() == QProcess::CrashExit
                             ? QStringLiteral("the encoder stopped unexpectedly")
                             : QStringLiteral("the encoder ended with exit code %1").arg(encoder->exitCode());
            failures << FailedClip{FileNameOf(job.outputPath), reason};
        } else if (!QFileInfo::exists(job.outputPath)) {
            // ffmpeg ends well even when the folder was removed under it and the clip went with it.
            failures << FailedClip{FileNameOf(job.outputPath),
                                   QStringLiteral("the encoder ended, but the clip file is missing")};
        } else if (QFileInfo(job.outputPath).size() == 0 || ReportsNothingEncoded(outputTail)) {
            // A range past the source's end gives a clip of headers only, and ffmpeg still ends well.
            failures << FailedClip{FileNameOf(job.outputPath), QStringLiteral("the encoder wrote no frames")};
        }
        view.ResetCurrentBar();
        progress.EndClip();
        StopEncoder();
    }

    view.StopRunTimers();
    Complete(failures, notes);
}

SplitRunner::ClipEnd SplitRunner::RunClip(const QStringList& arguments, ClipProgress& progress,
                                          QByteArray& outputTail, EncoderNotes& notes) {
    encoder = std::make_unique<QProcess>();
    encoder->setProcessChannelMode(QProcess::MergedChannels);
    encoder->setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    // Should the program itself be killed, the kernel ends the encoder too (kept across the exec).
    encoder->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif

    QEventLoop loop;
    bool failedToStart = false;
    bool finished = false;
    connect(encoder.get(), &QProcess::readyRead, &loop, [&] {
        ReadChunks(progress, outputTail, notes);
        if (CancelRequested())
            loop.exit(LoopWakeUp);
    });
    connect(encoder.get(), &QProcess::finished, &loop, [&] {
        finished = true;
        loop.exit(LoopWakeUp);
    });
    connect(encoder.get(), &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failedToStart = true;
            loop.exit(LoopWakeUp);
        }
    });
    // Once the window has handled everything pending, a cancel asked for by one of those events is seen
    // at once, even while the encoder is silent.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (CancelRequested())
                loop.exit(LoopWakeUp);
        });

    encoder->start(App().EncoderPath, arguments);
    for (;;) {
        if (failedToStart)
            return ClipEnd::FailedToStart;
        if (CancelRequested())
            return ClipEnd::Cancelled;
        if (finished) {
            ReadChunks(progress, outputTail, notes);
            return ClipEnd::Done;
        }
        // The application is ending (its last window closed): stop as for a cancel.
        if (loop.exec() != LoopWakeUp)
            return ClipEnd::Cancelled;
    }
}

void SplitRunner::ReadChunks(ClipProgress& progress, QByteArray& outputTail, EncoderNotes& notes) {
    while (encoder->bytesAvailable() > 0 && !CancelRequested()) {
        const QByteArray chunk = encoder->read(ChunkSize);
        if (chunk.isEmpty())
            break;
        outputTail += chunk;
        if (outputTail.size() > OutputTailSize)
            outputTail.remove(0, outputTail.size() - OutputTailSize);
        progress.Feed(chunk);
        notes.Feed(chunk);
        view.ShowProgress(progress.Current(), progress.Total());
    }
}

void SplitRunner::Complete(const QList<FailedClip>& failures, const QStringList& notes) {
    // Where clips differ from the times asked for, the person learns it once the run is over.
    const auto showNotes = [&] {
        if (!notes.isEmpty())
            view.ShowMessage(QStringLiteral("Notes on the clips:\n") + notes.join(QLatin1Char('\n')),
                             QStringLiteral("Cut Points"), SplitMessageKind::Information);
    };
    if (!failures.isEmpty()) {
        view.ShowMessage(FailureReport(failures), QStringLiteral("Splitting Failed"),
                         SplitMessageKind::Error);
        showNotes();
        LeaveBusyState();
        return;
    }
    const CompletionChoice choice = view.ReadCompletionChoice();
    if (choice.turnOff || choice.exit) {
        state = RunState::Idle;
        view.StartCountdown(choice.turnOff ? CountdownAction::TurnOff : CountdownAction::Exit);
        return;
    }
    view.ShowMessage(QStringLiteral("Splitting is completed successfully."), QStringLiteral("Completed"),
                     SplitMessageKind::Information);
    showNotes();
    if (choice.openDir)
        view.OpenFolder(view.OutputDirText());
    LeaveBusyState();
}
