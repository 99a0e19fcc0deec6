#pragma once

#include "split/inputcheck.h"

#include <QString>

enum class SplitMessageKind {
    Information, // an input problem or the success message
    Plain,       // the encoder cannot be started
    Error,       // clips that the encoder failed to write
};

// What the person wants when a run has written all its clips, as the settings stand at that moment.
struct CompletionChoice {
    bool turnOff = false;
    bool exit = false;
    bool openDir = false;
};

enum class CountdownAction { Exit = 0, TurnOff = 1 };

// What the runner needs from the window it runs for: the inputs, the progress display, the questions and
// messages, and the busy state. The main window implements it; a front end without windows can too.
class SplitView {
public:
    virtual ~SplitView() = default;

    virtual SplitInputs ReadInputs() = 0;
    // Read again before every clip: the box is live.
    virtual bool OverwriteWithoutAsking() = 0;
    // The extension of the profile loaded last, read again before every clip: a profile loaded while a run
    // goes on changes the extension of its later clips, not their options.
    virtual QString OutputExt() = 0;
    virtual CompletionChoice ReadCompletionChoice() = 0;
    // The output folder field exactly as typed, for opening it when the run completes.
    virtual QString OutputDirText() = 0;

    virtual void ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) = 0;
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    virtual void MoveFocus(SplitFocus target) = 0;

    virtual void EnterBusyState() = 0;
    virtual void LeaveBusyState() = 0;
    // A request to stop that reaches the view from outside its questions (a console's Ctrl+C); the run
    // treats it as a cancel asked for.
    virtual bool StopRequested() const { return false; }

    virtual void ShowProcessing(const QString& text) = 0;
    // Both bars and their percentages.
    virtual void ShowProgress(int current, int total) = 0;
    // The current bar and its percentage go back to 0 between clips.
    virtual void ResetCurrentBar() = 0;
    // Switches off the preview and elapsed-time timers when the clip loop is through.
    virtual void StopRunTimers() = 0;

    virtual void StartCountdown(CountdownAction action) = 0;
    virtual void OpenFolder(const QString& folder) = 0;
};
