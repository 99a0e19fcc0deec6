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
#include "split/encodercommand.h"
#include "split/mainformsplitview.h"
#include "split/splitrunner.h"
#include "ui/linklabel.h"
#include "ui/mainformdialogs.h"
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
#include <QToolButton>

TMainForm::TMainForm(MainFormDialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs(dialogs) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(772, 410);
    ui.SetupUi(this);

    // Moves over the surroundings of the round images put them back to their normal picture.
    for (QWidget* surrounding :
         {static_cast<QWidget*>(ui.panLeft), static_cast<QWidget*>(ui.imgScreen),
          static_cast<QWidget*>(ui.panRight), static_cast<QWidget*>(ui.imgRightBottom),
          static_cast<QWidget*>(ui.gpbOutput), static_cast<QWidget*>(ui.panProgress)}) {
        surrounding->setMouseTracking(true);
        surrounding->installEventFilter(this);
    }
    ui.edtSectionQty->installEventFilter(this);

    CreateFeatures();
    ConnectControls();
}

TMainForm::~TMainForm() = default;

void TMainForm::CreateFeatures() {
    const RangeWidgets range{.tkbProgress = ui.tkbProgress,
                             .edtStart = ui.edtStart,
                             .edtEnd = ui.edtEnd,
                             .labStart = ui.labStart,
                             .labEnd = ui.labEnd,
                             .labLength = ui.labLength};
    const PreviewWidgets previewWidgets{.window = this,
                                        .VideoWindow = ui.VideoWindow,
                                        .tkbProgress = ui.tkbProgress,
                                        .labMiddle = ui.labMiddle,
                                        .labRight = ui.labRight,
                                        .labCurrent = ui.labCurrent,
                                        .edtSource = ui.edtSource,
                                        .edtOutputDir = ui.edtOutputDir};
    preview = std::make_unique<SourcePreview>(
        previewWidgets, range, [this] { return RunShown(); }, [this] { Runner().SetState(RunState::Idle); },
        nullptr);

    const SplitWidgets splitWidgets{.window = this,
                                    .edtSource = ui.edtSource,
                                    .edtStart = ui.edtStart,
                                    .edtEnd = ui.edtEnd,
                                    .rdbStartEnd = ui.rdbStartEnd,
                                    .edtSectionQty = ui.edtSectionQty,
                                    .cmbSectionMode = ui.cmbSectionMode,
                                    .cmbProfile = ui.cmbProfile,
                                    .edtOutputDir = ui.edtOutputDir,
                                    .labProcessing = ui.labProcessing,
                                    .pgbCurrent = ui.pgbCurrent,
                                    .pgbTotal = ui.pgbTotal,
                                    .labCurProgress = ui.labCurProgress,
                                    .labTotalProgress = ui.labTotalProgress,
                                    .labRemaining = ui.labRemaining,
                                    .tmrPreview = ui.tmrPreview,
                                    .tmrProcess = ui.tmrProcess};
    SplitWindowLinks links;
    links.enterBusyState = [this] { EnterBusyState(); };
    links.leaveBusyState = [this] { LeaveBusyState(); };
    links.sourceDurationMs = [this] { return SourceDurationMs(); };
    links.sourceFrameRate = [this] { return preview->FrameRate(); };
    links.elapsedSeconds = [this] { return elapsedSeconds; };
    links.outputExt = [this] { return dialogs.ProfileLists().OutputExt(); };
    links.preferences = [this]() -> const LivePreferences& { return dialogs.Preferences(); };
    links.startCountdown = [this](CountdownAction action) { dialogs.StartCountdown(action); };
    splitView = std::make_unique<MainFormSplitView>(splitWidgets, std::move(links));

    keys = std::make_unique<PreviewKeys>(
        PreviewKeyWidgets{.window = this, .tkbProgress = ui.tkbProgress}, *preview,
        [this] { return Runner().State() != RunState::Idle || RunShown(); }, [this] { tbtnHelpClick(); },
        nullptr);
}

void TMainForm::ConnectControls() {
    connect(ui.imgPlay, &ImageButton::clicked, this, &TMainForm::imgPlayClick);
    connect(ui.imgPause, &ImageButton::clicked, this, &TMainForm::imgPauseClick);
    connect(ui.imgStop, &ImageButton::clicked, this, &TMainForm::imgStopClick);
    connect(ui.imgSelStart, &ImageButton::clicked, this, &TMainForm::imgSelStartClick);
    connect(ui.imgSelEnd, &ImageButton::clicked, this, &TMainForm::imgSelEndClick);
    connect(ui.imgErase, &ImageButton::clicked, this, &TMainForm::imgEraseClick);
    connect(ui.tbtnOpen, &QToolButton::clicked, this, &TMainForm::tbtnOpenClick);
    connect(ui.tkbProgress, &TDSTrackBar::OnTimer, this, &TMainForm::tkbProgressTimer);
    connect(ui.tmrPreview, &QTimer::timeout, this, &TMainForm::tmrPreviewTimer);
    connect(ui.imgStart, &RoundImage::clicked, this, &TMainForm::imgStartClick);
    connect(ui.imgCancel, &RoundImage::clicked, this, &TMainForm::imgCancelClick);
    connect(ui.tmrProcess, &QTimer::timeout, this, &TMainForm::tmrProcessTimer);
    connect(ui.tbtnSettings, &QToolButton::clicked, this, &TMainForm::tbtnSettingsClick);
    connect(ui.tbtnAbout, &QToolButton::clicked, this, &TMainForm::tbtnAboutClick);
    connect(ui.tbtnHelp, &QToolButton::clicked, this, &TMainForm::tbtnHelpClick);
    connect(static_cast<LinkLabel*>(ui.imgLogo), &LinkLabel::clicked, this, &TMainForm::imgLogoClick);
    connect(ui.bbtnBrowse, &QPushButton::clicked, this, &TMainForm::bbtnBrowseClick);
    connect(ui.BitBtn1, &QPushButton::clicked, this, &TMainForm::BitBtn1Click);
    // Only the person's choice runs the change handler, not an index set by the program.
    connect(ui.cmbProfile, &QComboBox::activated, this, &TMainForm::cmbProfileChange);
    // Choosing what the number means is choosing to split into sections, as clicking the number is.
    connect(ui.cmbSectionMode, &QComboBox::activated, this, &TMainForm::edtSectionQtyClick);
}

void TMainForm::FormCreate(const QStringList& arguments) {
    try {
        if (App().AppDir.isEmpty())
            App().SetAppDir(QCoreApplication::applicationDirPath());
        ui.panProgress->resize(ui.panProgress->width(), 217);
        // The version is the program's, never the person's: an installed program reads its own copy, which
        // an upgrade renews, not the user's.
        App().AppVersion =
            IniFile(App().AppDir + PreferencesFileName)
                .ReadString(QStringLiteral("Main"), QStringLiteral("Version"), ProgramVersion());
        // The application's own title. Qt would append a display name to every window title, so the
        // product name goes into the application name instead.
        QCoreApplication::setApplicationName(App().ProductName);
        setWindowTitle(App().ProductName + QStringLiteral(" V") + App().AppVersion);
        preview->SupportedExtensions = DefaultSupportedExtensions();
        preview->OpenDialogFilter = BuildOpenDialogFilter(preview->SupportedExtensions);

        ui.cmbProfile->clear();
        for (const QString& name : ListFilesByExtension(App().ProfilesDir(), QStringLiteral(".apf")))
            ui.cmbProfile->addItem(RemoveExtension(name));
        ui.cmbProfile->setCurrentIndex(-1);

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

void TMainForm::EnterBusyState() {
    // Stopping does nothing before the first source is loaded, as there is no player yet.
    imgStopClick();
    elapsedSeconds = 0;
    ui.tmrPreview->start();
    ui.tmrProcess->start();
    ShowRunControls(true);
    ui.pgbCurrent->setValue(0);
    ui.pgbTotal->setValue(0);
    ui.labCurProgress->setText(QStringLiteral("0%"));
    ui.labTotalProgress->setText(QStringLiteral("0%"));
    ui.labElapsed->clear();
    ui.labRemaining->clear();
    ui.panProgress->show();
}

void TMainForm::LeaveBusyState() {
    // tmrProcess is left to the run, which stops it itself on completion.
    ui.tmrPreview->stop();
    ShowRunControls(false);
    ui.panProgress->hide();
    Runner().SetState(RunState::Idle);
}

void TMainForm::ShowRunControls(bool running) {
    for (QWidget* control : ui.PlayerControls())
        control->setEnabled(!running);
    ui.imgStart->setVisible(!running);
    ui.imgCancel->setVisible(running);
    ui.tbtnOpen->setEnabled(!running);
    ui.tbtnSettings->setEnabled(!running);
}

bool TMainForm::RunShown() const {
    return !ui.panProgress->isHidden();
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

void TMainForm::cmbProfileChange() {
    const QString path = App().ProfilePath(ui.cmbProfile->currentText());
    Guarded([&] { dialogs.ProfileLists().LoadProfile(path); }, this);
    // Clips of a chosen size need a profile that copies the streams; one that cannot be read offers none.
    ProfileOptions options;
    try {
        BuildProfileArguments(path, options, dialogs.ProfileLists());
    } catch (const std::exception&) {
        options = ProfileOptions();
    }
    ui.OfferSizeChoice(IsStreamCopy(ui.cmbProfile->currentText(), options));
}
void TMainForm::BitBtn1Click() {
    dialogs.ShowProfileDetail(ui.cmbProfile->currentIndex());
}

QStringList TMainForm::ProfileNames() const {
    QStringList names;
    for (int i = 0; i < ui.cmbProfile->count(); ++i)
        names << ui.cmbProfile->itemText(i);
    return names;
}

int TMainForm::ProfileIndex() const {
    return ui.cmbProfile->currentIndex();
}

void TMainForm::RestoreProfileIndex(int index) {
    // Restoring the stored choice must not reload the profile the way a person's pick does.
    const QSignalBlocker blocker(ui.cmbProfile);
    ui.cmbProfile->setCurrentIndex(index >= 0 && index < ui.cmbProfile->count() ? index : -1);
}

void TMainForm::LoadSelectedProfile() {
    cmbProfileChange();
}

void TMainForm::SetOutputDir(const QString& folder) {
    ui.edtOutputDir->setText(folder);
}

void TMainForm::SetPreview(bool preview) {
    ui.chkPreview->setChecked(preview);
}

bool TMainForm::StartHitAt(const QPoint& pointerOnScreen) const {
    return RoundButton::StartHit(pointerOnScreen, frameGeometry().topLeft(), ui.panRight->pos(),
                                 ui.imgStart->geometry());
}

void TMainForm::imgStartClick() {
    // The event's own coordinates are not used: the pointer's screen position decides.
    if (!StartHitAt(QCursor::pos()))
        return;
    const QString profilePath = App().ProfilePath(ui.cmbProfile->currentText());
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
    ui.labElapsed->setText(SecondsToTimeText(elapsedSeconds));
    ui.labRemaining->setText(RemainingTimeText(elapsedSeconds, ui.pgbTotal->value()));
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
    OpenOrShowWhere(this, App().HelpFilePath);
}

void TMainForm::imgLogoClick() {
    OpenOrShowWhere(this, App().WebPageAddress);
}

void TMainForm::bbtnBrowseClick() {
    QString folder;
    if (PickFolder(this, QStringLiteral("Select the output directory."), QString(), folder))
        ui.edtOutputDir->setText(EnsureTrailingBackslash(folder));
}

void TMainForm::edtSectionQtyClick() {
    ui.rdbEqual->setChecked(true);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && watched != ui.edtSectionQty) {
        ui.imgStart->ResetToNormal();
        ui.imgCancel->ResetToNormal();
    } else if (watched == ui.edtSectionQty && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            ui.edtSectionQty->rect().contains(mouse->position().toPoint()))
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
