#include "app/timetext.h"
#include "preview/rangemarks.h"

#include <QtTest>

namespace {

// Six pixels a character keeps the expected label places easy to work out.
int SixPerCharacter(const QString& caption) {
    return 6 * int(caption.size());
}

// The main window's track: 326 pixels wide at x 11, labels on the line at y 332.
RangeView Track(int max, int position = 0) {
    RangeView view;
    view.max = max;
    view.position = position;
    view.trackLeft = 11;
    view.trackWidth = 326;
    view.startTop = 332;
    view.endTop = 332;
    return view;
}

const qint64 FiveMinutes = 300000;

} // namespace

class TestRangeMarks : public QObject {
    Q_OBJECT
private slots:
    void labelPlacesRoundHalfToEven_data() {
        QTest::addColumn<int>("mark");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("trackLeft");
        QTest::addColumn<int>("trackWidth");
        QTest::addColumn<int>("startLeft");
        QTest::addColumn<int>("endLeftPlus20");
        QTest::newRow("half rounds down to even") << 1 << 4 << 0 << 2 << 0 << 0;
        QTest::newRow("half rounds up to even") << 3 << 4 << 0 << 2 << 2 << 2;
        QTest::newRow("two and a half") << 5 << 4 << 0 << 2 << 2 << 2;
        QTest::newRow("75 of 300 on the window's track") << 75 << 300 << 11 << 326 << 92 << 92;
        QTest::newRow("200 of 300 on the window's track") << 200 << 300 << 11 << 326 << 228 << 228;
        QTest::newRow("start of track") << 0 << 300 << 11 << 326 << 11 << 11;
        QTest::newRow("end of track") << 300 << 300 << 11 << 326 << 337 << 337;
        QTest::newRow("negative mark lies left of the track") << -60 << 300 << 11 << 326 << -54 << -54;
        QTest::newRow("no length: the track's left edge") << 5 << 0 << 11 << 326 << 11 << 31;
        QTest::newRow("no length, negative mark") << -5 << 0 << 11 << 326 << 11 << 31;
    }
    void labelPlacesRoundHalfToEven() {
        QFETCH(int, mark);
        QFETCH(int, max);
        QFETCH(int, trackLeft);
        QFETCH(int, trackWidth);
        QFETCH(int, startLeft);
        QFETCH(int, endLeftPlus20);
        QCOMPARE(RangeMarks::StartLabelLeft(mark, max, trackLeft, trackWidth), startLeft);
        // The end label's right edge stands at the mark.
        QCOMPARE(RangeMarks::EndLabelLeft(mark, max, trackLeft, trackWidth, 20) + 20, endLeftPlus20);
    }

    void farMarksStayWithinWidgetCoordinates() {
        const int left = RangeMarks::StartLabelLeft(INT_MIN, 1, 11, 326);
        QVERIFY(left < -1000000);
        QVERIFY(left > INT_MIN / 2);
    }

    void separation_data() {
        QTest::addColumn<int>("startLeft");
        QTest::addColumn<int>("startWidth");
        QTest::addColumn<int>("endLeft");
        QTest::addColumn<int>("endWidth");
        QTest::addColumn<int>("endTop");
        QTest::newRow("end right of start") << 0 << 50 << 51 << 50 << 332;
        QTest::newRow("touching counts as overlap") << 0 << 50 << 50 << 50 << 342;
        QTest::newRow("overlapping") << 0 << 50 << 30 << 50 << 342;
        QTest::newRow("end left of start") << 100 << 50 << 49 << 50 << 332;
        QTest::newRow("end left of start, touching") << 100 << 50 << 50 << 50 << 342;
        QTest::newRow("same place") << 40 << 50 << 40 << 50 << 342;
    }
    void separation() {
        QFETCH(int, startLeft);
        QFETCH(int, startWidth);
        QFETCH(int, endLeft);
        QFETCH(int, endWidth);
        QFETCH(int, endTop);
        QCOMPARE(RangeMarks::EndLabelTop(startLeft, startWidth, 332, endLeft, endWidth), endTop);
    }

    void markStartThenEndAtThePlayersPosition() {
        RangeView view = Track(300, 75);
        RangeMarks::MarkStart(view, SixPerCharacter);
        QCOMPARE(view.selStart, 75);
        QCOMPARE(view.startField, QStringLiteral("00:01:15"));
        QCOMPARE(view.startCaption, QStringLiteral("[ 00:01:15"));
        QCOMPARE(view.startWidth, 60);
        QCOMPARE(view.startLeft, 92); // 92.5 rounds to even
        QVERIFY(view.startShown);
        QVERIFY(!view.endShown);
        QVERIFY(view.lengthShown);
        QCOMPARE(view.lengthText, RangeMarks::EndBeforeStart);

        view.position = 200;
        RangeMarks::MarkEnd(view, SixPerCharacter);
        QCOMPARE(view.selEnd, 200);
        QCOMPARE(view.endField, QStringLiteral("00:03:20"));
        QCOMPARE(view.endCaption, QStringLiteral("00:03:20 ]"));
        QCOMPARE(view.endLeft + view.endWidth, 228);
        QCOMPARE(view.endTop, 332);
        QVERIFY(view.endShown);
        QCOMPARE(view.lengthText, QStringLiteral("The length of the marked rang is 00:02:05"));
    }

    void endLabelDropsBelowWhileTheLabelsOverlap() {
        RangeView view = Track(600, 100);
        RangeMarks::MarkStart(view, SixPerCharacter);
        view.position = 102;
        RangeMarks::MarkEnd(view, SixPerCharacter);
        QCOMPARE(view.endTop, 342);
        view.position = 500;
        RangeMarks::MarkEnd(view, SixPerCharacter);
        QCOMPARE(view.endTop, 332);
        // Moving the start onto the end pushes the end label down again, although the end did not move.
        view.position = 495;
        RangeMarks::MarkStart(view, SixPerCharacter);
        QCOMPARE(view.endTop, 342);
    }

    void separationRunsWhileTheEndLabelIsHidden() {
        RangeView view = Track(600, 0);
        view.endLeft = 20;
        view.endWidth = 40;
        RangeMarks::MarkStart(view, SixPerCharacter);
        QVERIFY(!view.endShown);
        QCOMPARE(view.endTop, 342);
    }

    void typedStart_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("mark");
        QTest::addColumn<QString>("field");
        QTest::addColumn<qint64>("duration");
        const qint64 twoHours = 7200000;
        QTest::newRow("short form is normalised") << "0:1:5" << 65 << "00:01:05" << FiveMinutes;
        QTest::newRow("fraction is dropped from the field") << "1:2:3.7" << 3724 << "01:02:03" << twoHours;
        QTest::newRow("beyond the end: mark pulled back, field kept")
            << "10:00:00" << 300 << "10:00:00" << FiveMinutes;
        QTest::newRow("exactly the end") << "00:05:00" << 300 << "00:05:00" << FiveMinutes;
        QTest::newRow("half rounds up to even") << "00:00:05.5" << 6 << "00:00:05" << FiveMinutes;
        QTest::newRow("half rounds down to even") << "00:00:06.5" << 6 << "00:00:06" << FiveMinutes;
        QTest::newRow("negative time") << "00:-01:00" << -60 << "00:-01:00" << FiveMinutes;
        QTest::newRow("nothing rendered: pulled back to 0") << "00:00:30" << 0 << "00:00:30" << qint64(0);
    }
    void typedStart() {
        QFETCH(QString, typed);
        QFETCH(int, mark);
        QFETCH(QString, field);
        QFETCH(qint64, duration);
        RangeView view = Track(int(duration / 1000));
        view.startField = typed;
        RangeMarks::SetStart(view, TimeTextToSeconds(typed), duration, SixPerCharacter);
        QCOMPARE(view.selStart, mark);
        QCOMPARE(view.startField, field);
        QCOMPARE(view.startCaption, QStringLiteral("[ ") + field);
        QVERIFY(view.startShown);
        QVERIFY(view.lengthShown);
        // With no end yet, only a start before 0 gives a length.
        if (mark < 0)
            QCOMPARE(view.lengthText, RangeMarks::LengthPrefix + SecondsToTimeText(-mark));
        else
            QCOMPARE(view.lengthText, RangeMarks::EndBeforeStart);
    }

    void typedEndLengthComesFromTheTypedTime() {
        RangeView view = Track(300, 3);
        RangeMarks::MarkStart(view, SixPerCharacter);
        view.endField = QStringLiteral("00:00:10.6");
        RangeMarks::SetEnd(view, 10.6, FiveMinutes, SixPerCharacter);
        QCOMPARE(view.selEnd, 11);
        QCOMPARE(view.endField, QStringLiteral("00:00:10"));
        QCOMPARE(view.endCaption, QStringLiteral("00:00:10 ]"));
        QCOMPARE(view.lengthText, QStringLiteral("The length of the marked rang is 00:00:07"));
    }

    void typedEndBeyondTheSourceUsesItsLength() {
        RangeView view = Track(300, 60);
        RangeMarks::MarkStart(view, SixPerCharacter);
        view.endField = QStringLiteral("01:00:00");
        RangeMarks::SetEnd(view, 3600, 299500, SixPerCharacter);
        QCOMPARE(view.selEnd, 300); // 299.5 rounds to even
        QCOMPARE(view.endField, QStringLiteral("01:00:00"));
        QCOMPARE(view.lengthText, QStringLiteral("The length of the marked rang is 00:03:59"));
    }

    void hugeNegativeTimeKeepsTheMarkInRange() {
        RangeView view = Track(300);
        view.startField = QStringLiteral("-2147483648:00:00");
        RangeMarks::SetStart(view, -2147483648.0 * 3600, FiveMinutes, SixPerCharacter);
        QCOMPARE(view.selStart, INT_MIN);
        QVERIFY(view.startLeft < 0);
        QCOMPARE(view.lengthText,
                 QStringLiteral("The length of the marked rang is ") + QStringLiteral("596523:14:08"));
    }

    void equalMarksAskForALaterEnd() {
        RangeView view = Track(300, 42);
        RangeMarks::MarkStart(view, SixPerCharacter);
        RangeMarks::MarkEnd(view, SixPerCharacter);
        QCOMPARE(view.lengthText, RangeMarks::EndBeforeStart);
    }

    void clearReturnsToTheStateAfterALoad() {
        RangeView view = Track(300, 75);
        RangeMarks::MarkStart(view, SixPerCharacter);
        view.position = 200;
        RangeMarks::MarkEnd(view, SixPerCharacter);
        RangeMarks::Clear(view);
        QCOMPARE(view.selStart, 0);
        QCOMPARE(view.selEnd, 0);
        QCOMPARE(view.startField, QStringLiteral("00:00:00"));
        QCOMPARE(view.endField, QStringLiteral("00:00:00"));
        QVERIFY(!view.startShown);
        QVERIFY(!view.endShown);
        QVERIFY(!view.lengthShown);
    }

    void normalFormKeepsTextThatIsNoTime() {
        QCOMPARE(RangeMarks::NormalForm(QStringLiteral("abc")), QStringLiteral("abc"));
        QCOMPARE(RangeMarks::NormalForm(QStringLiteral("0:0:7.9")), QStringLiteral("00:00:07"));
    }
};

QTEST_GUILESS_MAIN(TestRangeMarks)
#include "tst_rangemarks.moc"
