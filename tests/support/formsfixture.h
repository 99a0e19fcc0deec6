#pragma once

#include "ui/forms.h"
#include "ui/mainformcontrols.h"

#include <QStringList>
#include <memory>

// The program's windows, made for a test the way the program makes them and kept under their names, with
// the main window's controls in ui.
class FormsFixture {
protected:
    void CreateForms(const QStringList& arguments);
    void DestroyForms();

    std::unique_ptr<Forms> forms;
    TMainForm* MainForm = nullptr;
    TSettingForm* SettingForm = nullptr;
    TCountDownForm* CountDownForm = nullptr;
    TAboutForm* AboutForm = nullptr;
    TopSettingForm* opSettingForm = nullptr;
    TSizeForm* SizeForm = nullptr;
    MainFormControls ui;
};
