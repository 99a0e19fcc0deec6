#include "split/mainformsplitview.h"

#include "app/timetext.h"
#include "platform/platform.h"
#include "prefs/settingform.h"
#include "profiles/opsettingform.h"
#include "split/clipprogress.h"
#include "split/countdownform.h"
#include "split/splitrunner.h"
#include "ui/forms.h"
#include "ui/mainform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

MainFormSplitView::MainFormSplitView(TMainForm* form)
    : QObject(form), form(form), runner(new SplitRunner(*this, this)) {}

MainFormSplitView& MainFormSplitView::For(TMainForm* form) {
    if (auto* view = form->findChild<MainFormSplitView*>(QString(), Qt::FindDirectChildrenOnly))
        return *view;
    return *new MainFormSplitView(form);
}

void MainFormSplitView::tmrProcessTimer() {
    ++form->ElapsedSeconds;
    const long long remaining = RemainingSeconds(form->ElapsedSeconds, form->pgbTotal->value());
    form->labElapsed->setText(SecondsToTimeText(form->ElapsedSeconds));
    form->labRemaining->setText(SecondsToTimeText(static_cast<double>(remaining)));
}

qint64 MainFormSplitView::SourceDurationMs() const {
    return form->SourceDurationMs();
}

SplitInputs MainFormSplitView::ReadInputs() {
    SplitInputs inputs;
    inputs.sourcePath = form->edtSource->text();
    inputs.startText = form->edtStart->text();
    inputs.endText = form->edtEnd->text();
    inputs.oneClip = form->rdbStartEnd->isChecked();
    inputs.sectionQtyText = form->edtSectionQty->text();
    inputs.profileName = form->cmbProfile->currentText();
    inputs.outputDirText = form->edtOutputDir->text();
    inputs.sourceDurationMs = SourceDurationMs();
    return inputs;
}

bool MainFormSplitView::OverwriteWithoutAsking() {
    return SettingForm && SettingForm->chkOverwrite->isChecked();
}

QString MainFormSplitView::OutputExt() {
    return opSettingForm ? opSettingForm->Lists.OutputExt() : QString();
}

CompletionChoice MainFormSplitView::ReadCompletionChoice() {
    CompletionChoice choice;
    if (SettingForm) {
        choice.turnOff = SettingForm->chkTurnoff->isChecked();
        choice.exit = SettingForm->chkExit->isChecked();
        choice.openDir = SettingForm->chkOpenDir->isChecked();
    }
    return choice;
}

QString MainFormSplitView::OutputDirText() {
    return form->edtOutputDir->text();
}

void MainFormSplitView::ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) {
    const MsgIcon icon = kind == SplitMessageKind::Information ? MsgIcon::Information
                         : kind == SplitMessageKind::Error     ? MsgIcon::Stop
                                                               : MsgIcon::None;
    Platform::MessageBox().Show(form, text, caption, icon, MsgButtons::Ok);
}

bool MainFormSplitView::AskYesNo(const QString& text, const QString& caption) {
    return Platform::MessageBox().Show(form, text, caption, MsgIcon::Question, MsgButtons::YesNo) ==
           MsgResult::Yes;
}

void MainFormSplitView::MoveFocus(SplitFocus target) {
    switch (target) {
    case SplitFocus::Source:
        form->edtSource->setFocus();
        break;
    case SplitFocus::SectionQty:
        form->edtSectionQty->setFocus();
        break;
    case SplitFocus::Profile:
        form->cmbProfile->setFocus();
        break;
    case SplitFocus::OutputDir:
        form->edtOutputDir->setFocus();
        break;
    case SplitFocus::Stays:
        break;
    }
}

void MainFormSplitView::EnterBusyState() {
    form->EnterBusyState();
    FitPercentLabels();
}

void MainFormSplitView::LeaveBusyState() {
    form->LeaveBusyState();
}

void MainFormSplitView::ShowProcessing(const QString& text) {
    form->labProcessing->setText(text);
}

void MainFormSplitView::ShowProgress(int current, int total) {
    form->pgbCurrent->setValue(current);
    form->pgbTotal->setValue(total);
    form->labCurProgress->setText(QString::number(form->pgbCurrent->value()) + QLatin1Char('%'));
    form->labTotalProgress->setText(QString::number(form->pgbTotal->value()) + QLatin1Char('%'));
    FitPercentLabels();
}

void MainFormSplitView::FitPercentLabels() {
    // The percentages grow from "%" to "100%"; their labels are sized to their text.
    form->labCurProgress->adjustSize();
    form->labTotalProgress->adjustSize();
}

void MainFormSplitView::ResetCurrentBar() {
    form->pgbCurrent->setValue(0);
}

void MainFormSplitView::StopRunTimers() {
    form->tmrPreview->stop();
    form->tmrProcess->stop();
}

void MainFormSplitView::StartCountdown(CountdownAction action) {
    if (!CountDownForm)
        return;
    CountDownForm->Action = action;
    if (action == CountdownAction::TurnOff) {
        CountDownForm->btnDoNow->setText(QStringLiteral("Turn off Now"));
        CountDownForm->MessagePrefix = QStringLiteral("The computer will be turned off within");
    } else {
        CountDownForm->btnDoNow->setText(QStringLiteral("Exit Now"));
        CountDownForm->MessagePrefix = QStringLiteral("The program will exit within");
    }
    CountDownForm->show();
    CountDownForm->activateWindow();
}

void MainFormSplitView::OpenFolder(const QString& folder) {
    Platform::Shell().Open(folder);
}
