#include "app/numbers.h"
#include "formsfixture.h"
#include "preview/dstrackbar.h"
#include "preview/mediagraph.h"
#include "preview/rangemarks.h"
#include "preview/sourcepreview.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "widgets/imagebutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

namespace {

void Type(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
}

void Leave(QLineEdit* field, Qt::FocusReason reason = Qt::TabFocusReason) {
    QFocusEvent event(QEvent::FocusOut, reason);
    QCoreApplication::sendEvent(field, &event);
}

} // namespace

// The marking buttons, the two time fields and the labels on the main window, with a 90-second source.
class TestRangeMarking : public QObject, public FormsFixture {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(media.isValid());
        QString error;
        source = media.filePath(QStringLiteral("lecture.mp4"));
        QVERIFY2(TestMedia::MakeVideo(source, 90,
                                      {QStringLiteral("-c:v"), QStringLiteral("libx264"),
                                       QStringLiteral("-preset"), QStringLiteral("ultrafast"),
                                       QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                                       QStringLiteral("-c:a"), QStringLiteral("aac")},
                                      &error, QStringLiteral("64x48")),
                 qPrintable(error));
    }

    void init() {
        program = std::make_unique<TempProgramDir>();
        doubles = std::make_unique<PlatformDoubles>();
        CreateForms({});
    }
    void cleanup() {
        DestroyForms();
        doubles.reset();
        program.reset();
    }

    void nothingHappensBeforeALoad() {
        ui.tkbProgress->SetPosition(5);
        for (ImageButton* button : {ui.imgSelStart, ui.imgSelEnd, ui.imgErase})
            QTest::mouseClick(button, Qt::LeftButton);
        Type(ui.edtStart, QStringLiteral("0:0:3"));
        QTest::keyClick(ui.edtStart, Qt::Key_Return);
        Type(ui.edtEnd, QStringLiteral("0:0:8"));
        Leave(ui.edtEnd);
        MainForm->SetRangeStart(2);
        CheckNoRangeMarked(QStringLiteral("0:0:3"), QStringLiteral("0:0:8"));
    }

    void markStartAndEndAtThePlayersPosition() {
        LoadAndHold(300);
        ui.tkbProgress->SetPosition(75);
        QTest::mouseClick(ui.imgSelStart, Qt::LeftButton);
        QCOMPARE(ui.tkbProgress->SelStart(), 75);
        QCOMPARE(ui.edtStart->text(), QStringLiteral("00:01:15"));
        QCOMPARE(ui.labStart->text(), QStringLiteral("[ 00:01:15"));
        QVERIFY(!ui.labStart->isHidden());
        QCOMPARE(ui.labStart->x(), TrackPlace(75));
        QCOMPARE(ui.labStart->width(), ui.labStart->sizeHint().width());
        QVERIFY(!ui.labLength->isHidden());
        QCOMPARE(ui.labLength->text(), RangeMarks::EndBeforeStart);
        QVERIFY(ui.labEnd->isHidden());

        ui.tkbProgress->SetPosition(200);
        QTest::mouseClick(ui.imgSelEnd, Qt::LeftButton);
        QCOMPARE(ui.tkbProgress->SelEnd(), 200);
        QCOMPARE(ui.edtEnd->text(), QStringLiteral("00:03:20"));
        QCOMPARE(ui.labEnd->text(), QStringLiteral("00:03:20 ]"));
        QVERIFY(!ui.labEnd->isHidden());
        QCOMPARE(ui.labEnd->x() + ui.labEnd->width(), TrackPlace(200));
        QCOMPARE(ui.labEnd->y(), ui.labStart->y());
        QCOMPARE(ui.labLength->text(), QStringLiteral("The length of the marked rang is 00:02:05"));
    }

    void overlappingLabelsDropTheEndLabelAndBringItBack() {
        LoadAndHold(3600);
        const int line = ui.labStart->y();
        ui.tkbProgress->SetPosition(1000);
        QTest::mouseClick(ui.imgSelStart, Qt::LeftButton);
        ui.tkbProgress->SetPosition(1002);
        QTest::mouseClick(ui.imgSelEnd, Qt::LeftButton);
        QCOMPARE(ui.labEnd->y(), line + 10);
        QCOMPARE(ui.labStart->y(), line);
        ui.tkbProgress->SetPosition(3000);
        QTest::mouseClick(ui.imgSelEnd, Qt::LeftButton);
        QCOMPARE(ui.labEnd->y(), line);
    }

    void typedTimes_data() {
        QTest::addColumn<bool>("endField");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byEnter");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("mark");
        QTest::newRow("start, short form, Enter") << false << "0:1:5" << true << "00:01:05" << 65;
        QTest::newRow("start, leaving the field") << false << "0:0:12.5" << false << "00:00:12" << 12;
        QTest::newRow("start beyond the end") << false << "10:00:00" << true << "10:00:00" << 90;
        QTest::newRow("end, leaving the field") << true << "0:1:0.5" << false << "00:01:00" << 60;
        QTest::newRow("end beyond the end") << true << "2:0:0" << true << "02:00:00" << 90;
    }
    void typedTimes() {
        QFETCH(bool, endField);
        QFETCH(QString, typed);
        QFETCH(bool, byEnter);
        QFETCH(QString, field);
        QFETCH(int, mark);
        LoadAndHold(300);
        QLineEdit* edit = endField ? ui.edtEnd : ui.edtStart;
        QSignalSpy returns(edit, &QLineEdit::returnPressed);
        Type(edit, typed);
        if (byEnter)
            QTest::keyClick(edit, Qt::Key_Return);
        else
            Leave(edit);
        // Enter still reaches the field.
        QCOMPARE(returns.count(), byEnter ? 1 : 0);
        QCOMPARE(edit->text(), field);
        QCOMPARE(endField ? ui.tkbProgress->SelEnd() : ui.tkbProgress->SelStart(), mark);
        QLabel* label = endField ? ui.labEnd : ui.labStart;
        QVERIFY(!label->isHidden());
        QVERIFY(label->text().contains(field));
        QVERIFY(!ui.labLength->isHidden());
    }

    void typedEndLengthUsesTheTypedTime() {
        LoadAndHold(300);
        ui.tkbProgress->SetPosition(3);
        QTest::mouseClick(ui.imgSelStart, Qt::LeftButton);
        Type(ui.edtEnd, QStringLiteral("00:00:10.6"));
        QTest::keyClick(ui.edtEnd, Qt::Key_Enter);
        QCOMPARE(ui.tkbProgress->SelEnd(), 11);
        QCOMPARE(ui.labLength->text(), QStringLiteral("The length of the marked rang is 00:00:07"));
    }

    void textThatIsNoTimeChangesNothing() {
        LoadAndHold(300);
        ui.tkbProgress->SetPosition(20);
        QTest::mouseClick(ui.imgSelEnd, Qt::LeftButton);
        Type(ui.edtEnd, QStringLiteral("abc"));
        Leave(ui.edtEnd);
        QCOMPARE(ui.edtEnd->text(), QStringLiteral("abc"));
        QCOMPARE(ui.tkbProgress->SelEnd(), 20);
        QCOMPARE(ui.labEnd->text(), QStringLiteral("00:00:20 ]"));
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void switchingWindowsDoesNotLeaveTheField() {
        LoadAndHold(300);
        Type(ui.edtStart, QStringLiteral("0:0:30"));
        Leave(ui.edtStart, Qt::ActiveWindowFocusReason);
        Leave(ui.edtStart, Qt::PopupFocusReason);
        QCOMPARE(ui.edtStart->text(), QStringLiteral("0:0:30"));
        QVERIFY(ui.labStart->isHidden());
    }

    void removeTheSelectionKeepsPlaying() {
        LoadAndHold(300);
        ui.tkbProgress->SetPosition(10);
        QTest::mouseClick(ui.imgSelStart, Qt::LeftButton);
        ui.tkbProgress->SetPosition(40);
        QTest::mouseClick(ui.imgSelEnd, Qt::LeftButton);
        QTest::mouseClick(ui.imgPlay, Qt::LeftButton);
        QTest::mouseClick(ui.imgErase, Qt::LeftButton);
        CheckNoRangeMarked();
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(MainForm->Preview()->FilterGraph()->Playing(), 30000);
    }

    void trackWithoutLengthPutsTheLabelsAtItsLeftEdge() {
        LoadAndHold(0);
        MainForm->SetRangeStart(0.4);
        MainForm->SetRangeEnd(0.7);
        QCOMPARE(ui.labStart->x(), ui.tkbProgress->x());
        QCOMPARE(ui.labEnd->x(), ui.tkbProgress->x());
        QCOMPARE(ui.tkbProgress->SelEnd(), 1);
        QCOMPARE(ui.labEnd->y(), ui.labStart->y() + 10);
    }

private:
    // Loads the source, pauses it so the track's timer keeps out of the way, and gives the track a length.
    void LoadAndHold(int max) {
        MainForm->LoadSource(source);
        QVERIFY(doubles->messages.calls.isEmpty());
        QTest::mouseClick(ui.imgPause, Qt::LeftButton);
        QVERIFY(!ui.tkbProgress->TimerRunning());
        ui.tkbProgress->SetMax(max);
    }

    // Where a mark lies on the window's track, rounded half to even.
    int TrackPlace(int mark) {
        const TDSTrackBar* track = ui.tkbProgress;
        return int(RoundHalfEven(double(mark) / track->Max() * track->width() + track->x()));
    }

    QTemporaryDir media;
    QString source;
    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;
};

QTEST_MAIN(TestRangeMarking)
#include "tst_rangemarking.moc"
