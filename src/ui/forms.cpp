#include "ui/forms.h"

#include "prefs/settingform.h"
#include "profiles/opsettingform.h"
#include "profiles/sizeform.h"
#include "split/countdownform.h"
#include "ui/aboutform.h"
#include "ui/mainform.h"

TMainForm* MainForm = nullptr;
TSettingForm* SettingForm = nullptr;
TCountDownForm* CountDownForm = nullptr;
TAboutForm* AboutForm = nullptr;
TopSettingForm* opSettingForm = nullptr;
TSizeForm* SizeForm = nullptr;

void CreateForms(const QStringList& arguments) {
    MainForm = new TMainForm();
    MainForm->FormCreate(arguments);
    SettingForm = new TSettingForm(MainForm);
    CountDownForm = new TCountDownForm(MainForm);
    AboutForm = new TAboutForm(MainForm);
    opSettingForm = new TopSettingForm(MainForm);
    SizeForm = new TSizeForm(MainForm);
}

void DestroyForms() {
    // The dialogs are children of the main window and go with it.
    delete MainForm;
    MainForm = nullptr;
    SettingForm = nullptr;
    CountDownForm = nullptr;
    AboutForm = nullptr;
    opSettingForm = nullptr;
    SizeForm = nullptr;
}
