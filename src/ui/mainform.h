#pragma once

#include "prefs/settingstarget.h"
#include "profiles/profileoptions.h"

#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolBar;
class QToolButton;
class QVideoWidget;
class ImageButton;
class MainFormDialogs;
class MainFormSplitView;
class PreviewKeys;
class RoundImage;
class SourcePreview;
class SplitRunner;
class TDSTrackBar;

// The main window: the preview with its player and marking buttons on the left; the toolbar, the source
// and output fields, the progress panel and the round Start/Cancel image on the right.
class TMainForm : public QWidget, public SettingsTarget {
    Q_OBJECT
public:
    explicit TMainForm(MainFormDialogs& dialogs, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Left panel.
    QFrame* panLeft = nullptr;
    QLabel* imgScreen = nullptr;
    QLabel* Image1 = nullptr;
    QVideoWidget* VideoWindow = nullptr;
    QLabel* labLeft = nullptr;
    QLabel* labMiddle = nullptr;
    QLabel* labRight = nullptr;
    TDSTrackBar* tkbProgress = nullptr;
    QLabel* labCurrent = nullptr;
    QLabel* labStart = nullptr;
    QLabel* labEnd = nullptr;
    ImageButton* imgPlay = nullptr;
    ImageButton* imgPause = nullptr;
    ImageButton* imgStop = nullptr;
    ImageButton* imgSelStart = nullptr;
    ImageButton* imgSelEnd = nullptr;
    ImageButton* imgErase = nullptr;

    // Right panel.
    QFrame* panRight = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* tbtnOpen = nullptr;
    QToolButton* tbtnSettings = nullptr;
    QToolButton* tbtnAbout = nullptr;
    QToolButton* tbtnHelp = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edtSource = nullptr;
    QGroupBox* gpbOutput = nullptr;
    QFrame* panProgress = nullptr;
    RoundImage* imgStart = nullptr;
    RoundImage* imgCancel = nullptr;
    QLabel* imgRightBottom = nullptr;
    QLabel* imgLogo = nullptr;

    // Inside gpbOutput.
    QRadioButton* rdbStartEnd = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* edtStart = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* edtEnd = nullptr;
    QRadioButton* rdbEqual = nullptr;
    QLineEdit* edtSectionQty = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* labLength = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* cmbProfile = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edtOutputDir = nullptr;
    QPushButton* bbtnBrowse = nullptr;

    // Inside panProgress.
    QLabel* labProcessing = nullptr;
    QLabel* Label1 = nullptr;
    QProgressBar* pgbCurrent = nullptr;
    QLabel* labCurProgress = nullptr;
    QLabel* Label6 = nullptr;
    QProgressBar* pgbTotal = nullptr;
    QLabel* labTotalProgress = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* labElapsed = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* labRemaining = nullptr;
    QCheckBox* chkPreview = nullptr;

    QTimer* tmrPreview = nullptr;
    QTimer* tmrProcess = nullptr;

    // The image lists: player buttons, marking buttons (63 x 35, up then down), the round Start and Cancel
    // faces (110 x 110) and the toolbar's images with their disabled look (48 x 48).
    QList<QPixmap> iglButtons;
    QList<QPixmap> iglbuttons2;
    QList<QPixmap> iglStart;
    QList<QPixmap> imlToolbar;
    QList<QPixmap> imlToolbar2;

    // Start-up and lifecycle.
    void FormCreate(const QStringList& arguments);
    void FormShow();
    void FormClose();
    // True when the window may close.
    bool FormCloseQuery();

    // Busy state of a run.
    void EnterBusyState();
    void LeaveBusyState();

    // Source and preview.
    void LoadSource(const QString& path);
    void tbtnOpenClick();
    void HandleDroppedFiles(const QStringList& paths);
    void imgPlayClick();
    void imgPauseClick();
    void imgStopClick();
    void tkbProgressTimer();
    void tmrPreviewTimer();
    // The loaded source's length in milliseconds; 0 when none is loaded.
    qint64 SourceDurationMs() const;
    // The preview area's controller (loading, playing, range marking).
    SourcePreview* Preview() const { return preview.get(); }

    // Range marking.
    void imgSelStartClick();
    void imgSelEndClick();
    void imgEraseClick();
    void SetRangeStart(double seconds);
    void SetRangeEnd(double seconds);
    void edtStartExit();
    void edtEndExit();

    // Profiles and the run.
    void cmbProfileChange();
    void BitBtn1Click();
    void imgStartClick();
    void RunSplit(const ProfileOptions& profileOptions = {});
    void imgCancelClick();
    void tmrProcessTimer();
    void PowerOff();
    // The runner of this window's splits; its state is the one link between a run and the handlers.
    SplitRunner& Runner();
    // The window as the view of its runs.
    MainFormSplitView& RunView() { return *splitView; }
    // The seconds a run has taken so far, counted by tmrProcess.
    int ElapsedSeconds() const { return elapsedSeconds; }
    // The names in the profile list, as FormCreate found them.
    QStringList ProfileNames() const;

    // Toolbar, links and fields.
    void tbtnSettingsClick();
    void tbtnAboutClick();
    void tbtnHelpClick();
    void imgLogoClick();
    void bbtnBrowseClick();
    void edtSectionQtyClick();

    // Whether a click with the pointer at this screen position lies inside the Start circle.
    bool StartHitAt(const QPoint& pointerOnScreen) const;

    // What the settings dialog reads and fills in.
    int ProfileIndex() const override;
    void RestoreProfileIndex(int index) override;
    void LoadSelectedProfile() override;
    void SetOutputDir(const QString& folder) override;
    void SetPreview(bool preview) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateFeatures();
    void ConnectControls();
    // The player and marking controls, disabled during a run.
    QList<QWidget*> PlayerControls() const;
    bool RunShown() const;

    MainFormDialogs& dialogs;
    std::unique_ptr<SourcePreview> preview;
    std::unique_ptr<PreviewKeys> keys;
    std::unique_ptr<MainFormSplitView> splitView;
    int elapsedSeconds = 0;
    bool shownOnce = false;
};
