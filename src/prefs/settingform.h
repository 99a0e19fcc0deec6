#pragma once

#include "split/livepreferences.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;
class SettingsTarget;
struct Preferences;

// The settings dialog. Its check boxes are the live preferences: a run reads chkOverwrite, chkOpenDir,
// chkExit and chkTurnoff from here, not from the file. Shown without being modal, it keeps its owner, the
// main window, disabled while it is open; closing only hides it.
class TSettingForm : public QWidget, public LivePreferences {
    Q_OBJECT
public:
    // Fills itself from the preferences file at once, which also selects the stored profile in the target.
    TSettingForm(SettingsTarget& target, QWidget* owner);

    QCheckBox* chkPreview = nullptr;
    QCheckBox* chkOverwrite = nullptr;
    QCheckBox* chkoutputdir = nullptr;
    QLineEdit* edtOutputDir = nullptr;
    QCheckBox* chkExit = nullptr;
    QCheckBox* chkOpenDir = nullptr;
    QCheckBox* chkTurnoff = nullptr;
    QPushButton* btnDefault = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* bbtnBrowse = nullptr;

    // Fills the dialog from [Default] (useDefaults) or [Main], and selects the profile stored in [Main]
    // in the main window's list.
    void LoadPreferences(bool useDefaults);
    // Writes the dialog and the main window's profile selection to [Main]; throws AppError on failure.
    void SavePreferences();

    // The dialog's state as preferences, and back.
    Preferences Current() const;
    void Apply(const Preferences& preferences);

    void FormCreate();
    void btnOKClick();
    void btnCancelClick();
    void btnDefaultClick();
    void bbtnBrowseClick();

    bool OverwriteWithoutAsking() const override;
    CompletionChoice ReadCompletionChoice() const override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void CopyOutputDirToMainForm();
    // LoadPreferences, then loads the profile that it selected in the main window, if that changed.
    void ReloadPreferences(bool useDefaults);

    SettingsTarget& target;
};
