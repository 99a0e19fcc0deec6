#include "preview/dstrackbar.h"
#include "preview/mediaseeking.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// Answers the track's questions from fixed values and records its seeks.
class FakeSeeking : public MediaSeeking {
public:
    qint64 duration = 0;
    qint64 current = 0;
    bool answers = true;
    QList<qint64> seeks;

    bool GetDuration(qint64& milliseconds) const override {
        milliseconds = duration;
        return answers;
    }
    bool GetCurrentPosition(qint64& milliseconds) const override {
        milliseconds = current;
        return answers;
    }
    bool GetStopPosition(qint64& milliseconds) const override {
        milliseconds = duration;
        return answers;
    }
    void SetPositions(qint64 milliseconds) override { seeks << milliseconds; }
};

} // namespace

class TestDSTrackBar : public QObject {
    Q_OBJECT
private slots:
    void init() {
        track = std::make_unique<TDSTrackBar>();
        track->setGeometry(0, 0, 326, 20);
        track->show();
        seeking = FakeSeeking();
        track->SetSeeking(&seeking);
    }
    void cleanup() { track.reset(); }

    void startsWithTenAndTicksEveryMinute() {
        QCOMPARE(track->Max(), 10);
        QCOMPARE(track->Position(), 0);
        QCOMPARE(track->tickInterval(), 60);
    }

    void timerStepTruncatesToWholeSeconds_data() {
        QTest::addColumn<qint64>("duration");
        QTest::addColumn<qint64>("current");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("position");
        QTest::newRow("just under whole seconds") << qint64(125999) << qint64(75999) << 125 << 75;
        QTest::newRow("shorter than a second") << qint64(999) << qint64(500) << 0 << 0;
        QTest::newRow("at the end") << qint64(3000) << qint64(3000) << 3 << 3;
        QTest::newRow("two and a half hours") << qint64(9059700) << qint64(0) << 9059 << 0;
    }
    void timerStepTruncatesToWholeSeconds() {
        QFETCH(qint64, duration);
        QFETCH(qint64, current);
        QFETCH(int, max);
        QFETCH(int, position);
        seeking.duration = duration;
        seeking.current = current;
        QSignalSpy spy(track.get(), &TDSTrackBar::OnTimer);
        track->TimerStep();
        QCOMPARE(track->Max(), max);
        QCOMPARE(track->Position(), position);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toLongLong(), current);
        QCOMPARE(spy.at(0).at(1).toLongLong(), duration);
    }

    void stepIsSkippedWhenTheGraphCannotAnswer() {
        seeking.duration = 60000;
        seeking.answers = false;
        QSignalSpy spy(track.get(), &TDSTrackBar::OnTimer);
        track->TimerStep();
        QCOMPARE(track->Max(), 10);
        QCOMPARE(spy.count(), 0);
        track->SetSeeking(nullptr);
        track->TimerStep();
        QCOMPARE(spy.count(), 0);
    }

    void timerRunsExactlyWhilePlaying() {
        QVERIFY(!track->TimerRunning());
        track->PlayStarted();
        QVERIFY(track->TimerRunning());
        track->PlayPaused();
        QVERIFY(!track->TimerRunning());
        track->PlayStarted();
        track->PlayStopped();
        QVERIFY(!track->TimerRunning());
        track->PlayStarted();
        track->SetSeeking(nullptr);
        QVERIFY(!track->TimerRunning());
    }

    void disabledTrackDoesNotStartItsTimer() {
        track->setEnabled(false);
        track->PlayStarted();
        QVERIFY(!track->TimerRunning());
    }

    void stopShowsWhereTheBackEndLeftThePosition() {
        seeking.duration = 60000;
        seeking.current = 0;
        track->SetPosition(7);
        track->PlayStarted();
        track->PlayStopped();
        QCOMPARE(track->Max(), 60);
        QCOMPARE(track->Position(), 0);
    }

    void runningTimerStepsAndReports() {
        seeking.duration = 42000;
        seeking.current = 21500;
        QSignalSpy spy(track.get(), &TDSTrackBar::OnTimer);
        track->PlayStarted();
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0, 30000);
        QCOMPARE(track->Max(), 42);
        QCOMPARE(track->Position(), 21);
    }

    void seekTakesThePositionsShareOfTheStop_data() {
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("position");
        QTest::addColumn<qint64>("stop");
        QTest::addColumn<qint64>("target");
        QTest::newRow("a quarter") << 120 << 30 << qint64(120000) << qint64(30000);
        QTest::newRow("whole-number division") << 7 << 3 << qint64(7500) << qint64(3214);
        QTest::newRow("the end") << 7 << 7 << qint64(7500) << qint64(7500);
        QTest::newRow("the start") << 7 << 0 << qint64(7500) << qint64(0);
        QTest::newRow("long source, no 32-bit overflow")
            << 86400 << 86399 << qint64(86400999) << qint64(86399998);
    }
    void seekTakesThePositionsShareOfTheStop() {
        QFETCH(int, max);
        QFETCH(int, position);
        QFETCH(qint64, stop);
        QFETCH(qint64, target);
        seeking.duration = stop;
        track->SetMax(max);
        track->SetPosition(position);
        track->Seek();
        QCOMPARE(seeking.seeks, QList<qint64>{target});
    }

    void seekDoesNothingWithoutLength() {
        seeking.duration = 800;
        track->SetMax(0);
        track->Seek();
        QVERIFY(seeking.seeks.isEmpty());
    }

    void leftReleaseSeeksAndHoldingPausesTheSteps() {
        seeking.duration = 120000;
        seeking.current = 90000;
        track->SetMax(120);
        track->SetPosition(30);
        const QPoint point(track->width() / 2, track->height() / 2);
        QTest::mousePress(track.get(), Qt::LeftButton, {}, point);
        QVERIFY(track->Tracking());
        QSignalSpy spy(track.get(), &TDSTrackBar::OnTimer);
        track->TimerStep();
        QCOMPARE(spy.count(), 0);
        QVERIFY(seeking.seeks.isEmpty());
        QTest::mouseRelease(track.get(), Qt::LeftButton, {}, point);
        QVERIFY(!track->Tracking());
        QCOMPARE(seeking.seeks, QList<qint64>{qint64(120000) * track->Position() / 120});
        track->TimerStep();
        QCOMPARE(spy.count(), 1);
    }

    void otherButtonsAndKeysDoNotSeek() {
        seeking.duration = 120000;
        track->SetMax(120);
        track->SetPosition(30);
        const QPoint point(track->width() / 2, track->height() / 2);
        QTest::mousePress(track.get(), Qt::RightButton, {}, point);
        QVERIFY(!track->Tracking());
        QTest::mouseRelease(track.get(), Qt::RightButton, {}, point);
        track->setFocus();
        QTest::keyClick(track.get(), Qt::Key_Right);
        QCOMPARE(track->Position(), 31);
        QVERIFY(seeking.seeks.isEmpty());
    }

private:
    std::unique_ptr<TDSTrackBar> track;
    FakeSeeking seeking;
};

QTEST_MAIN(TestDSTrackBar)
#include "tst_dstrackbar.moc"
