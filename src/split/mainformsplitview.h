#pragma once

#include "split/splitview.h"

#include <QObject>
#include <functional>

class LivePreferences;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QTimer;
class QWidget;
class SplitRunner;

// The main window's controls that a run reads its inputs from and shows its progress in.
struct SplitWidgets {
    // Owns the run's messages and questions.
    QWidget* window = nullptr;
    QLineEdit* edtSource = nullptr;
    QLineEdit* edtStart = nullptr;
    QLineEdit* edtEnd = nullptr;
    QRadioButton* rdbStartEnd = nullptr;
    QLineEdit* edtSectionQty = nullptr;
    QComboBox* cmbSectionMode = nullptr;
    QComboBox* cmbProfile = nullptr;
    QLineEdit* edtOutputDir = nullptr;
    QLabel* labProcessing = nullptr;
    QProgressBar* pgbCurrent = nullptr;
    QProgressBar* pgbTotal = nullptr;
    QLabel* labCurProgress = nullptr;
    QLabel* labTotalProgress = nullptr;
    QLabel* labRemaining = nullptr;
    QTimer* tmrPreview = nullptr;
    QTimer* tmrProcess = nullptr;
};

// What a run needs of the main window beyond its controls, each asked for at the moment of use.
struct SplitWindowLinks {
    std::function<void()> enterBusyState;
    std::function<void()> leaveBusyState;
    std::function<qint64()> sourceDurationMs;
    std::function<double()> sourceFrameRate;
    // The seconds that the run's tick has counted.
    std::function<int()> elapsedSeconds;
    // The extension of the profile loaded last.
    std::function<QString()> outputExt;
    // The settings dialog's boxes.
    std::function<const LivePreferences&()> preferences;
    std::function<void(CountdownAction)> startCountdown;
};

// The main window as the view of a split run: its fields are the inputs, its progress panel shows the
// run, the settings dialog's boxes choose the overwrite question and the completion action, and the
// countdown dialog carries out exit and turn-off. It owns the window's runner.
class MainFormSplitView : public QObject, public SplitView {
    Q_OBJECT
public:
    MainFormSplitView(const SplitWidgets& widgets, SplitWindowLinks links, QObject* parent = nullptr);

    SplitRunner& Runner() { return *runner; }

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
    void FitPercentLabels();

    SplitWidgets ui;
    SplitWindowLinks links;
    SplitRunner* runner;
};
