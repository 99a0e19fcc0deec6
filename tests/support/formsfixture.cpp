#include "formsfixture.h"

#include "mainformlookup.h"
#include "preview/dstrackbar.h"
#include "ui/mainform.h"

#include <QLabel>
#include <QLineEdit>
#include <QtTest>

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

void FormsFixture::CheckNoRangeMarked(const QString& startField, const QString& endField) const {
    QCOMPARE(ui.tkbProgress->SelStart(), 0);
    QCOMPARE(ui.tkbProgress->SelEnd(), 0);
    QCOMPARE(ui.edtStart->text(), startField);
    QCOMPARE(ui.edtEnd->text(), endField);
    QVERIFY(ui.labStart->isHidden());
    QVERIFY(ui.labEnd->isHidden());
    QVERIFY(ui.labLength->isHidden());
}
