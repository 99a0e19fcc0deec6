#include "ui/mainform.h"

#include "app/appcontext.h"
#include "app/commandline.h"
#include "app/filehelpers.h"
#include "app/supportedfiles.h"
#include "app/timetext.h"
#include "platform/errorreporter.h"
#include "platform/inifile.h"
#include "platform/platform.h"
#include "preview/dstrackbar.h"
#include "preview/previewkeys.h"
#include "preview/rangeeditor.h"
#include "preview/sourcepreview.h"
#include "profiles/profilearguments.h"
#include "profiles/profileworkinglists.h"
#include "split/clipprogress.h"
#include "split/mainformsplitview.h"
#include "split/splitrunner.h"
#include "ui/linklabel.h"
#include "ui/mainformdialogs.h"
#include "ui/pictures.h"
#include "ui/roundbutton.h"
#include "ui/roundimage.h"
#include "widgets/imagebutton.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
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

} // namespace

TMainForm::TMainForm(MainFormDialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs(dialogs) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(772, 410);

    iglButtons = Pictures::PlayerButtons();
    iglbuttons2 = Pictures::MarkButtons();
    iglStart = Pictures::RoundButtons();
    imlToolbar = Pictures::ToolbarImages();
    imlToolbar2 = Pictures::ToolbarDisabledImages();

    panLeft = new QFrame(this);
    panLeft->setGeometry(0, 0, 399, 410);
    imgScreen = new QLabel(panLeft);
    imgScreen->setGeometry(0, 0, 390, 290);
    imgScreen->setPixmap(Pictures::PreviewBackground(imgScreen->size()));
    Image1 = new QLabel(panLeft);
    Image1->setGeometry(32, 105, 320, 80);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setScaledContents(true);
    Image1->setPixmap(Pictures::PreviewEmblem(Image1->size()));
    VideoWindow = new QVideoWidget(panLeft);
    VideoWindow->setGeometry(26, 24, 331, 237);
    VideoWindow->setAutoFillBackground(true);
    QPalette black = VideoWindow->palette();
    black.setColor(QPalette::Window, Qt::black);
    VideoWindow->setPalette(black);
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
        "Play", "Pause | Resume", "Stop", "Set the Start Time", "Set the End Time", "Remove the selection"};
    for (int i = 0; i < 6; ++i) {
        const QList<QPixmap>& list = i < 3 ? iglButtons : iglbuttons2;
        *buttons[i] = new ImageButton(list.at(i % 3), list.at(i % 3 + 3), panLeft);
        (*buttons[i])->setGeometry(buttonLefts[i], 364, 63, 35);
        (*buttons[i])->SetHint(QString::fromLatin1(hints[i]));
    }

    panRight = new QFrame(this);
    panRight->setGeometry(399, 0, 373, 410);
    ToolBar1 = new QToolBar(panRight);
    ToolBar1->setGeometry(0, -2, 372, 94);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(48, 48));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setContentsMargins(5, 5, 5, 5);
    QToolButton** toolButtons[4] = {&tbtnOpen, &tbtnSettings, &tbtnAbout, &tbtnHelp};
    const char* captions[4] = {"Open", "Settings", "About", "Help"};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(ToolBar1);
        button->setText(QString::fromLatin1(captions[i]));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIconSize(QSize(48, 48));
        QIcon icon;
        icon.addPixmap(imlToolbar.at(i), QIcon::Normal);
        icon.addPixmap(imlToolbar2.at(i), QIcon::Disabled);
        button->setIcon(icon);
        button->setFixedSize(58, 68);
        button->setToolTip(QString());
        ToolBar1->addWidget(button);
        *toolButtons[i] = button;
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
    labLength = MakeLabel(gpbOutput, 16, 101, QString(), 281);
    QPalette blue = labLength->palette();
    blue.setColor(QPalette::WindowText, QColor(0x1a, 0x4f, 0xc4));
    labLength->setPalette(blue);
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

    // Its height is set when the window is created (FormCreate); the run shows it over the source row.
    panProgress = new QFrame(panRight);
    panProgress->setGeometry(6, 80, 360, 17);
    panProgress->setAutoFillBackground(true);
    panProgress->hide();
    labProcessing = MakeLabel(panProgress, 16, 17, QString(), 337);
    Label1 = MakeLabel(panProgress, 24, 42, QStringLiteral("Current:"));
    pgbCurrent = new QProgressBar(panProgress);
    pgbCurrent->setGeometry(67, 41, 241, 17);
    pgbCurrent->setRange(0, 100);
    pgbCurrent->setTextVisible(false);
    labCurProgress = MakeLabel(panProgress, 312, 41, QStringLiteral("%"));
    Label6 = MakeLabel(panProgress, 34, 81, QStringLiteral("Total:"));
    pgbTotal = new QProgressBar(panProgress);
    pgbTotal->setGeometry(67, 81, 241, 17);
    pgbTotal->setRange(0, 100);
    pgbTotal->setTextVisible(false);
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
    imgRightBottom->setPixmap(Pictures::Decoration(imgRightBottom->size()));
    imgLogo = new LinkLabel(panRight);
    imgLogo->setGeometry(224, 339, 137, 63);
    imgLogo->setPixmap(Pictures::Logo(imgLogo->size()));
    imgLogo->setToolTip(QStringLiteral("Visit our Company Website"));
    imgStart = new RoundImage(iglStart.at(0), iglStart.at(1), iglStart.at(2), panRight);
    imgStart->setGeometry(54, 297, 110, 110);
    imgCancel = new RoundImage(iglStart.at(3), iglStart.at(4), iglStart.at(5), panRight);
    imgCancel->setGeometry(54, 297, 110, 110);
    imgCancel->hide();

    tmrPreview = new QTimer(this);
    tmrPreview->setInterval(1000);
    tmrProcess = new QTimer(this);
    tmrProcess->setInterval(1000);

    // Moves over the surroundings of the round images put them back to their normal picture.
    for (QWidget* surrounding : {static_cast<QWidget*>(panLeft), static_cast<QWidget*>(imgScreen),
                                 static_cast<QWidget*>(panRight), static_cast<QWidget*>(imgRightBottom),
                                 static_cast<QWidget*>(gpbOutput), static_cast<QWidget*>(panProgress)}) {
        surrounding->setMouseTracking(true);
        surrounding->installEventFilter(this);
    }
    edtSectionQty->installEventFilter(this);

    CreateFeatures();
    ConnectControls();
}

TMainForm::~TMainForm() = default;

void TMainForm::CreateFeatures() {
    const RangeWidgets range{tkbProgress, edtStart, edtEnd, labStart, labEnd, labLength};
    const PreviewWidgets previewWidgets{this,     VideoWindow, tkbProgress, labMiddle,
                                        labRight, labCurrent,  edtSource,   edtOutputDir};
    preview = std::make_unique<SourcePreview>(
        previewWidgets, range, [this] { return RunShown(); }, [this] { Runner().SetState(RunState::Idle); },
        nullptr);

    const SplitWidgets splitWidgets{
        this,          edtSource,      edtStart,         edtEnd,        rdbStartEnd,
        edtSectionQty, cmbProfile,     edtOutputDir,     labProcessing, pgbCurrent,
        pgbTotal,      labCurProgress, labTotalProgress, tmrPreview,    tmrProcess};
    SplitWindowLinks links;
    links.enterBusyState = [this] { EnterBusyState(); };
    links.leaveBusyState = [this] { LeaveBusyState(); };
    links.sourceDurationMs = [this] { return SourceDurationMs(); };
    links.outputExt = [this] { return dialogs.ProfileLists().OutputExt(); };
    links.preferences = [this]() -> const LivePreferences& { return dialogs.Preferences(); };
    links.startCountdown = [this](CountdownAction action) { dialogs.StartCountdown(action); };
    splitView = std::make_unique<MainFormSplitView>(splitWidgets, std::move(links));

    keys = std::make_unique<PreviewKeys>(
        PreviewKeyWidgets{this, tkbProgress}, *preview,
        [this] { return Runner().State() != RunState::Idle || RunShown(); }, [this] { tbtnHelpClick(); },
        nullptr);
}

void TMainForm::ConnectControls() {
    connect(imgPlay, &ImageButton::clicked, this, &TMainForm::imgPlayClick);
    connect(imgPause, &ImageButton::clicked, this, &TMainForm::imgPauseClick);
    connect(imgStop, &ImageButton::clicked, this, &TMainForm::imgStopClick);
    connect(imgSelStart, &ImageButton::clicked, this, &TMainForm::imgSelStartClick);
    connect(imgSelEnd, &ImageButton::clicked, this, &TMainForm::imgSelEndClick);
    connect(imgErase, &ImageButton::clicked, this, &TMainForm::imgEraseClick);
    connect(tbtnOpen, &QToolButton::clicked, this, &TMainForm::tbtnOpenClick);
    connect(tkbProgress, &TDSTrackBar::OnTimer, this, &TMainForm::tkbProgressTimer);
    connect(tmrPreview, &QTimer::timeout, this, &TMainForm::tmrPreviewTimer);
    connect(imgStart, &RoundImage::clicked, this, &TMainForm::imgStartClick);
    connect(imgCancel, &RoundImage::clicked, this, &TMainForm::imgCancelClick);
    connect(tmrProcess, &QTimer::timeout, this, &TMainForm::tmrProcessTimer);
    connect(tbtnSettings, &QToolButton::clicked, this, &TMainForm::tbtnSettingsClick);
    connect(tbtnAbout, &QToolButton::clicked, this, &TMainForm::tbtnAboutClick);
    connect(tbtnHelp, &QToolButton::clicked, this, &TMainForm::tbtnHelpClick);
    connect(static_cast<LinkLabel*>(imgLogo), &LinkLabel::clicked, this, &TMainForm::imgLogoClick);
    connect(bbtnBrowse, &QPushButton::clicked, this, &TMainForm::bbtnBrowseClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TMainForm::BitBtn1Click);
    // Only the person's choice runs the change handler, not an index set by the program.
    connect(cmbProfile, &QComboBox::activated, this, &TMainForm::cmbProfileChange);
}

void TMainForm::FormCreate(const QStringList& arguments) {
    try {
        if (App().AppDir.isEmpty())
            App().SetAppDir(QCoreApplication::applicationDirPath());
        panProgress->resize(panProgress->width(), 217);
        // The version is the program's, never the person's: an installed program reads its own copy, which
        // an upgrade renews, not the user's.
        App().AppVersion =
            IniFile(App().AppDir + QStringLiteral("Preferences.ini"))
                .ReadString(QStringLiteral("Main"), QStringLiteral("Version"), ProgramVersion());
        // The application's own title. Qt would append a display name to every window title, so the
        // product name goes into the application name instead.
        QCoreApplication::setApplicationName(App().ProductName);
        setWindowTitle(App().ProductName + QStringLiteral(" V") + App().AppVersion);
        preview->SupportedExtensions = DefaultSupportedExtensions();
        preview->OpenDialogFilter = BuildOpenDialogFilter(preview->SupportedExtensions);

        cmbProfile->clear();
        for (const QString& name : ListFilesByExtension(App().ProfilesDir(), QStringLiteral(".apf")))
            cmbProfile->addItem(RemoveExtension(name));
        cmbProfile->setCurrentIndex(-1);

        const QString source = CommandLineSource(arguments, preview->SupportedExtensions);
        if (!source.isEmpty())
            LoadSource(source);

        setAcceptDrops(true);
    } catch (const std::exception& error) {
        // The window still opens; the steps after the failing one are skipped.
        ReportException(error, this);
    }
}

void TMainForm::FormShow() {
    cmbProfileChange();
}

void TMainForm::FormClose() {
    // A failed save is shown, and the program still ends.
    Guarded([this] { dialogs.SavePreferences(); }, this);
}

bool TMainForm::FormCloseQuery() {
    return Runner().CloseQuery();
}

QList<QWidget*> TMainForm::PlayerControls() const {
    return {tkbProgress, imgPlay, imgPause, imgStop, imgSelStart, imgSelEnd, imgErase};
}

void TMainForm::EnterBusyState() {
    // Stopping does nothing before the first source is loaded, as there is no player yet.
    imgStopClick();
    elapsedSeconds = 0;
    tmrPreview->start();
    tmrProcess->start();
    for (QWidget* control : PlayerControls())
        control->setEnabled(false);
    imgStart->hide();
    imgCancel->show();
    tbtnOpen->setEnabled(false);
    tbtnSettings->setEnabled(false);
    pgbCurrent->setValue(0);
    pgbTotal->setValue(0);
    labCurProgress->setText(QStringLiteral("0%"));
    labTotalProgress->setText(QStringLiteral("0%"));
    labElapsed->clear();
    labRemaining->clear();
    panProgress->show();
}

void TMainForm::LeaveBusyState() {
    // tmrProcess is left to the run, which stops it itself on completion.
    tmrPreview->stop();
    for (QWidget* control : PlayerControls())
        control->setEnabled(true);
    imgStart->show();
    imgCancel->hide();
    tbtnOpen->setEnabled(true);
    tbtnSettings->setEnabled(true);
    panProgress->hide();
    Runner().SetState(RunState::Idle);
}

bool TMainForm::RunShown() const {
    return !panProgress->isHidden();
}

void TMainForm::LoadSource(const QString& path) {
    preview->LoadSourceReported(path);
}
void TMainForm::tbtnOpenClick() {
    preview->OpenClick();
}
void TMainForm::HandleDroppedFiles(const QStringList& paths) {
    preview->HandleDroppedFiles(paths);
}
void TMainForm::imgPlayClick() {
    preview->Play();
}
void TMainForm::imgPauseClick() {
    preview->Pause();
}
void TMainForm::imgStopClick() {
    preview->Stop();
}
void TMainForm::tkbProgressTimer() {
    preview->TrackTimer();
}
void TMainForm::tmrPreviewTimer() {
    preview->PreviewTimer();
}
qint64 TMainForm::SourceDurationMs() const {
    return preview->DurationMs();
}
void TMainForm::imgSelStartClick() {
    preview->Range()->MarkStart();
}
void TMainForm::imgSelEndClick() {
    preview->Range()->MarkEnd();
}
void TMainForm::imgEraseClick() {
    preview->Range()->Erase();
}
void TMainForm::SetRangeStart(double seconds) {
    preview->Range()->SetRangeStart(seconds);
}
void TMainForm::SetRangeEnd(double seconds) {
    preview->Range()->SetRangeEnd(seconds);
}
void TMainForm::edtStartExit() {
    preview->Range()->StartExit();
}
void TMainForm::edtEndExit() {
    preview->Range()->EndExit();
}

void TMainForm::cmbProfileChange() {
    Guarded([this] { dialogs.ProfileLists().LoadProfile(App().ProfilePath(cmbProfile->currentText())); },
            this);
}
void TMainForm::BitBtn1Click() {
    dialogs.ShowProfileDetail(cmbProfile->currentIndex());
}

QStringList TMainForm::ProfileNames() const {
    QStringList names;
    for (int i = 0; i < cmbProfile->count(); ++i)
        names << cmbProfile->itemText(i);
    return names;
}

int TMainForm::ProfileIndex() const {
    return cmbProfile->currentIndex();
}

void TMainForm::RestoreProfileIndex(int index) {
    // Restoring the stored choice must not reload the profile the way a person's pick does.
    const QSignalBlocker blocker(cmbProfile);
    cmbProfile->setCurrentIndex(index >= 0 && index < cmbProfile->count() ? index : -1);
}

void TMainForm::LoadSelectedProfile() {
    cmbProfileChange();
}

void TMainForm::SetOutputDir(const QString& folder) {
    edtOutputDir->setText(folder);
}

void TMainForm::SetPreview(bool preview) {
    chkPreview->setChecked(preview);
}

bool TMainForm::StartHitAt(const QPoint& pointerOnScreen) const {
    return RoundButton::StartHit(pointerOnScreen, frameGeometry().topLeft(), panRight->pos(),
                                 imgStart->geometry());
}

void TMainForm::imgStartClick() {
    // The event's own coordinates are not used: the pointer's screen position decides.
    if (!StartHitAt(QCursor::pos()))
        return;
    const QString profilePath = App().ProfilePath(cmbProfile->currentText());
    ProfileOptions profileOptions;
    bool built = false;
    // A profile whose choice has no argument value is reported, and no run begins.
    Guarded(
        [&] {
            BuildProfileArguments(profilePath, profileOptions, dialogs.ProfileLists());
            built = true;
        },
        this);
    if (built)
        RunSplit(profileOptions);
}

void TMainForm::RunSplit(const ProfileOptions& profileOptions) {
    Runner().RunSplit(profileOptions);
}
void TMainForm::imgCancelClick() {
    Runner().ConfirmCancel();
}
SplitRunner& TMainForm::Runner() {
    return splitView->Runner();
}

void TMainForm::tmrProcessTimer() {
    ++elapsedSeconds;
    const long long remaining = RemainingSeconds(elapsedSeconds, pgbTotal->value());
    labElapsed->setText(SecondsToTimeText(elapsedSeconds));
    labRemaining->setText(SecondsToTimeText(static_cast<double>(remaining)));
}

void TMainForm::PowerOff() {
    // The system may first ask the person for authorisation; the windows stay usable meanwhile.
    const QPointer<TMainForm> form(this);
    Platform::Power().PowerOff([form](const QString& reason) {
        if (!form)
            return;
        QWidget* countdown = form->dialogs.ShownCountdown();
        Platform::MessageBox().Show(countdown ? countdown : form.data(),
                                    QStringLiteral("The computer could not be turned off: ") + reason,
                                    App().ProductName, MsgIcon::Warning, MsgButtons::Ok);
    });
}
void TMainForm::tbtnSettingsClick() {
    dialogs.ShowSettings();
}

void TMainForm::tbtnAboutClick() {
    dialogs.ShowAbout();
}

void TMainForm::tbtnHelpClick() {
    Platform::Shell().Open(App().HelpFilePath);
}

void TMainForm::imgLogoClick() {
    Platform::Shell().Open(App().WebPageAddress);
}

void TMainForm::bbtnBrowseClick() {
    QString folder;
    if (PickFolder(this, QStringLiteral("Select the output directory."), QString(), folder))
        edtOutputDir->setText(EnsureTrailingBackslash(folder));
}

void TMainForm::edtSectionQtyClick() {
    rdbEqual->setChecked(true);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && watched != edtSectionQty) {
        imgStart->ResetToNormal();
        imgCancel->ResetToNormal();
    } else if (watched == edtSectionQty && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && edtSectionQty->rect().contains(mouse->position().toPoint()))
            edtSectionQtyClick();
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event) {
    if (!shownOnce) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - rect().center());
        }
    }
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
    // Each dropped name is passed whole, however long it is.
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths << QDir::toNativeSeparators(url.toLocalFile());
    HandleDroppedFiles(paths);
}
