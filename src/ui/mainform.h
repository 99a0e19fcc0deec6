#pragma once

#include "prefs/settingstarget.h"
#include "profiles/profileoptions.h"
#include "ui/mainformcontrols.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class MainFormDialogs;
class MainFormSplitView;
class PreviewKeys;
class SourcePreview;
class SplitRunner;

// The main window: the preview with its player and marking buttons on the left; the toolbar, the source
// and output fields, the progress panel and the round Start/Cancel image on the right. Its controls are its
// own; each feature (the preview and its range marking, the shortcuts, the split run) is given the few it
// drives, and the dialogs made after the window are reached through MainFormDialogs.
class TMainForm : public QWidget, public SettingsTarget {
    Q_OBJECT
public:
    explicit TMainForm(MainFormDialogs& dialogs, QWidget* parent = nullptr);
    ~TMainForm() override;

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
    // A run swaps Start for Cancel and shuts the player, the marking, Open and Settings.
    void ShowRunControls(bool running);
    bool RunShown() const;

    MainFormControls ui;
    MainFormDialogs& dialogs;
    std::unique_ptr<SourcePreview> preview;
    std::unique_ptr<PreviewKeys> keys;
    std::unique_ptr<MainFormSplitView> splitView;
    int elapsedSeconds = 0;
    bool shownOnce = false;
};
