#include "ui/mainform.h"

#include "platform/errorreporter.h"
#include "platform/platform.h"
#include "prefs/settingform.h"
#include "preview/dstrackbar.h"
#include "split/mainformsplitview.h"
#include "split/splitrunner.h"
#include "ui/forms.h"
#include "ui/imagebutton.h"
#include "ui/roundimage.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVideoWidget>

namespace {

QLabel* MakeLabel(QWidget* parent, int left, int top, const QString& text, int width = -1, int height = 13) {
    auto* label = new QLabel(text, parent);
    if (width < 0) {
        label->move(left, top);
        label->adjustSize();
    } else {
        label->setGeometry(left, top, width, height);
    }
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, int left, int top, int width, const QString& text = QString()) {
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(left, top, width, 19);
    edit->setFrame(true);
    return edit;
}

QPixmap Placeholder(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::gray);
    return pixmap;
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
    setFixedSize(772, 410);

    panLeft = new QFrame(this);
    panLeft->setGeometry(0, 0, 399, 410);
    imgScreen = new QLabel(panLeft);
    imgScreen->setGeometry(0, 0, 390, 290);
    Image1 = new QLabel(panLeft);
    Image1->setGeometry(32, 105, 320, 80);
    VideoWindow = new QVideoWidget(panLeft);
    VideoWindow->setGeometry(26, 24, 331, 237);
    VideoWindow->hide();
    labLeft = MakeLabel(panLeft, 16, 292, QStringLiteral("00:00:00"), 80);
    labLeft->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    labMiddle = MakeLabel(panLeft, 131, 292, QStringLiteral("00:00:00"), 80);
    labMiddle->setAlignment(Qt::AlignCenter);
    labRight = MakeLabel(panLeft, 248, 292, QStringLiteral("00:00:00"), 80);
    labRight->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tkbProgress = new TDSTrackBar(panLeft);
    tkbProgress->setGeometry(11, 314, 326, 13);
    labCurrent = MakeLabel(panLeft, 333, 316, QStringLiteral("00:00:00"), 50);
    labCurrent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labStart = MakeLabel(panLeft, 16, 332, QString());
    labStart->hide();
    labEnd = MakeLabel(panLeft, 293, 332, QString());
    labEnd->hide();

    const int buttonLefts[6] = {5, 68, 131, 203, 266, 329};
    ImageButton** buttons[6] = {&imgPlay, &imgPause, &imgStop, &imgSelStart, &imgSelEnd, &imgErase};
    const char* hints[6] = {
        "Play", "Pause", "Stop", "Set the Start Time", "Set the End Time", "Remove the selection"};
    for (int i = 0; i < 6; ++i) {
        *buttons[i] = new ImageButton(Placeholder(63, 35), Placeholder(63, 35), panLeft);
        (*buttons[i])->setGeometry(buttonLefts[i], 364, 63, 35);
        (*buttons[i])->setToolTip(QString::fromLatin1(hints[i]));
    }

    panRight = new QFrame(this);
    panRight->setGeometry(399, 0, 373, 410);
    ToolBar1 = new QToolBar(panRight);
    ToolBar1->setGeometry(0, -2, 372, 94);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    QToolButton** toolButtons[4] = {&tbtnOpen, &tbtnSettings, &tbtnAbout, &tbtnHelp};
    const char* captions[4] = {"Open", "Settings", "About", "Help"};
    for (int i = 0; i < 4; ++i) {
        *toolButtons[i] = new QToolButton(ToolBar1);
        (*toolButtons[i])->setText(QString::fromLatin1(captions[i]));
        (*toolButtons[i])->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        (*toolButtons[i])->setFixedSize(58, 68);
        ToolBar1->addWidget(*toolButtons[i]);
    }
    Label2 = MakeLabel(panRight, 16, 95, QStringLiteral("Source:"));
    edtSource = MakeEdit(panRight, 58, 92, 300);

    gpbOutput = new QGroupBox(QStringLiteral("Output"), panRight);
    gpbOutput->setGeometry(12, 114, 348, 183);
    rdbStartEnd = new QRadioButton(QStringLiteral("Split the marked rang out."), gpbOutput);
    rdbStartEnd->setGeometry(24, 22, 193, 17);
    rdbStartEnd->setChecked(true);
    Label4 = MakeLabel(gpbOutput, 43, 43, QStringLiteral("Start Time:"));
    edtStart = MakeEdit(gpbOutput, 99, 41, 75, QStringLiteral("00:00:00"));
    Label5 = MakeLabel(gpbOutput, 209, 44, QStringLiteral("End Time:"));
    edtEnd = MakeEdit(gpbOutput, 262, 41, 75, QStringLiteral("00:00:00"));
    rdbEqual = new QRadioButton(QStringLiteral("Split the marked rang to "), gpbOutput);
    rdbEqual->setGeometry(24, 75, 137, 17);
    edtSectionQty = MakeEdit(gpbOutput, 161, 73, 49);
    Label7 = MakeLabel(gpbOutput, 216, 77, QStringLiteral("equal sections."));
    labLength = MakeLabel(gpbOutput, 16, 101, QStringLiteral("length of the Marked Rang"), 281);
    labLength->hide();
    Label10 = MakeLabel(gpbOutput, 16, 128, QStringLiteral("Output Profile:"));
    cmbProfile = new QComboBox(gpbOutput);
    cmbProfile->setGeometry(88, 125, 185, 21);
    BitBtn1 = new QPushButton(QStringLiteral("Detail"), gpbOutput);
    BitBtn1->setGeometry(277, 123, 65, 23);
    Label3 = MakeLabel(gpbOutput, 23, 156, QStringLiteral("Output Path:"));
    edtOutputDir = MakeEdit(gpbOutput, 88, 154, 185);
    bbtnBrowse = new QPushButton(QStringLiteral("Browse"), gpbOutput);
    bbtnBrowse->setGeometry(277, 151, 65, 23);

    panProgress = new QFrame(panRight);
    panProgress->setGeometry(6, 80, 360, 17);
    panProgress->hide();
    labProcessing = MakeLabel(panProgress, 16, 17, QString(), 337);
    Label1 = MakeLabel(panProgress, 24, 42, QStringLiteral("Current:"));
    pgbCurrent = new QProgressBar(panProgress);
    pgbCurrent->setGeometry(67, 41, 241, 17);
    pgbCurrent->setRange(0, 100);
    labCurProgress = MakeLabel(panProgress, 312, 41, QStringLiteral("%"));
    Label6 = MakeLabel(panProgress, 34, 81, QStringLiteral("Total:"));
    pgbTotal = new QProgressBar(panProgress);
    pgbTotal->setGeometry(67, 81, 241, 17);
    pgbTotal->setRange(0, 100);
    labTotalProgress = MakeLabel(panProgress, 312, 81, QStringLiteral("%"));
    Label8 = MakeLabel(panProgress, 20, 116, QStringLiteral("Elapsed:"));
    labElapsed = MakeLabel(panProgress, 67, 116, QString(), 100);
    Label9 = MakeLabel(panProgress, 200, 116, QStringLiteral("Remaining:"));
    labRemaining = MakeLabel(panProgress, 259, 116, QString(), 94);
    chkPreview = new QCheckBox(QStringLiteral("Preview"), panProgress);
    chkPreview->setGeometry(16, 148, 97, 17);
    chkPreview->hide();

    imgRightBottom = new QLabel(panRight);
    imgRightBottom->setGeometry(112, 311, 263, 99);
    imgLogo = new QLabel(panRight);
    imgLogo->setGeometry(224, 339, 137, 63);
    imgLogo->setCursor(Qt::PointingHandCursor);
    imgLogo->setToolTip(QStringLiteral("Visit our Company Website"));
    imgStart = new RoundImage(Placeholder(110, 110), Placeholder(110, 110), Placeholder(110, 110), panRight);
    imgStart->setGeometry(54, 297, 110, 110);
    imgCancel = new RoundImage(Placeholder(110, 110), Placeholder(110, 110), Placeholder(110, 110), panRight);
    imgCancel->setGeometry(54, 297, 110, 110);
    imgCancel->hide();

    tmrPreview = new QTimer(this);
    tmrPreview->setInterval(1000);
    tmrProcess = new QTimer(this);
    tmrProcess->setInterval(1000);
    connect(tmrProcess, &QTimer::timeout, this, &TMainForm::tmrProcessTimer);
    connect(imgCancel, &RoundImage::clicked, this, &TMainForm::imgCancelClick);
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate(const QStringList& arguments) {
    Q_UNUSED(arguments);
}
void TMainForm::FormShow() {}
void TMainForm::FormClose() {
    // A failed save is shown, and the program still ends.
    Guarded([] { SettingForm->SavePreferences(); }, this);
}
bool TMainForm::FormCloseQuery() {
    return MainFormSplitView::For(this).Runner().CloseQuery();
}
void TMainForm::EnterBusyState() {}
void TMainForm::LeaveBusyState() {}
void TMainForm::LoadSource(const QString& path) {
    Q_UNUSED(path);
}
void TMainForm::tbtnOpenClick() {}
void TMainForm::HandleDroppedFiles(const QStringList& paths) {
    Q_UNUSED(paths);
}
void TMainForm::imgPlayClick() {}
void TMainForm::imgPauseClick() {}
void TMainForm::imgStopClick() {}
void TMainForm::tkbProgressTimer() {}
void TMainForm::tmrPreviewTimer() {}
void TMainForm::imgSelStartClick() {}
void TMainForm::imgSelEndClick() {}
void TMainForm::imgEraseClick() {}
void TMainForm::SetRangeStart(double seconds) {
    Q_UNUSED(seconds);
}
void TMainForm::SetRangeEnd(double seconds) {
    Q_UNUSED(seconds);
}
void TMainForm::edtStartExit() {}
void TMainForm::edtEndExit() {}
void TMainForm::cmbProfileChange() {}
void TMainForm::BitBtn1Click() {}
void TMainForm::imgStartClick() {}
void TMainForm::RunSplit(const QString& profileArguments) {
    MainFormSplitView::For(this).Runner().RunSplit(profileArguments);
}
void TMainForm::imgCancelClick() {
    MainFormSplitView::For(this).Runner().ConfirmCancel();
}
void TMainForm::tmrProcessTimer() {
    MainFormSplitView::For(this).tmrProcessTimer();
}
void TMainForm::PowerOff() {
    Platform::Power().PowerOff();
}
void TMainForm::tbtnSettingsClick() {
    SettingForm->show();
    SettingForm->activateWindow();
}
void TMainForm::tbtnAboutClick() {}
void TMainForm::tbtnHelpClick() {}
void TMainForm::imgLogoClick() {}
void TMainForm::bbtnBrowseClick() {}
void TMainForm::edtSectionQtyClick() {}

void TMainForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        FormShow();
    }
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths << url.toLocalFile();
    HandleDroppedFiles(paths);
}
