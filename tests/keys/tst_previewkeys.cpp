#include "app/appcontext.h"
#include "app/timetext.h"
#include "formsfixture.h"
#include "preview/dstrackbar.h"
#include "preview/mediagraph.h"
#include "preview/rangemarks.h"
#include "preview/sourcepreview.h"
#include "split/splitrunner.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "widgets/imagebutton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

Q_DECLARE_METATYPE(RunState)

namespace {

using Mods = Qt::KeyboardModifiers;

} // namespace

// The main window's keyboard shortcuts, with a generated 30-second video, the window shown headless.
class TestPreviewKeys : public QObject, public FormsFixture {
    Q_OBJECT

    MediaGraph* Graph() { return MainForm->Preview()->FilterGraph(); }

    // A key as a person presses it: to the control that has the keyboard focus.
    void Press(int key, Mods modifiers = Qt::NoModifier) {
        QWidget* focus = MainForm->focusWidget();
        QTest::keyClick(focus ? focus : MainForm, Qt::Key(key), modifiers);
    }

    // Everything the preview's keys and buttons can change, as text for readable comparisons.
    QStringList Snapshot() {
        const TDSTrackBar* track = ui.tkbProgress;
        const auto label = [](const QLabel* label) {
            return QStringLiteral("%1 at %2,%3 %4")
                .arg(label->text())
                .arg(label->x())
                .arg(label->y())
                .arg(label->isHidden() ? QStringLiteral("hidden") : QStringLiteral("shown"));
        };
        const MediaGraph* graph = Graph();
        return {QStringLiteral("marks %1..%2").arg(track->SelStart()).arg(track->SelEnd()),
                QStringLiteral("track %1 of %2").arg(track->Position()).arg(track->Max()),
                ui.edtStart->text(),
                ui.edtEnd->text(),
                label(ui.labStart),
                label(ui.labEnd),
                label(ui.labLength),
                ui.labCurrent->text(),
                graph ? QStringLiteral("graph at %1 ms, %2")
                            .arg(graph->CurrentPositionMs())
                            .arg(graph->Playing()  ? QStringLiteral("playing")
                                 : graph->Paused() ? QStringLiteral("paused")
                                                   : QStringLiteral("stopped"))
                      : QStringLiteral("no graph")};
    }

private slots:
    void initTestCase() {
        QVERIFY(media.isValid());
        QString error;
        source = media.filePath(QStringLiteral("lecture.mp4"));
        // A key frame every second keeps seeks exact.
        QVERIFY2(
            TestMedia::MakeVideo(source, 30,
                                 {QStringLiteral("-c:v"), QStringLiteral("libx264"),
                                  QStringLiteral("-preset"), QStringLiteral("ultrafast"),
                                  QStringLiteral("-g"), QStringLiteral("25"), QStringLiteral("-pix_fmt"),
                                  QStringLiteral("yuv420p"), QStringLiteral("-c:a"), QStringLiteral("aac")},
                                 &error, QStringLiteral("64x48")),
            qPrintable(error));
    }

    void init() {
        program = std::make_unique<TempProgramDir>();
        doubles = std::make_unique<PlatformDoubles>();
        CreateForms({});
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowActive(MainForm));
        // The track is first in the window's focus chain, so most keys below pass through it: its own
        // arrow, Home and End keys would move the thumb and not the playback.
        QCOMPARE(MainForm->focusWidget(), ui.tkbProgress);
    }
    void cleanup() {
        DestroyForms();
        doubles.reset();
        program.reset();
    }

    void playerKeysWaitForASource_data() { PlayerKeys(); }
    void playerKeysWaitForASource() {
        QFETCH(int, key);
        QFETCH(Mods, modifiers);
        ui.tkbProgress->SetPosition(5);
        ui.edtStart->setText(QStringLiteral("0:0:3"));
        // Keys that the track uses itself still move its thumb; that is no seek.
        ui.tkbProgress->setFocusPolicy(Qt::NoFocus);
        MainForm->setFocus();
        const QStringList before = Snapshot();
        Press(key, modifiers);
        QCOMPARE(Snapshot(), before);
        QVERIFY(!Graph());
        QVERIFY(doubles->files.filters.isEmpty());
        QVERIFY(doubles->shell.opened.isEmpty());
    }

    // Without a source the keyboard is the only way to open one, so the toolbar's keys work already.
    void toolbarKeysWorkBeforeASource() {
        Press(Qt::Key_F1);
        QCOMPARE(doubles->shell.opened, QStringList{App().HelpFilePath});
        Press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(doubles->files.filters, QStringList{MainForm->Preview()->OpenDialogFilter});
        QVERIFY(!MainForm->Preview()->SourceLoaded());

        // Neither types anything, so a text field does not stop them.
        ui.edtSource->setFocus();
        doubles->files.openAnswer = source;
        Press(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(MainForm->Preview()->SourceLoaded());
        QCOMPARE(ui.edtSource->text(), source);
        Press(Qt::Key_F1);
        QCOMPARE(doubles->shell.opened.size(), 2);
    }

    void noKeyActsDuringARun_data() {
        QTest::addColumn<RunState>("runState");
        QTest::addColumn<bool>("busy");
        QTest::newRow("busy state") << RunState::Idle << true;
        QTest::newRow("running") << RunState::Running << false;
        QTest::newRow("cancel requested") << RunState::CancelRequested << true;
    }
    void noKeyActsDuringARun() {
        QFETCH(RunState, runState);
        QFETCH(bool, busy);
        LoadAndPause();
        Graph()->SetPositions(8000);
        ui.tkbProgress->SetPosition(12);
        if (busy)
            MainForm->EnterBusyState();
        MainForm->Runner().SetState(runState);
        MainForm->setFocus();
        const QStringList before = Snapshot();
        for (const auto& [key, modifiers] : AllKeys()) {
            Press(key, modifiers);
            QCOMPARE(Snapshot(), before);
        }
        QVERIFY(doubles->files.filters.isEmpty());
        QVERIFY(doubles->shell.opened.isEmpty());
    }

    // The marking keys run the buttons' handlers: field, band, label and length line all follow.
    void markingKeysDoWhatTheirButtonsDo_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("length");
        const QString length = RangeMarks::LengthPrefix;
        QTest::newRow("I") << int(Qt::Key_I) << "imgSelStart"
                           << "00:00:12"
                           << "00:00:25" << length + QStringLiteral("00:00:13");
        QTest::newRow("[") << int(Qt::Key_BracketLeft) << "imgSelStart"
                           << "00:00:12"
                           << "00:00:25" << length + QStringLiteral("00:00:13");
        QTest::newRow("O") << int(Qt::Key_O) << "imgSelEnd"
                           << "00:00:04"
                           << "00:00:12" << length + QStringLiteral("00:00:08");
        QTest::newRow("]") << int(Qt::Key_BracketRight) << "imgSelEnd"
                           << "00:00:04"
                           << "00:00:12" << length + QStringLiteral("00:00:08");
        QTest::newRow("Delete") << int(Qt::Key_Delete) << "imgErase"
                                << "00:00:00"
                                << "00:00:00" << QString();
    }
    void markingKeysDoWhatTheirButtonsDo() {
        QFETCH(int, key);
        QFETCH(QString, button);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, length);
        LoadAndPause();

        MarkFourToTwentyFiveAndStandAtTwelve();
        Press(key);
        const QStringList byKey = Snapshot();
        QCOMPARE(ui.edtStart->text(), start);
        QCOMPARE(ui.edtEnd->text(), end);
        QCOMPARE(ui.labLength->isHidden(), length.isEmpty());
        if (!length.isEmpty())
            QCOMPARE(ui.labLength->text(), length);

        MainForm->imgEraseClick();
        MarkFourToTwentyFiveAndStandAtTwelve();
        const QHash<QString, ImageButton*> buttons{{QStringLiteral("imgSelStart"), ui.imgSelStart},
                                                   {QStringLiteral("imgSelEnd"), ui.imgSelEnd},
                                                   {QStringLiteral("imgErase"), ui.imgErase}};
        QTest::mouseClick(buttons.value(button), Qt::LeftButton);
        QCOMPARE(byKey, Snapshot());
    }

    void spaceTogglesPlayback() {
        LoadAndPause();
        Press(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        QVERIFY(ui.tkbProgress->TimerRunning());
        Press(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Paused(), 30000);
        QVERIFY(!ui.tkbProgress->TimerRunning());
        MainForm->imgStopClick();
        QVERIFY(!Graph()->Playing() && !Graph()->Paused());
        Press(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
    }

    void seekKeys_data() {
        QTest::addColumn<qint64>("fromMs");
        QTest::addColumn<int>("key");
        QTest::addColumn<Mods>("modifiers");
        // -1 stands for the source's end.
        QTest::addColumn<qint64>("toMs");
        const Mods none = Qt::NoModifier;
        const Mods shift = Qt::ShiftModifier;
        QTest::newRow("Right") << qint64(5000) << int(Qt::Key_Right) << none << qint64(6000);
        QTest::newRow("Left") << qint64(5000) << int(Qt::Key_Left) << none << qint64(4000);
        QTest::newRow("Shift+Right") << qint64(5000) << int(Qt::Key_Right) << shift << qint64(15000);
        QTest::newRow("Shift+Left") << qint64(17000) << int(Qt::Key_Left) << shift << qint64(7000);
        QTest::newRow("Left at the start") << qint64(0) << int(Qt::Key_Left) << none << qint64(0);
        QTest::newRow("Shift+Left near the start") << qint64(6000) << int(Qt::Key_Left) << shift << qint64(0);
        QTest::newRow("Shift+Right near the end")
            << qint64(25000) << int(Qt::Key_Right) << shift << qint64(-1);
        QTest::newRow("Home") << qint64(12000) << int(Qt::Key_Home) << none << qint64(0);
        QTest::newRow("End") << qint64(12000) << int(Qt::Key_End) << none << qint64(-1);
    }
    void seekKeys() {
        QFETCH(qint64, fromMs);
        QFETCH(int, key);
        QFETCH(Mods, modifiers);
        QFETCH(qint64, toMs);
        LoadAndPause();
        const qint64 durationMs = Graph()->DurationMs();
        QVERIFY(qAbs(durationMs - 30000) < 200);
        if (toMs < 0)
            toMs = durationMs;
        Graph()->SetPositions(fromMs);
        QTRY_COMPARE_WITH_TIMEOUT(Graph()->CurrentPositionMs(), fromMs, 30000);
        // The track has not followed the graph yet, as right after a load.
        QCOMPARE(ui.tkbProgress->Max(), 10);

        Press(key, modifiers);
        // The thumb and the label follow at once, with no timer step in between.
        QCOMPARE(ui.tkbProgress->Max(), int(durationMs / 1000));
        QCOMPARE(ui.tkbProgress->Position(), int(toMs / 1000));
        QCOMPARE(ui.labCurrent->text(), SecondsToTimeText(double(toMs / 1000)));
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(Graph()->CurrentPositionMs() - toMs) < 100, 30000);
        QVERIFY(Graph()->Paused());
    }

    // Quick presses count from where the previous one went, not from a position reported later.
    void seeksAddUp() {
        LoadAndPause();
        Press(Qt::Key_Home);
        for (int i = 0; i < 3; ++i)
            Press(Qt::Key_Right);
        Press(Qt::Key_Right, Qt::ShiftModifier);
        Press(Qt::Key_Left);
        QCOMPARE(ui.tkbProgress->Position(), 12);
        QCOMPARE(ui.labCurrent->text(), QStringLiteral("00:00:12"));
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(Graph()->CurrentPositionMs() - 12000) < 100, 30000);
    }

    // After a stop the next play starts where the keys moved to.
    void seekWhileStopped() {
        LoadAndPause();
        MainForm->imgStopClick();
        Press(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(ui.labCurrent->text(), QStringLiteral("00:00:10"));
        Press(Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->CurrentPositionMs() > 10000, 30000);
        QVERIFY(Graph()->CurrentPositionMs() < 20000);
    }

    // In a text field every key types; "1:2:3" stays as typed and nothing else moves.
    void textFieldsKeepTheirKeys_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("start") << "edtStart";
        QTest::newRow("end") << "edtEnd";
        QTest::newRow("source") << "edtSource";
        QTest::newRow("sections") << "edtSectionQty";
        QTest::newRow("output folder") << "edtOutputDir";
    }
    void textFieldsKeepTheirKeys() {
        QFETCH(QString, field);
        LoadAndPause();
        Graph()->SetPositions(8000);
        ui.tkbProgress->SetPosition(8);
        const QHash<QString, QLineEdit*> fields{{QStringLiteral("edtStart"), ui.edtStart},
                                                {QStringLiteral("edtEnd"), ui.edtEnd},
                                                {QStringLiteral("edtSource"), ui.edtSource},
                                                {QStringLiteral("edtSectionQty"), ui.edtSectionQty},
                                                {QStringLiteral("edtOutputDir"), ui.edtOutputDir}};
        QLineEdit* edit = fields.value(field);
        QVERIFY(edit);
        edit->setFocus();
        edit->selectAll();
        const QStringList before = Snapshot();

        QTest::keyClicks(edit, QStringLiteral("1:2:3"));
        QCOMPARE(edit->text(), QStringLiteral("1:2:3"));
        Press(Qt::Key_Home);
        Press(Qt::Key_Delete);
        Press(Qt::Key_Right, Qt::ShiftModifier);
        Press(Qt::Key_End);
        Press(Qt::Key_Left);
        Press(Qt::Key_Right);
        QTest::keyClicks(edit, QStringLiteral(" io[]"));
        QCOMPARE(edit->text(), QStringLiteral(":2:3 io[]"));

        // A key that the field passed on reaches the window, which leaves it alone too.
        QTest::keyClick(MainForm, Qt::Key_Space);
        QTest::keyClick(MainForm, Qt::Key_I);
        QCOMPARE(Snapshot().mid(0, 2), before.mid(0, 2));
        QCOMPARE(Snapshot().mid(4), before.mid(4));
    }

    // A focused button keeps Space, so it can still be pressed from the keyboard.
    void focusedButtonKeepsSpace() {
        LoadAndPause();
        ui.bbtnBrowse->setFocus();
        const QStringList before = Snapshot();
        Press(Qt::Key_Space);
        QCOMPARE(doubles->folders.calls, 1);
        QCOMPARE(Snapshot(), before);
        // Keys that the button does not use still reach the shortcuts.
        Press(Qt::Key_End);
        QCOMPARE(ui.tkbProgress->Position(), int(Graph()->DurationMs() / 1000));
    }

    // A range marked from the keyboard alone, from opening the source on.
    void markARangeWithoutTheMouse() {
        doubles->files.openAnswer = source;
        Press(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(doubles->messages.calls.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        Press(Qt::Key_Space);
        Press(Qt::Key_Home);
        Press(Qt::Key_Right, Qt::ShiftModifier);
        Press(Qt::Key_I);
        Press(Qt::Key_Right, Qt::ShiftModifier);
        Press(Qt::Key_Right);
        Press(Qt::Key_Right);
        Press(Qt::Key_BracketRight);
        QCOMPARE(ui.edtStart->text(), QStringLiteral("00:00:10"));
        QCOMPARE(ui.edtEnd->text(), QStringLiteral("00:00:22"));
        QCOMPARE(ui.tkbProgress->SelStart(), 10);
        QCOMPARE(ui.tkbProgress->SelEnd(), 22);
        QCOMPARE(ui.labLength->text(), RangeMarks::LengthPrefix + QStringLiteral("00:00:12"));
    }

private:
    static void PlayerKeys() {
        QTest::addColumn<int>("key");
        QTest::addColumn<Mods>("modifiers");
        for (const auto& [key, modifiers] : AllKeys()) {
            if (key == Qt::Key_F1 || modifiers == Qt::ControlModifier)
                continue;
            QTest::addRow("%s", qPrintable(QKeySequence(key | modifiers).toString())) << key << modifiers;
        }
    }

    static QList<QPair<int, Mods>> AllKeys() {
        const Mods none = Qt::NoModifier;
        return {{Qt::Key_Space, none},
                {Qt::Key_I, none},
                {Qt::Key_BracketLeft, none},
                {Qt::Key_O, none},
                {Qt::Key_BracketRight, none},
                {Qt::Key_Left, none},
                {Qt::Key_Right, none},
                {Qt::Key_Left, Qt::ShiftModifier},
                {Qt::Key_Right, Qt::ShiftModifier},
                {Qt::Key_Home, none},
                {Qt::Key_End, none},
                {Qt::Key_Delete, none},
                {Qt::Key_O, Qt::ControlModifier},
                {Qt::Key_F1, none}};
    }

    // Loads the source and pauses it, so that only the keys move the position.
    void LoadAndPause() {
        MainForm->LoadSource(source);
        QVERIFY(doubles->messages.calls.isEmpty());
        MainForm->imgPauseClick();
        QVERIFY(Graph()->Paused());
        QVERIFY(!ui.tkbProgress->TimerRunning());
    }

    void MarkFourToTwentyFiveAndStandAtTwelve() {
        ui.tkbProgress->SetMax(30);
        ui.tkbProgress->SetPosition(4);
        MainForm->imgSelStartClick();
        ui.tkbProgress->SetPosition(25);
        MainForm->imgSelEndClick();
        ui.tkbProgress->SetPosition(12);
    }

    QTemporaryDir media;
    QString source;
    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;
};

QTEST_MAIN(TestPreviewKeys)
#include "tst_previewkeys.moc"
