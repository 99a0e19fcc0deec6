#pragma once

#include "split/splitview.h"

#include <QObject>

class SplitRunner;
class TMainForm;

// The main window as the view of a split run: its fields are the inputs, its progress panel shows the
// run, the settings dialog's boxes choose the overwrite question and the completion action, and the
// countdown dialog carries out exit and turn-off.
class MainFormSplitView : public QObject, public SplitView {
    Q_OBJECT
public:
    explicit MainFormSplitView(TMainForm* form);

    // The one view of a main window, made on first use.
    static MainFormSplitView& For(TMainForm* form);

    SplitRunner& Runner() { return *runner; }
    // A tick of tmrProcess: the elapsed and the estimated remaining time.
    void tmrProcessTimer();

    SplitInputs ReadInputs() override;
    bool OverwriteWithoutAsking() override;
    QString OutputExt() override;
    CompletionChoice ReadCompletionChoice() override;
    QString OutputDirText() override;
    void ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    void MoveFocus(SplitFocus target) override;
    void EnterBusyState() override;
    void LeaveBusyState() override;
    void ShowProcessing(const QString& text) override;
    void ShowProgress(int current, int total) override;
    void ResetCurrentBar() override;
    void StopRunTimers() override;
    void StartCountdown(CountdownAction action) override;
    void OpenFolder(const QString& folder) override;

private:
    qint64 SourceDurationMs() const;
    void FitPercentLabels();

    TMainForm* form;
    SplitRunner* runner;
};
