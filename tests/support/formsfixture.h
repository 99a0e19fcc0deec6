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
    // No range is marked: no marks on the track, the time fields reading these texts, the labels under the
    // track and the length line hidden. A failed check returns from here only; callers that go on test
    // QTest::currentTestFailed().
    void CheckNoRangeMarked(const QString& startField = QStringLiteral("00:00:00"),
                            const QString& endField = QStringLiteral("00:00:00")) const;

    std::unique_ptr<Forms> forms;
    MainFormControls ui;
};
