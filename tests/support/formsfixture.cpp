#include "formsfixture.h"

#include "mainformlookup.h"
#include "ui/mainform.h"

void FormsFixture::CreateForms(const QStringList& arguments) {
    forms = std::make_unique<Forms>(arguments);
    static_cast<FormWindows&>(*this) = *forms;
    ui = FindMainControls(MainForm);
}

void FormsFixture::DestroyForms() {
    forms.reset();
    static_cast<FormWindows&>(*this) = FormWindows();
    ui = MainFormControls();
}
