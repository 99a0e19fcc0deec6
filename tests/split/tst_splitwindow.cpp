#include "app/appcontext.h"
#include "split/countdownform.h"
#include "split/mainformsplitview.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/forms.h"
#include "ui/mainform.h"
#include "ui/roundimage.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(CountdownAction)

// The split run as the main window shows it: the elapsed-time tick, the countdown dialog and its actions.
class TestSplitWindow : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;

    void StartCountdown(CountdownAction action) {
        MainForm->show();
        MainForm->EnterBusyState();
        MainFormSplitView::For(MainForm).StartCountdown(action);
    }

private slots:
    void init() {
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        CreateForms({});
    }
    void cleanup() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void processTick_data() {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("elapsed");
        QTest::addColumn<QString>("remaining");
        QTest::newRow("30 ticks at 25") << 30 << 25 << "00:00:30"
                                        << "00:01:30";
        QTest::newRow("45 ticks at 50") << 45 << 50 << "00:00:45"
                                        << "00:00:45";
        QTest::newRow("nothing done yet") << 4000 << 0 << "01:06:40"
                                          << "00:00:00";
        QTest::newRow("all done") << 12 << 100 << "00:00:12"
                                  << "00:00:00";
    }
    void processTick() {
        QFETCH(int, ticks);
        QFETCH(int, total);
        QFETCH(QString, elapsed);
        QFETCH(QString, remaining);
        MainForm->ElapsedSeconds = ticks - 1;
        MainForm->pgbTotal->setValue(total);
        MainForm->tmrProcessTimer();
        QCOMPARE(MainForm->ElapsedSeconds, ticks);
        QCOMPARE(MainForm->labElapsed->text(), elapsed);
        QCOMPARE(MainForm->labRemaining->text(), remaining);
    }

    void countdownRunsOut_data() {
        QTest::addColumn<CountdownAction>("action");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("turn off") << CountdownAction::TurnOff << "Turn off Now"
                                  << "The computer will be turned off within";
        QTest::newRow("exit") << CountdownAction::Exit << "Exit Now"
                              << "The program will exit within";
    }
    void countdownRunsOut() {
        QFETCH(CountdownAction, action);
        QFETCH(QString, button);
        QFETCH(QString, prefix);
        StartCountdown(action);

        QVERIFY(CountDownForm->isVisible());
        QVERIFY(!MainForm->isEnabled());
        QVERIFY(CountDownForm->isEnabled());
        QVERIFY(CountDownForm->tmrCountdown->isActive());
        QCOMPARE(CountDownForm->btnDoNow->text(), button);
        QCOMPARE(CountDownForm->labMessage->text(), prefix + " 10 seconds.");
        for (int i = 0; i < 9; ++i)
            CountDownForm->tmrCountdownTimer();
        QCOMPARE(CountDownForm->labMessage->text(), prefix + " 1 seconds.");
        QCOMPARE(doubles->power.requests, 0);
        QVERIFY(MainForm->isVisible());

        CountDownForm->tmrCountdownTimer();
        QCOMPARE(CountDownForm->labMessage->text(), prefix + " 0 seconds.");
        QVERIFY(!CountDownForm->tmrCountdown->isActive());
        if (action == CountdownAction::TurnOff) {
            QCOMPARE(doubles->power.requests, 1);
            QVERIFY(MainForm->isVisible());
            QVERIFY(CountDownForm->isVisible());
        } else {
            QCOMPARE(doubles->power.requests, 0);
            QVERIFY(!MainForm->isVisible());
            // Closing the main window saves the preferences.
            QVERIFY(QFile::exists(App().PreferencesPath()));
        }
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void nowActsAtOnce() {
        StartCountdown(CountdownAction::TurnOff);
        CountDownForm->tmrCountdownTimer();
        QTest::mouseClick(CountDownForm->btnDoNow, Qt::LeftButton);
        QCOMPARE(doubles->power.requests, 1);
        QVERIFY(CountDownForm->isVisible());
        // The count does not run on to ask a second time.
        QVERIFY(!CountDownForm->tmrCountdown->isActive());
    }

    void countdownGivenUp_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void countdownGivenUp() {
        QFETCH(bool, closeBox);
        StartCountdown(CountdownAction::Exit);
        if (closeBox)
            CountDownForm->close();
        else
            QTest::mouseClick(CountDownForm->btnCancel, Qt::LeftButton);

        QVERIFY(!CountDownForm->isVisible());
        QVERIFY(!CountDownForm->tmrCountdown->isActive());
        QVERIFY(MainForm->isEnabled());
        QVERIFY(MainForm->isVisible());
        QVERIFY(MainForm->imgStart->isVisible());
        QVERIFY(!MainForm->panProgress->isVisible());
        QCOMPARE(MainForm->RunState, 0);
        QCOMPARE(doubles->power.requests, 0);
    }

    void countdownLayout() {
        QCOMPARE(CountDownForm->windowTitle(), QStringLiteral("Countdown"));
        QCOMPARE(CountDownForm->size(), QSize(376, 106));
        QCOMPARE(CountDownForm->palette().color(QPalette::Window), QColor(237, 237, 237));
        QCOMPARE(CountDownForm->btnDoNow->geometry(), QRect(176, 64, 75, 25));
        QCOMPARE(CountDownForm->btnCancel->geometry(), QRect(272, 64, 75, 25));
        QCOMPARE(CountDownForm->labMessage->geometry(), QRect(77, 24, 265, 13));
        QCOMPARE(CountDownForm->tmrCountdown->interval(), 1000);
    }

    void closeWhileIdleAsksNothing() {
        MainForm->show();
        QVERIFY(MainForm->close());
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void powerOffGoesThroughThePlatform() {
        MainForm->PowerOff();
        QCOMPARE(doubles->power.requests, 1);
    }
};

QTEST_MAIN(TestSplitWindow)
#include "tst_splitwindow.moc"
