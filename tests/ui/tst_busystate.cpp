#include "mainformlookup.h"
#include "preview/dstrackbar.h"
#include "split/splitrunner.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "ui/roundimage.h"
#include "widgets/imagebutton.h"
#include "windowdoubles.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestBusyState : public QObject {
    Q_OBJECT

    PlatformDoubles doubles;
    std::unique_ptr<TempProgramDir> program;
    MainFormDialogsDouble dialogs;
    std::unique_ptr<TMainForm> form;
    MainFormControls ui;

    QList<QWidget*> PlayerControls() const {
        return {ui.tkbProgress, ui.imgPlay,   ui.imgPause, ui.imgStop,
                ui.imgSelStart, ui.imgSelEnd, ui.imgErase};
    }

    void Hover(RoundImage* image) {
        QMouseEvent move(QEvent::MouseMove, QPointF(55, 55), QPointF(image->mapToGlobal(QPoint(55, 55))),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &move);
    }

private slots:
    void init() {
        program = std::make_unique<TempProgramDir>();
        form = std::make_unique<TMainForm>(dialogs);
        ui = FindMainControls(form.get());
        form->FormCreate({});
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        QVERIFY(doubles.messages.calls.isEmpty());
        form.reset();
        program.reset();
    }

    void enter() {
        for (int tick = 0; tick < 42; ++tick)
            form->tmrProcessTimer();
        ui.pgbCurrent->setValue(70);
        ui.pgbTotal->setValue(30);
        ui.labElapsed->setText("00:01:00");
        ui.labRemaining->setText("00:02:00");
        form->EnterBusyState();
        QCOMPARE(form->ElapsedSeconds(), 0);
        QVERIFY(ui.tmrPreview->isActive());
        QVERIFY(ui.tmrProcess->isActive());
        for (QWidget* control : PlayerControls())
            QVERIFY(!control->isEnabled());
        QVERIFY(!ui.imgStart->isVisible());
        QVERIFY(ui.imgCancel->isVisible());
        QVERIFY(!ui.tbtnOpen->isEnabled());
        QVERIFY(!ui.tbtnSettings->isEnabled());
        QVERIFY(ui.tbtnAbout->isEnabled());
        QVERIFY(ui.tbtnHelp->isEnabled());
        QVERIFY(ui.imgLogo->isEnabled());
        QCOMPARE(ui.pgbCurrent->value(), 0);
        QCOMPARE(ui.pgbTotal->value(), 0);
        QCOMPARE(ui.labCurProgress->text(), QStringLiteral("0%"));
        QCOMPARE(ui.labTotalProgress->text(), QStringLiteral("0%"));
        QCOMPARE(ui.labElapsed->text(), QString());
        QCOMPARE(ui.labRemaining->text(), QString());
        QVERIFY(ui.panProgress->isVisible());
        QCOMPARE(ui.panProgress->height(), 217);
        QCOMPARE(form->Runner().State(), RunState::Idle);
        // The panel lies over the source row and the Output group.
        const QRect covered = ui.panProgress->geometry();
        QVERIFY(covered.contains(ui.edtSource->geometry()));
        QVERIFY(covered.contains(ui.gpbOutput->geometry()));
    }

    void leave() {
        form->EnterBusyState();
        form->Runner().SetState(RunState::CancelRequested);
        ui.labCurProgress->setText("37%");
        ui.labTotalProgress->setText("12%");
        form->LeaveBusyState();
        QVERIFY(!ui.tmrPreview->isActive());
        // The run stops tmrProcess itself on completion.
        QVERIFY(ui.tmrProcess->isActive());
        for (QWidget* control : PlayerControls())
            QVERIFY(control->isEnabled());
        QVERIFY(ui.imgStart->isVisible());
        QVERIFY(!ui.imgCancel->isVisible());
        QVERIFY(ui.tbtnOpen->isEnabled());
        QVERIFY(ui.tbtnSettings->isEnabled());
        QVERIFY(!ui.panProgress->isVisible());
        QCOMPARE(form->Runner().State(), RunState::Idle);
        QCOMPARE(ui.labCurProgress->text(), QStringLiteral("37%"));
        QCOMPARE(ui.labTotalProgress->text(), QStringLiteral("12%"));
    }

    // Leaving enables what it names, whatever the state before the run.
    void leaveDoesNotRestore() {
        ui.imgPlay->setEnabled(false);
        ui.tbtnOpen->setEnabled(false);
        form->EnterBusyState();
        form->LeaveBusyState();
        QVERIFY(ui.imgPlay->isEnabled());
        QVERIFY(ui.tbtnOpen->isEnabled());
    }

    void disabledToolbarLook() {
        form->EnterBusyState();
        const QImage shown = ui.tbtnSettings->icon().pixmap(QSize(48, 48), 1.0, QIcon::Disabled).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
                 ui.imlToolbar2.at(1).toImage().convertToFormat(QImage::Format_ARGB32));
        QVERIFY(ui.imlToolbar2.at(1).toImage() != ui.imlToolbar.at(1).toImage());
    }

    // Each round image keeps its state and picture while hidden.
    void roundImagesKeepTheirState() {
        Hover(ui.imgStart);
        QCOMPARE(ui.imgStart->RoundButtonState(), 1);
        form->EnterBusyState();
        Hover(ui.imgCancel);
        QCOMPARE(ui.imgCancel->RoundButtonState(), 1);
        form->LeaveBusyState();
        QCOMPARE(ui.imgStart->RoundButtonState(), 1);
        QCOMPARE(ui.imgCancel->RoundButtonState(), 1);
        form->EnterBusyState();
        QCOMPARE(ui.imgCancel->RoundButtonState(), 1);
        QCOMPARE(ui.imgCancel->pixmap().toImage(), ui.iglStart.at(4).toImage());
    }
};

QTEST_MAIN(TestBusyState)
#include "tst_busystate.moc"
