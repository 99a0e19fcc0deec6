#include "ui/forms.h"

#include "prefs/settingform.h"
#include "profiles/opsettingform.h"
#include "profiles/sizeform.h"
#include "split/countdownform.h"
#include "ui/aboutform.h"
#include "ui/mainform.h"

Forms::Forms(const QStringList& arguments) {
    MainForm = new TMainForm(*this);
    MainForm->FormCreate(arguments);
    SettingForm = new TSettingForm(*MainForm, MainForm);
    CountDownForm = new TCountDownForm({.leaveBusyState = [this] { MainForm->LeaveBusyState(); },
                                        .powerOff = [this] { MainForm->PowerOff(); }},
                                       MainForm);
    AboutForm = new TAboutForm(MainForm);
    opSettingForm = new TopSettingForm(MainForm->ProfileNames(), MainForm);
    SizeForm = new TSizeForm(opSettingForm->Lists.vleVideo, MainForm);
    QObject::connect(opSettingForm, &TopSettingForm::CustomSizeWanted, SizeForm, &TSizeForm::Ask);
}

Forms::~Forms() {
    delete MainForm;
}

void Forms::ShowSettings() {
    SettingForm->show();
    SettingForm->activateWindow();
}

void Forms::ShowAbout() {
    AboutForm->show();
}

void Forms::ShowProfileDetail(int profileIndex) {
    opSettingForm->ShowDetail(profileIndex);
}

ProfileWorkingLists& Forms::ProfileLists() {
    return opSettingForm->Lists;
}

void Forms::SavePreferences() {
    SettingForm->SavePreferences();
}

const LivePreferences& Forms::Preferences() {
    return *SettingForm;
}

void Forms::StartCountdown(CountdownAction action) {
    CountDownForm->Start(action);
}

QWidget* Forms::ShownCountdown() {
    return CountDownForm->isVisible() ? CountDownForm : nullptr;
}
