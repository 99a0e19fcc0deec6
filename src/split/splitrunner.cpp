#include "split/splitrunner.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "split/clipjob.h"
#include "split/clipprogress.h"
#include "split/encoderclipprocess.h"
#include "split/encodercommand.h"
#include "split/encodernotes.h"
#include "split/inputcheck.h"
#include "split/partialclip.h"
#include "split/sessionclipprocess.h"
#include "split/splitview.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QFileInfo>

namespace {

// Chunks are handled one at a time and never exceed what the original pipe reads could return.
constexpr qint64 ChunkSize = 4095;
// Enough of a clip's output to find its last error line.
constexpr int OutputTailSize = 8192;
// The nested loop's own ways out; any other return value means the application is ending.
constexpr int LoopWakeUp = 1;

} // namespace

// A checked run and what it gathers clip by clip.
struct SplitRunner::Run {
    SplitInputs inputs;
    ClipPlan plan;
    ProfileOptions profileOptions;
    QString outputFolder;
    ClipProgress progress;
    QList<FailedClip> failures;
    QStringList notes;
    // Where the clip written last stopped, as its front-end told it (clips of a chosen size).
    std::optional<double> stopAt;
    SplitResult result;

    Run(const SplitInputs& inputs, const ClipPlan& plan, const ProfileOptions& profileOptions)
        : inputs(inputs), plan(plan), profileOptions(profileOptions),
          outputFolder(EnsureTrailingBackslash(inputs.outputDirText)), progress(plan) {}
};

// What one clip's work printed: the end of it for the error line, and the front-end's notes.
struct SplitRunner::ClipOutput {
    QByteArray tail;
    EncoderNotes notes;
};

SplitRunner::SplitRunner(SplitView& view, QObject* parent)
    : QObject(parent), view(view), process(std::make_unique<EncoderClipProcess>()) {}

SplitRunner::~SplitRunner() {
    StopEncoder();
}

bool SplitRunner::EncoderRunning() const {
    return process->Running();
}

qint64 SplitRunner::EncoderProcessId() const {
    return process->ProcessId();
}

void SplitRunner::StopEncoder() {
    process->Stop();
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

SplitResult SplitRunner::RunSplit(const ProfileOptions& profileOptions) {
    if (running)
        return SplitResult();
    const SplitInputs inputs = view.ReadInputs();
    const InputCheck check = CheckSplitInputs(inputs, profileOptions);
    if (!check.ok) {
        view.ShowMessage(check.message, check.caption, SplitMessageKind::Information);
        if (check.focus != SplitFocus::Stays)
            view.MoveFocus(check.focus);
        return SplitResult();
    }

    running = true;
    struct RunningFlag {
        bool& flag;
        ~RunningFlag() { flag = false; }
    } runningFlag{running};

    view.EnterBusyState();
    state = RunState::Running;
    Run run(inputs, check.plan, profileOptions);
    process = MakeClipProcess(run);
    const bool allTried = run.plan.MaxBytes() > 0 ? WriteSizeClips(run) : WritePlannedClips(run);
    // Every clip named in the failure report counts as failed, also one that the run could not go past.
    run.result.failed = int(run.failures.size());
    process->EndRun();
    if (!allTried) {
        LeaveBusyState();
        return run.result;
    }
    view.StopRunTimers();
    Complete(run);
    run.result.end = SplitResult::End::Finished;
    return run.result;
}

bool SplitRunner::Tally(Run& run, ClipOutcome outcome) {
    run.result.written += outcome == ClipOutcome::Written;
    run.result.skipped += outcome == ClipOutcome::Skipped;
    if (outcome == ClipOutcome::Cancelled)
        run.result.end = SplitResult::End::Cancelled;
    if (outcome == ClipOutcome::Stopped)
        run.result.end = SplitResult::End::Stopped;
    return outcome != ClipOutcome::Cancelled && outcome != ClipOutcome::Stopped;
}

bool SplitRunner::WritePlannedClips(Run& run) {
    if (EncodesTogether(run))
        return WriteClipsTogether(run);
    for (int i = 1; i <= run.plan.Count(); ++i) {
        const ClipJob job =
            MakeClipJob(run.inputs, run.plan, i, run.outputFolder, run.profileOptions, view.OutputExt());
        run.progress.SetClip(i);
        if (!Tally(run, ProcessClip(run, job)))
            return false;
    }
    return true;
}

// Each clip of a split by size starts where the one before it stopped, which only the front-end knows once
// it has planned the clip; a clip that fails leaves nothing to start the next one from.
bool SplitRunner::WriteSizeClips(Run& run) {
    const double end = run.plan.Start() + run.plan.Length();
    const double frame = run.inputs.sourceFrameRate > 0 ? 1 / run.inputs.sourceFrameRate : 0;
    // Less than half a frame (or a millisecond) left over is the rounding of the times, not a clip.
    const double leftOver = frame > 0 ? frame / 2 : 1e-3;
    double from = run.plan.Start();
    for (int i = 1; end - from > leftOver; ++i) {
        const ClipJob job = MakeSizeClipJob(run.inputs, run.plan, i, from, run.outputFolder,
                                            run.profileOptions, view.OutputExt());
        run.progress.SetSizeClip(i, from);
        run.stopAt.reset();
        const ClipOutcome outcome = ProcessClip(run, job);
        if (!Tally(run, outcome))
            return false;
        if (outcome == ClipOutcome::Failed)
            return true;
        const QString name = FileNameOf(job.outputPath);
        if (outcome == ClipOutcome::Skipped) {
            run.failures << FailedClip{name,
                                       QStringLiteral("the existing clip was kept, and the clips after it "
                                                      "start where this one would have stopped")};
            return true;
        }
        if (!run.stopAt || !(*run.stopAt > from)) {
            run.failures << FailedClip{name, QStringLiteral("the encoder did not tell where the clip stops")};
            return true;
        }
        from = *run.stopAt;
    }
    return true;
}

bool SplitRunner::EncodesTogether(const Run& run) const {
    return !run.plan.OneClip() && !IsStreamCopy(run.inputs.profileName, run.profileOptions) &&
           process->TakesClipsTogether();
}

// The sections of a run share one front-end: a stream copy reads the source's index once, and encoded
// sections come from one encode. A lone clip starts the front-end for itself.
std::unique_ptr<ClipProcess> SplitRunner::MakeClipProcess(const Run& run) const {
    if (!run.plan.OneClip())
        return std::make_unique<SessionClipProcess>();
    return std::make_unique<EncoderClipProcess>();
}

SplitRunner::ClipOutcome SplitRunner::ProcessClip(Run& run, const ClipJob& job) {
    if (const std::optional<ClipOutcome> outcome = AskForClip(run, job))
        return *outcome;
    PartialClip partial(job.outputPath);
    if (!partial.Created())
        return NotCreated(run, job, partial);
    return MakeClip(run, job, partial, [this](const ClipJob& written) { process->Start(written); });
}

std::optional<SplitRunner::ClipOutcome> SplitRunner::AskForClip(Run& run, const ClipJob& job) {
    emit ClipPending(job.clip, job.outputPath);
    // A profile loaded during the run may name a type that no clip is written as.
    if (job.muxer.isEmpty()) {
        run.failures << FailedClip{FileNameOf(job.outputPath),
                                   QStringLiteral("its extension is not one this program writes")};
        return ClipOutcome::Failed;
    }
    const bool kept = KeepsExistingOutput(job);
    // The question lets events through; a cancel asked for meanwhile is honoured whatever the answer.
    if (CancelRequested())
        return ClipOutcome::Cancelled;
    if (kept)
        return run.plan.OneClip() ? ClipOutcome::Stopped : ClipOutcome::Skipped;
    return std::nullopt;
}

SplitRunner::ClipOutcome SplitRunner::NotCreated(Run& run, const ClipJob& job, const PartialClip& partial) {
    run.failures << FailedClip{FileNameOf(job.outputPath), partial.Problem()};
    view.ResetCurrentBar();
    run.progress.EndClip();
    return ClipOutcome::Failed;
}

SplitRunner::ClipOutcome SplitRunner::MakeClip(Run& run, const ClipJob& job, PartialClip& partial,
                                               const std::function<void(const ClipJob&)>& start) {
    view.ShowProcessing(run.plan.OneClip()
                            ? QStringLiteral("Splitting: ") + FileNameOf(run.inputs.sourcePath)
                            : QStringLiteral("Splitting: Section ") + QString::number(job.clip));
    commandLine = job.commandLine;
    emit ClipStarted(job.clip, commandLine);

    ClipJob written = job;
    WriteClipTo(written, partial.Path());
    ClipOutput output;
    const ClipEnd end = WaitForClip(written, run, output, start);
    if (end == ClipEnd::FailedToStart) {
        view.ShowMessage(QStringLiteral("Error. Please re-install ") + App().ProductName, App().ProductName,
                         SplitMessageKind::Plain);
        return ClipOutcome::Stopped;
    }
    if (end == ClipEnd::Cancelled) {
        StopEncoder();
        return ClipOutcome::Cancelled;
    }

    QString failure = ClipFailure(process->Exit(), partial.Path(), output.tail);
    if (failure.isEmpty() && !partial.Commit())
        failure = partial.Problem();
    if (!failure.isEmpty()) {
        run.failures << FailedClip{FileNameOf(job.outputPath), failure};
    } else {
        run.stopAt = output.notes.StopAt();
        // Where a clip starts is told only of clips that were written.
        for (const QString& note : output.notes.Notes())
            run.notes << FileNameOf(job.outputPath) + QStringLiteral(": ") + note;
    }
    view.ResetCurrentBar();
    run.progress.EndClip();
    StopEncoder();
    return failure.isEmpty() ? ClipOutcome::Written : ClipOutcome::Failed;
}

// Sections that are encoded come from one encode of the whole range. Every question comes before it
// starts, in clip order; the clips that are to be made and follow one another are handed over together,
// and each is then waited for, shown and judged in turn as before.
bool SplitRunner::WriteClipsTogether(Run& run) {
    QList<ClipJob> wanted;
    for (int i = 1; i <= run.plan.Count(); ++i) {
        const ClipJob job =
            MakeClipJob(run.inputs, run.plan, i, run.outputFolder, run.profileOptions, view.OutputExt());
        if (const std::optional<ClipOutcome> outcome = AskForClip(run, job)) {
            if (!Tally(run, *outcome))
                return false;
            continue;
        }
        wanted << job;
    }
    while (!wanted.isEmpty()) {
        // The clips from here that follow one another, each with its file ready.
        QList<ClipJob> jobs;
        QList<ClipJob> together; // the same, writing to their partial files
        std::vector<std::unique_ptr<PartialClip>> partials;
        while (!wanted.isEmpty() && (jobs.isEmpty() || wanted.first().clip == jobs.last().clip + 1)) {
            const ClipJob job = wanted.takeFirst();
            auto partial = std::make_unique<PartialClip>(job.outputPath);
            if (!partial->Created()) {
                run.progress.SetClip(job.clip);
                Tally(run, NotCreated(run, job, *partial));
                break;
            }
            ClipJob written = job;
            WriteClipTo(written, partial->Path());
            jobs << job;
            together << written;
            partials.push_back(std::move(partial));
        }
        for (qsizetype k = 0; k < jobs.size(); ++k) {
            const ClipJob& job = jobs.at(k);
            run.progress.SetClip(job.clip);
            const auto start = [&](const ClipJob& written) {
                if (k > 0)
                    process->Continue();
                else if (together.size() > 1)
                    process->StartTogether(together);
                else
                    process->Start(written);
            };
            if (!Tally(run, MakeClip(run, job, *partials[std::size_t(k)], start)))
                return false;
        }
    }
    return true;
}

bool SplitRunner::KeepsExistingOutput(const ClipJob& job) {
    return QFileInfo::exists(job.outputPath) && !view.OverwriteWithoutAsking() &&
           !view.AskYesNo(QStringLiteral("The output file is existent. Overwrite it?"),
                          QStringLiteral("Overwrite"));
}

SplitRunner::ClipEnd SplitRunner::WaitForClip(const ClipJob& job, Run& run, ClipOutput& output,
                                              const std::function<void(const ClipJob&)>& start) {
    QEventLoop loop;
    bool failedToStart = false;
    bool finished = false;
    connect(process.get(), &ClipProcess::OutputReady, &loop, [&] {
        ReadChunks(run, output);
        if (CancelRequested())
            loop.exit(LoopWakeUp);
    });
    connect(process.get(), &ClipProcess::Finished, &loop, [&] {
        finished = true;
        loop.exit(LoopWakeUp);
    });
    connect(process.get(), &ClipProcess::FailedToStart, &loop, [&] {
        failedToStart = true;
        loop.exit(LoopWakeUp);
    });
    // Once the window has handled everything pending, a cancel asked for by one of those events is seen
    // at once, even while the encoder is silent.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (CancelRequested())
                loop.exit(LoopWakeUp);
        });

    start(job);
    for (;;) {
        if (failedToStart)
            return ClipEnd::FailedToStart;
        if (CancelRequested())
            return ClipEnd::Cancelled;
        if (finished) {
            ReadChunks(run, output);
            return ClipEnd::Done;
        }
        // The application is ending (its last window closed): stop as for a cancel.
        if (loop.exec() != LoopWakeUp)
            return ClipEnd::Cancelled;
    }
}

void SplitRunner::ReadChunks(Run& run, ClipOutput& output) {
    while (!CancelRequested()) {
        const QByteArray chunk = process->ReadChunk(ChunkSize);
        if (chunk.isEmpty())
            break;
        // The front-end's records are taken out first: only its text can tell progress or an error.
        const QByteArray text = output.notes.Feed(chunk);
        output.tail += text;
        if (output.tail.size() > OutputTailSize)
            output.tail.remove(0, output.tail.size() - OutputTailSize);
        run.progress.Feed(text);
        if (const auto stop = output.notes.StopAt())
            run.progress.SetClipEnd(*stop);
        view.ShowProgress(run.progress.Current(), run.progress.Total());
    }
}

void SplitRunner::Complete(const Run& run) {
    // Where clips differ from the times asked for, the person learns it once the run is over.
    const auto showNotes = [&] {
        if (!run.notes.isEmpty())
            view.ShowMessage(QStringLiteral("Notes on the clips:\n") + run.notes.join(QLatin1Char('\n')),
                             QStringLiteral("Cut Points"), SplitMessageKind::Information);
    };
    if (!run.failures.isEmpty()) {
        view.ShowMessage(FailureReport(run.failures), QStringLiteral("Splitting Failed"),
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
