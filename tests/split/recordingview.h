#pragma once

#include "split/splitview.h"

#include <QQueue>
#include <QStringList>
#include <functional>

// A view for the runner that records what the runner shows and asks, and answers from a script.
class RecordingView : public SplitView {
public:
    SplitInputs inputs;
    bool overwrite = true;
    QString outputExt;
    CompletionChoice choice;
    QString outputDirText;
    // Answers to the questions, Yes when empty.
    QQueue<bool> answers;

    // "enter", "leave", "ask:<caption>", "message:<kind>:<caption>", "focus:<n>", "processing:<text>",
    // "progress:<current>/<total>", "reset", "timers off", "countdown:<action>", "open:<folder>"
    QStringList events;
    QStringList messageTexts;
    std::function<void()> onProgress;
    std::function<void(const QString& caption)> onAsk;

    QStringList Events(const QString& prefix) const;

    SplitInputs ReadInputs() override { return inputs; }
    bool OverwriteWithoutAsking() override { return overwrite; }
    QString OutputExt() override { return outputExt; }
    CompletionChoice ReadCompletionChoice() override { return choice; }
    QString OutputDirText() override { return outputDirText; }
    void ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    void MoveFocus(SplitFocus target) override;
    void EnterBusyState() override { events << QStringLiteral("enter"); }
    void LeaveBusyState() override;
    void ShowProcessing(const QString& text) override { events << QStringLiteral("processing:") + text; }
    void ShowProgress(int current, int total) override;
    void ResetCurrentBar() override { events << QStringLiteral("reset"); }
    void StopRunTimers() override { events << QStringLiteral("timers off"); }
    void StartCountdown(CountdownAction action) override;
    void OpenFolder(const QString& folder) override { events << QStringLiteral("open:") + folder; }
};
