#pragma once

#include "split/splitview.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <cstdio>

class QTimer;
class SplitRunner;

// How a headless run talks to the person or the script that started it.
struct ConsoleSettings {
    // Progress and the success message are left out; errors are always printed.
    bool quiet = false;
    // Standard output is a terminal: one line per clip, rewritten in place as the clip goes on.
    // Otherwise one plain line each time the total percentage changes.
    bool liveProgress = false;
    // Standard input is a terminal: an existing clip file is asked about; otherwise it is kept.
    bool askQuestions = false;
};

// A split run's view on a console: the inputs come resolved from the command line, progress goes to
// standard output, errors and questions to standard error. Nothing here ever opens a window, turns the
// computer off or opens a folder.
class ConsoleSplitView : public QObject, public SplitView {
    Q_OBJECT
public:
    // How the run stands, for which stream a message goes to.
    enum class Outcome { NotStarted, Running, Refused, Completed, Failed, Stopped };

    // outputExt: the extension of the profile that the run was given.
    ConsoleSplitView(const SplitInputs& inputs, const QString& outputExt, bool overwrite, int clipCount,
                     const ConsoleSettings& settings, FILE* out = stdout, FILE* err = stderr, int inFd = 0);

    // Follows the runner's clips for the clip numbers and file names it shows.
    void Attach(SplitRunner& runner);

    Outcome RunOutcome() const { return outcome; }

    SplitInputs ReadInputs() override { return inputs; }
    bool OverwriteWithoutAsking() override { return overwrite; }
    QString OutputExt() override { return outputExt; }
    CompletionChoice ReadCompletionChoice() override { return CompletionChoice(); }
    QString OutputDirText() override { return inputs.outputDirText; }
    void ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    void MoveFocus(SplitFocus) override {}
    void EnterBusyState() override;
    void LeaveBusyState() override;
    // A Ctrl+C or SIGTERM counts as a cancel request from the moment it arrives.
    bool StopRequested() const override;
    void ShowProcessing(const QString&) override {}
    void ShowProgress(int current, int total) override;
    void ResetCurrentBar() override;
    void StopRunTimers() override;
    void StartCountdown(CountdownAction) override {}
    void OpenFolder(const QString&) override {}

private:
    void ClipPending(int clip, const QString& outputPath);
    void ClipStarted(int clip);
    void DrawLiveLine();
    void EndLiveLine();
    bool ReadAnswer();
    void Out(const QString& text);
    void Err(const QString& text, bool newline = true);
    qint64 ElapsedSeconds() const;

    SplitInputs inputs;
    QString outputExt;
    bool overwrite;
    int clipCount;
    ConsoleSettings settings;
    FILE* out;
    FILE* err;
    int inFd;

    Outcome outcome = Outcome::NotStarted;
    int clip = 0;
    QString pendingOutput;
    int current = 0;
    int total = 0;
    int printedTotal = 0;
    bool lineOpen = false;
    QString drawnLine;
    QElapsedTimer elapsed;
    QTimer* ticker;
};
