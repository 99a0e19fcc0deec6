#pragma once

#include "profiles/profileoptions.h"
#include "split/splitresult.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

struct ClipJob;
class ClipProcess;
class PartialClip;
class SplitView;

// Where a run stands. The window's handlers that run in the middle of a run (the Cancel image, the close
// question, the timers, the shortcuts) talk to it only through this.
enum class RunState { Idle, Running, CancelRequested };

// Carries out one split run for a view: checks its inputs, has each clip produced in turn and turns the
// work's output into progress, and ends with the completion action. RunSplit returns only when the run is
// over; meanwhile a nested event loop keeps the window alive, and State() is the one link to the Cancel
// and close questions.
class SplitRunner : public QObject {
    Q_OBJECT
public:
    explicit SplitRunner(SplitView& view, QObject* parent = nullptr);
    // Never leaves an encoder behind, also when the program ends in the middle of a run.
    ~SplitRunner() override;

    // The profile's options go to every clip; a refused profile ends the run before any encoder starts.
    SplitResult RunSplit(const ProfileOptions& profileOptions = {});
    // Ends the work on the current clip, if it still goes on.
    void StopEncoder();

    bool Running() const { return running; }
    bool EncoderRunning() const;
    // The process id of the running encoder, 0 when none runs.
    qint64 EncoderProcessId() const;
    // The command line of the clip started last, as text.
    QString CommandLine() const { return commandLine; }

    // A stop that the view reports from outside (StopRequested) counts as a cancel asked for.
    RunState State() const;
    // The window sets it back to Idle when it leaves its busy state and when it loads a source.
    void SetState(RunState newState) { state = newState; }
    bool CancelRequested() const { return State() == RunState::CancelRequested; }

    // The questions of a run; each asks only while the run is going (Running).
    // The Cancel image: Yes requests the cancel.
    void ConfirmCancel();
    // A request to close the window: true when it may close; Yes during a run requests the cancel.
    bool CloseQuery();

signals:
    // Clip i is next, to be written to outputPath; the overwrite question, if any, follows.
    void ClipPending(int clip, const QString& outputPath);
    void ClipStarted(int clip, const QString& commandLine);

private:
    struct Run;
    struct ClipOutput;
    // What became of one clip; Cancelled and Stopped end the run at once (Stopped: a declined overwrite of
    // the only clip, an encoder that cannot be started).
    enum class ClipOutcome { Written, Failed, Skipped, Cancelled, Stopped };
    enum class ClipEnd { Done, Cancelled, FailedToStart };

    std::unique_ptr<ClipProcess> MakeClipProcess(const Run& run) const;
    // Both return false when the run stopped.
    bool WritePlannedClips(Run& run);
    bool WriteSizeClips(Run& run);
    bool WriteClipsTogether(Run& run);
    bool EncodesTogether(const Run& run) const;
    ClipOutcome ProcessClip(Run& run, const ClipJob& job);
    // The clip's announcement and the overwrite question: the outcome when the clip is not to be made.
    std::optional<ClipOutcome> AskForClip(Run& run, const ClipJob& job);
    ClipOutcome NotCreated(Run& run, const ClipJob& job, const PartialClip& partial);
    // Has the clip made into its partial file (start hands the job to the work) and judges it.
    ClipOutcome MakeClip(Run& run, const ClipJob& job, PartialClip& partial,
                         const std::function<void(const ClipJob&)>& start);
    // Counts the clip in the run's result; false when the run ends with it.
    static bool Tally(Run& run, ClipOutcome outcome);
    // Asks before an existing file is replaced; true when the person keeps it.
    bool KeepsExistingOutput(const ClipJob& job);
    ClipEnd WaitForClip(const ClipJob& job, Run& run, ClipOutput& output,
                        const std::function<void(const ClipJob&)>& start);
    void ReadChunks(Run& run, ClipOutput& output);
    void Complete(const Run& run);
    // Every way out of a run ends here, back to Idle.
    void LeaveBusyState();

    SplitView& view;
    std::unique_ptr<ClipProcess> process;
    QString commandLine;
    bool running = false;
    RunState state = RunState::Idle;
};
