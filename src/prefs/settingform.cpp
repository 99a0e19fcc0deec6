#include "prefs/settingform.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "platform/errorreporter.h"
#include "platform/inifile.h"
#include "platform/platform.h"
#include "prefs/preferences.h"
#include "prefs/settingstarget.h"
#include "widgets/ownerlock.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <algorithm>

namespace {

QCheckBox* MakeCheckBox(QWidget* parent, int left, int top, int width, const QString& text) {
    auto* box = new QCheckBox(text, parent);
    // The layout's width was made for another face; the caption must show whole in the one in use, as far
    // as the dialog's right margin allows.
    const int room = std::max(width, parent->width() - 2 * left);
    box->setGeometry(left, top, std::clamp(box->sizeHint().width(), width, room), 17);
    return box;
}

QPushButton* MakeButton(QWidget* parent, int left, int top, int width, int height, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(left, top, width, height);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TSettingForm::TSettingForm(SettingsTarget& target, QWidget* owner)
    : QWidget(owner, Qt::Dialog), target(target) {
    setWindowTitle(QStringLiteral("Settings"));
    setFixedSize(351, 332);

    chkPreview = MakeCheckBox(this, 64, 8, 193, QStringLiteral("Preview the video when it is splitted."));
    chkPreview->hide();
    chkOverwrite = MakeCheckBox(this, 24, 32, 165, QStringLiteral("Overwrite existent output files."));
    chkoutputdir = MakeCheckBox(this, 24, 72, 169, QStringLiteral("Use the aptotic output directory."));
    edtOutputDir = new QLineEdit(this);
    edtOutputDir->setGeometry(47, 101, 202, 19);
    chkExit =
        MakeCheckBox(this, 24, 190, 238, QStringLiteral("Exit the program when the task is completed."));
    chkOpenDir = MakeCheckBox(this, 24, 158, 276,
                              QStringLiteral("Open the output directory when the task is completed. "));
    chkTurnoff =
        MakeCheckBox(this, 24, 222, 262, QStringLiteral("Turn off the computer when the task is completed."));
    btnDefault = MakeButton(this, 16, 291, 89, 25, QStringLiteral("&Load Default"));
    btnOK = MakeButton(this, 176, 291, 75, 25, QStringLiteral("&OK"));
    btnCancel = MakeButton(this, 260, 291, 75, 25, QStringLiteral("&Cancel"));
    bbtnBrowse = MakeButton(this, 253, 98, 65, 23, QStringLiteral("Browse"));
    bbtnBrowse->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));

    QWidget* tabOrder[] = {chkPreview, chkOverwrite, chkoutputdir, edtOutputDir, chkExit,   chkOpenDir,
                           chkTurnoff, btnDefault,   btnOK,        btnCancel,    bbtnBrowse};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(btnOK, &QPushButton::clicked, this, &TSettingForm::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TSettingForm::btnCancelClick);
    connect(btnDefault, &QPushButton::clicked, this, &TSettingForm::btnDefaultClick);
    connect(bbtnBrowse, &QPushButton::clicked, this, &TSettingForm::bbtnBrowseClick);
    new OwnerLock(this);

    FormCreate();
}

Preferences TSettingForm::Current() const {
    Preferences current;
    current.Preview = chkPreview->isChecked();
    current.Overwrite = chkOverwrite->isChecked();
    current.Aptotic = chkoutputdir->isChecked();
    current.OutputDir = edtOutputDir->text();
    current.AutoOpenDir = chkOpenDir->isChecked();
    current.AutoExit = chkExit->isChecked();
    current.AutoTurnOff = chkTurnoff->isChecked();
    current.Profile = target.ProfileIndex();
    return current;
}

void TSettingForm::Apply(const Preferences& preferences) {
    chkPreview->setChecked(preferences.Preview);
    chkOverwrite->setChecked(preferences.Overwrite);
    chkoutputdir->setChecked(preferences.Aptotic);
    edtOutputDir->setText(preferences.OutputDir);
    chkOpenDir->setChecked(preferences.AutoOpenDir);
    chkExit->setChecked(preferences.AutoExit);
    chkTurnoff->setChecked(preferences.AutoTurnOff);
    target.RestoreProfileIndex(preferences.Profile);
}

bool TSettingForm::OverwriteWithoutAsking() const {
    return chkOverwrite->isChecked();
}

CompletionChoice TSettingForm::ReadCompletionChoice() const {
    CompletionChoice choice;
    choice.turnOff = chkTurnoff->isChecked();
    choice.exit = chkExit->isChecked();
    choice.openDir = chkOpenDir->isChecked();
    return choice;
}

void TSettingForm::LoadPreferences(bool useDefaults) {
    const IniFile ini(App().PreferencesPath());
    // The built-in values stand in; closing the program then leaves the file alone.
    if (!ini.Readable())
        ReportError(QStringLiteral("Unable to read ") + ini.path(),
                    isVisible() ? static_cast<QWidget*>(this) : parentWidget());
    Apply(Preferences::Load(ini, useDefaults));
}

void TSettingForm::SavePreferences() {
    IniFile ini(App().PreferencesPath());
    Current().Save(ini);
}

void TSettingForm::FormCreate() {
    LoadPreferences(false);
    CopyOutputDirToMainForm();
}

void TSettingForm::CopyOutputDirToMainForm() {
    if (chkoutputdir->isChecked())
        target.SetOutputDir(edtOutputDir->text());
}

void TSettingForm::btnOKClick() {
    Guarded(
        [this] {
            SavePreferences();
            CopyOutputDirToMainForm();
            target.SetPreview(chkPreview->isChecked());
            close();
        },
        this);
}

void TSettingForm::btnCancelClick() {
    close();
    ReloadPreferences(false);
}

void TSettingForm::btnDefaultClick() {
    ReloadPreferences(true);
}

void TSettingForm::ReloadPreferences(bool useDefaults) {
    const int selected = target.ProfileIndex();
    LoadPreferences(useDefaults);
    // A run takes the profile's name from the list but its options and extension from what was loaded.
    if (target.ProfileIndex() != selected)
        target.LoadSelectedProfile();
}

void TSettingForm::bbtnBrowseClick() {
    QString folder;
    if (PickFolder(this, QStringLiteral("Select the output directory."), QString(), folder))
        edtOutputDir->setText(EnsureTrailingBackslash(folder));
}

void TSettingForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        setGeometry(QRect(parentWidget()->geometry().center() - rect().center(), size()));
}
