#pragma once

#include "ui/forms.h"
#include "ui/mainformcontrols.h"

#include <QStringList>
#include <memory>

// The program's windows, made for a test the way the program makes them and kept under their names, with
// the main window's controls in ui.
class FormsFixture : protected FormWindows {
protected:
    void CreateForms(const QStringList& arguments);
    void DestroyForms();

    std::unique_ptr<Forms> forms;
    MainFormControls ui;
};
