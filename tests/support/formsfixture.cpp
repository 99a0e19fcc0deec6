#include "formsfixture.h"

#include "mainformlookup.h"
#include "ui/mainform.h"

void FormsFixture::CreateForms(const QStringList& arguments) {
    forms = std::make_unique<Forms>(arguments);
    MainForm = forms->MainForm;
    SettingForm = forms->SettingForm;
    CountDownForm = forms->CountDownForm;
    AboutForm = forms->AboutForm;
    opSettingForm = forms->opSettingForm;
    SizeForm = forms->SizeForm;
    ui = FindMainControls(MainForm);
}

void FormsFixture::DestroyForms() {
    forms.reset();
    MainForm = nullptr;
    SettingForm = nullptr;
    CountDownForm = nullptr;
    AboutForm = nullptr;
    opSettingForm = nullptr;
    SizeForm = nullptr;
    ui = MainFormControls();
}
