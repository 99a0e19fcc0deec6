#include "split/mainformsplitview.h"

#include "platform/platform.h"
#include "split/clipprogress.h"
#include "split/livepreferences.h"
#include "split/splitrunner.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTimer>

MainFormSplitView::MainFormSplitView(const SplitWidgets& widgets, SplitWindowLinks links, QObject* parent)
    : QObject(parent), ui(widgets), links(std::move(links)), runner(new SplitRunner(*this, this)) {}

SplitInputs MainFormSplitView::ReadInputs() {
    SplitInputs inputs;
    inputs.sourcePath = ui.edtSource->text();
    inputs.startText = ui.edtStart->text();
    inputs.endText = ui.edtEnd->text();
    inputs.oneClip = ui.rdbStartEnd->isChecked();
    inputs.sectionsMode = SectionsMode(ui.cmbSectionMode->currentData().toInt());
    inputs.sectionQtyText = ui.edtSectionQty->text();
    inputs.profileName = ui.cmbProfile->currentText();
    inputs.outputDirText = ui.edtOutputDir->text();
    inputs.sourceDurationMs = links.sourceDurationMs();
    inputs.sourceFrameRate = links.sourceFrameRate();
    return inputs;
}

bool MainFormSplitView::OverwriteWithoutAsking() {
    return links.preferences().OverwriteWithoutAsking();
}

QString MainFormSplitView::OutputExt() {
    return links.outputExt();
}

CompletionChoice MainFormSplitView::ReadCompletionChoice() {
    return links.preferences().ReadCompletionChoice();
}

QString MainFormSplitView::OutputDirText() {
    return ui.edtOutputDir->text();
}

void MainFormSplitView::ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) {
    const MsgIcon icon = kind == SplitMessageKind::Information ? MsgIcon::Information
                         : kind == SplitMessageKind::Error     ? MsgIcon::Stop
                                                               : MsgIcon::None;
    Platform::MessageBox().Show(ui.window, text, caption, icon, MsgButtons::Ok);
}

bool MainFormSplitView::AskYesNo(const QString& text, const QString& caption) {
    return Platform::MessageBox().Show(ui.window, text, caption, MsgIcon::Question, MsgButtons::YesNo) ==
           MsgResult::Yes;
}

void MainFormSplitView::MoveFocus(SplitFocus target) {
    switch (target) {
    case SplitFocus::Source:
        ui.edtSource->setFocus();
        break;
    case SplitFocus::SectionQty:
        ui.edtSectionQty->setFocus();
        break;
    case SplitFocus::Profile:
        ui.cmbProfile->setFocus();
        break;
    case SplitFocus::OutputDir:
        ui.edtOutputDir->setFocus();
        break;
    case SplitFocus::Stays:
        break;
    }
}

void MainFormSplitView::EnterBusyState() {
    links.enterBusyState();
    FitPercentLabels();
}

void MainFormSplitView::LeaveBusyState() {
    links.leaveBusyState();
}

void MainFormSplitView::ShowProcessing(const QString& text) {
    ui.labProcessing->setText(text);
}

void MainFormSplitView::ShowProgress(int current, int total) {
    ui.pgbCurrent->setValue(current);
    ui.pgbTotal->setValue(total);
    ui.labCurProgress->setText(QString::number(ui.pgbCurrent->value()) + QLatin1Char('%'));
    ui.labTotalProgress->setText(QString::number(ui.pgbTotal->value()) + QLatin1Char('%'));
    FitPercentLabels();
    // The tick refreshes it only once a second: the end of a run would otherwise keep a stale estimate.
    ui.labRemaining->setText(RemainingTimeText(links.elapsedSeconds(), ui.pgbTotal->value()));
}

void MainFormSplitView::FitPercentLabels() {
    // The percentages grow from "%" to "100%"; their labels are sized to their text.
    ui.labCurProgress->adjustSize();
    ui.labTotalProgress->adjustSize();
}

void MainFormSplitView::ResetCurrentBar() {
    ui.pgbCurrent->setValue(0);
    ui.labCurProgress->setText(QStringLiteral("0%"));
    FitPercentLabels();
}

void MainFormSplitView::StopRunTimers() {
    ui.tmrPreview->stop();
    ui.tmrProcess->stop();
}

void MainFormSplitView::StartCountdown(CountdownAction action) {
    links.startCountdown(action);
}

void MainFormSplitView::OpenFolder(const QString& folder) {
    OpenOrShowWhere(ui.window, folder);
}
