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

    QList<QWidget*> PlayerControls() const {
        return {form->tkbProgress, form->imgPlay,   form->imgPause, form->imgStop,
                form->imgSelStart, form->imgSelEnd, form->imgErase};
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
        form->pgbCurrent->setValue(70);
        form->pgbTotal->setValue(30);
        form->labElapsed->setText("00:01:00");
        form->labRemaining->setText("00:02:00");
        form->EnterBusyState();
        QCOMPARE(form->ElapsedSeconds(), 0);
        QVERIFY(form->tmrPreview->isActive());
        QVERIFY(form->tmrProcess->isActive());
        for (QWidget* control : PlayerControls())
            QVERIFY(!control->isEnabled());
        QVERIFY(!form->imgStart->isVisible());
        QVERIFY(form->imgCancel->isVisible());
        QVERIFY(!form->tbtnOpen->isEnabled());
        QVERIFY(!form->tbtnSettings->isEnabled());
        QVERIFY(form->tbtnAbout->isEnabled());
        QVERIFY(form->tbtnHelp->isEnabled());
        QVERIFY(form->imgLogo->isEnabled());
        QCOMPARE(form->pgbCurrent->value(), 0);
        QCOMPARE(form->pgbTotal->value(), 0);
        QCOMPARE(form->labCurProgress->text(), QStringLiteral("0%"));
        QCOMPARE(form->labTotalProgress->text(), QStringLiteral("0%"));
        QCOMPARE(form->labElapsed->text(), QString());
        QCOMPARE(form->labRemaining->text(), QString());
        QVERIFY(form->panProgress->isVisible());
        QCOMPARE(form->panProgress->height(), 217);
        QCOMPARE(form->Runner().State(), RunState::Idle);
        // The panel lies over the source row and the Output group.
        const QRect covered = form->panProgress->geometry();
        QVERIFY(covered.contains(form->edtSource->geometry()));
        QVERIFY(covered.contains(form->gpbOutput->geometry()));
    }

    void leave() {
        form->EnterBusyState();
        form->Runner().SetState(RunState::CancelRequested);
        form->labCurProgress->setText("37%");
        form->labTotalProgress->setText("12%");
        form->LeaveBusyState();
        QVERIFY(!form->tmrPreview->isActive());
        // The run stops tmrProcess itself on completion.
        QVERIFY(form->tmrProcess->isActive());
        for (QWidget* control : PlayerControls())
            QVERIFY(control->isEnabled());
        QVERIFY(form->imgStart->isVisible());
        QVERIFY(!form->imgCancel->isVisible());
        QVERIFY(form->tbtnOpen->isEnabled());
        QVERIFY(form->tbtnSettings->isEnabled());
        QVERIFY(!form->panProgress->isVisible());
        QCOMPARE(form->Runner().State(), RunState::Idle);
        QCOMPARE(form->labCurProgress->text(), QStringLiteral("37%"));
        QCOMPARE(form->labTotalProgress->text(), QStringLiteral("12%"));
    }

    // Leaving enables what it names, whatever the state before the run.
    void leaveDoesNotRestore() {
        form->imgPlay->setEnabled(false);
        form->tbtnOpen->setEnabled(false);
        form->EnterBusyState();
        form->LeaveBusyState();
        QVERIFY(form->imgPlay->isEnabled());
        QVERIFY(form->tbtnOpen->isEnabled());
    }

    void disabledToolbarLook() {
        form->EnterBusyState();
        const QImage shown = form->tbtnSettings->icon().pixmap(QSize(48, 48), 1.0, QIcon::Disabled).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
                 form->imlToolbar2.at(1).toImage().convertToFormat(QImage::Format_ARGB32));
        QVERIFY(form->imlToolbar2.at(1).toImage() != form->imlToolbar.at(1).toImage());
    }

    // Each round image keeps its state and picture while hidden.
    void roundImagesKeepTheirState() {
        Hover(form->imgStart);
        QCOMPARE(form->imgStart->RoundButtonState(), 1);
        form->EnterBusyState();
        Hover(form->imgCancel);
        QCOMPARE(form->imgCancel->RoundButtonState(), 1);
        form->LeaveBusyState();
        QCOMPARE(form->imgStart->RoundButtonState(), 1);
        QCOMPARE(form->imgCancel->RoundButtonState(), 1);
        form->EnterBusyState();
        QCOMPARE(form->imgCancel->RoundButtonState(), 1);
        QCOMPARE(form->imgCancel->pixmap().toImage(), form->iglStart.at(4).toImage());
    }
};

QTEST_MAIN(TestBusyState)
#include "tst_busystate.moc"
