#pragma once

#include "profiles/profileworkinglists.h"
#include "profiles/savedialog.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollArea;
class ValueListView;

// The profile editor: the working lists of the current profile in their Video, Audio and Advanced groups,
// with OK to save them into the selected profile, Save as to copy it, and Cancel to reload it. Shown
// without being modal; its owner, the main window, stays usable, and a run started meanwhile uses the
// lists as they stand. Closing only hides it.
class TopSettingForm : public QWidget {
    Q_OBJECT
public:
    // profileNames: the main window's list of profiles, which this one offers too.
    TopSettingForm(const QStringList& profileNames, QWidget* owner);
    ~TopSettingForm() override;

    // The working lists vleVideo, vleAudio and vleAdvanced of the current profile.
    ProfileWorkingLists Lists;

    QComboBox* cmbProfile = nullptr;
    QPushButton* btnSaveAs = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QFrame* panVideo = nullptr;
    QPushButton* btnVideo = nullptr;
    ValueListView* vleVideo = nullptr;
    QFrame* panAudio = nullptr;
    QPushButton* btnAudio = nullptr;
    ValueListView* vleAudio = nullptr;
    QFrame* panAdvanced = nullptr;
    QPushButton* btnAdvanced = nullptr;
    ValueListView* vleAdvanced = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    SaveDialog SaveDialog1{QStringLiteral("Profiles (*.apf)|*.apf"), QStringLiteral(".apf")};

    void LoadProfile(const QString& path) { Lists.LoadProfile(path); }
    void SaveProfile(const QString& path) { Lists.SaveProfile(path); }
    void CopyProfile(const QString& sourcePath, const QString& destinationPath) {
        Lists.CopyProfile(sourcePath, destinationPath);
    }

    // The file of the profile selected here, or an empty text when none is selected.
    QString SelectedProfilePath() const;

    void FormCreate();
    void cmbProfileChange();
    void Button1Click();
    void Button2Click();
    void btnSaveAsClick();
    void btnVideoClick();
    void btnAudioClick();
    void btnAdvancedClick();
    void vleVideoStringsChange();
    // "Detail" on the main window: shows the editor and lines its selection up with the main window's,
    // loading that profile only when the two differ.
    void ShowDetail(int mainProfileIndex);

signals:
    // The person chose "Custom Size" in the video list; the size dialog asks for it.
    void CustomSizeWanted();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QFrame* MakeGroupHeader(QWidget* parent, const QString& caption, QPushButton*& button);
    void ToggleGroup(QPushButton* button, ValueListView* view);
    void FitListsToRows();
    void RedrawLists();

    QStringList profileNames;
    QWidget* owner;
};
