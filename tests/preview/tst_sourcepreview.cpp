#include "app/appcontext.h"
#include "app/supportedfiles.h"
#include "formsfixture.h"
#include "preview/dstrackbar.h"
#include "preview/mediagraph.h"
#include "preview/sourcepreview.h"
#include "split/mainformsplitview.h"
#include "split/splitrunner.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "widgets/imagebutton.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <QVideoWidget>
#include <QtTest>

class TestSourcePreview : public QObject, public FormsFixture {
    Q_OBJECT

    MediaGraph* Graph() { return MainForm->Preview()->FilterGraph(); }

private slots:
    void initTestCase() {
        QVERIFY(media.isValid());
        QString error;
        // 4.5 seconds: the labels read 00:00:04 and 00:00:02 whichever way the back-end rounds the length.
        mp4 = media.filePath(QStringLiteral("holiday.mp4"));
        QVERIFY2(TestMedia::MakeVideo(mp4, 4.5,
                                      {QStringLiteral("-c:v"), QStringLiteral("libx264"),
                                       QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                                       QStringLiteral("-c:a"), QStringLiteral("aac")},
                                      &error),
                 qPrintable(error));
        mpg = media.filePath(QStringLiteral("concert.mpg"));
        QVERIFY2(TestMedia::MakeVideo(mpg, 2.5,
                                      {QStringLiteral("-c:v"), QStringLiteral("mpeg2video"),
                                       QStringLiteral("-c:a"), QStringLiteral("mp2")},
                                      &error),
                 qPrintable(error));
        notAVideo = WriteText(QStringLiteral("notes.avi"));
        textFile = WriteText(QStringLiteral("notes.txt"));
        // Long paths must reach the load whole; a fixed-size name buffer would cut them short.
        const QString deep = media.filePath(QString(120, QLatin1Char('d')) + QLatin1Char('/') +
                                            QString(120, QLatin1Char('e')));
        QVERIFY(QDir().mkpath(deep));
        longPath = deep + QStringLiteral("/clip.mp4");
        QVERIFY(QFile::copy(mp4, longPath));
        QVERIFY(longPath.size() > 260);
        upperCase = media.filePath(QStringLiteral("LOUD.MP4"));
        QVERIFY(QFile::copy(mp4, upperCase));
        folderWithVideoName = media.filePath(QStringLiteral("folder.mp4"));
        QVERIFY(QDir().mkpath(folderWithVideoName));
    }

    void init() {
        program = std::make_unique<TempProgramDir>();
        doubles = std::make_unique<PlatformDoubles>();
        CreateForms({});
        MainForm->Preview()->SupportedExtensions = {
            QStringLiteral(".avi"), QStringLiteral(".mpg"), QStringLiteral(".mpeg"), QStringLiteral(".mp4"),
            QStringLiteral(".wmv"), QStringLiteral(".mov"), QStringLiteral(".vob"),  QStringLiteral(".asf")};
    }
    void cleanup() {
        DestroyForms();
        doubles.reset();
        program.reset();
    }

    void loadShowsTheLengthResetsTheRangeAndPlays() {
        ui.tkbProgress->SetSelStart(3);
        ui.tkbProgress->SetSelEnd(9);
        ui.edtStart->setText(QStringLiteral("00:00:03"));
        ui.edtEnd->setText(QStringLiteral("00:00:09"));
        ui.labStart->show();
        ui.labEnd->show();
        ui.labLength->show();
        MainForm->Runner().SetState(RunState::CancelRequested);
        QVERIFY(ui.VideoWindow->isHidden());
        QCOMPARE(MainForm->SourceDurationMs(), 0);

        MainForm->LoadSource(mp4);

        QVERIFY(doubles->messages.calls.isEmpty());
        QCOMPARE(ui.edtSource->text(), mp4);
        QVERIFY(MainForm->Preview()->SourceLoaded());
        QCOMPARE(ui.labLeft->text(), QStringLiteral("00:00:00"));
        QCOMPARE(ui.labMiddle->text(), QStringLiteral("00:00:02"));
        QCOMPARE(ui.labRight->text(), QStringLiteral("00:00:04"));
        QVERIFY(qAbs(MainForm->SourceDurationMs() - 4500) < 100);
        CheckNoRangeMarked();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!ui.VideoWindow->isHidden());
        QCOMPARE(MainForm->Runner().State(), RunState::Idle);
        // The track and the position label follow at the next timer step, not at the load.
        QCOMPARE(ui.tkbProgress->Max(), 10);
        QCOMPARE(ui.labCurrent->text(), QStringLiteral("00:00:00"));
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        QVERIFY(ui.tkbProgress->TimerRunning());
        QTRY_COMPARE_WITH_TIMEOUT(ui.tkbProgress->Max(), 4, 30000);
    }

    void runReadsTheLoadedSourcesLength() {
        QCOMPARE(MainForm->RunView().ReadInputs().sourceDurationMs, 0);
        MainForm->LoadSource(mp4);
        QVERIFY(qAbs(MainForm->RunView().ReadInputs().sourceDurationMs - 4500) < 100);
    }

    void secondSourceReplacesTheFirst() {
        MainForm->LoadSource(mp4);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        MainForm->LoadSource(mpg);
        QVERIFY(doubles->messages.calls.isEmpty());
        QCOMPARE(ui.edtSource->text(), mpg);
        QCOMPARE(ui.labRight->text(), QStringLiteral("00:00:02"));
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        // The program stream's start time does not show up as a position.
        QTRY_VERIFY_WITH_TIMEOUT(ui.tkbProgress->Max() == 2, 30000);
        QVERIFY(ui.tkbProgress->Position() <= 2);
    }

    // Choices made while a source is still loading are not lost: the latest is loaded when the load ends.
    void choiceDuringALoadIsLoadedNext_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QStringList>("choices");
        QTest::addColumn<int>("messages");
        QTest::newRow("Open") << mp4 << QStringList{"open", mpg} << 0;
        QTest::newRow("drop") << mp4 << QStringList{"drop", mpg} << 0;
        QTest::newRow("the latest of two") << mp4 << QStringList{"drop", upperCase, "open", mpg} << 0;
        QTest::newRow("after a failing load") << notAVideo << QStringList{"drop", mpg} << 1;
    }
    void choiceDuringALoadIsLoadedNext() {
        QFETCH(QString, first);
        QFETCH(QStringList, choices);
        QFETCH(int, messages);
        // The back-end answers a load through the event loop; the choices are made while it is awaited.
        QTimer::singleShot(0, MainForm, [&] {
            for (int i = 0; i + 1 < choices.size(); i += 2) {
                if (choices.at(i) == QLatin1String("open")) {
                    doubles->files.openAnswer = choices.at(i + 1);
                    QTest::mouseClick(ui.tbtnOpen, Qt::LeftButton);
                } else {
                    MainForm->HandleDroppedFiles({choices.at(i + 1)});
                }
            }
        });
        MainForm->LoadSource(first);
        QCOMPARE(doubles->messages.calls.size(), messages);
        QCOMPARE(ui.edtSource->text(), choices.last());
        QCOMPARE(ui.labRight->text(), QStringLiteral("00:00:02"));
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
    }

    void outputFolderFollowsTheSourceOnlyWhenNotFixed_data() {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<bool>("followsSource");
        QTest::newRow("Aptotic off") << QByteArray("[Main]\nAptotic=0\n") << true;
        QTest::newRow("Aptotic on") << QByteArray("[Main]\nAptotic=1\n") << false;
        QTest::newRow("key absent") << QByteArray("[Main]\nVersion=1.8\n") << false;
        QTest::newRow("no preferences file") << QByteArray() << false;
    }
    void outputFolderFollowsTheSourceOnlyWhenNotFixed() {
        QFETCH(QByteArray, preferences);
        QFETCH(bool, followsSource);
        QFile::remove(App().PreferencesPath());
        if (!preferences.isEmpty())
            program->Write(QStringLiteral("Preferences.ini"), preferences);
        ui.edtOutputDir->setText(QStringLiteral("/srv/clips/"));
        MainForm->LoadSource(mp4);
        const QString expected =
            followsSource ? media.path() + QLatin1Char('/') : QStringLiteral("/srv/clips/");
        QCOMPARE(ui.edtOutputDir->text(), expected);
    }

    void unrenderableFileReportsAndKeepsThePreviousState() {
        MainForm->LoadSource(mp4);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        ui.labStart->show();
        ui.edtStart->setText(QStringLiteral("00:00:01"));

        MainForm->LoadSource(notAVideo);

        QCOMPARE(doubles->messages.calls.size(), 1);
        const auto& call = doubles->messages.calls.first();
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\S.* \\(\\$[0-9A-F]+\\)\\.$")).match(call.text).hasMatch(),
            qPrintable(call.text));
        QCOMPARE(call.caption, App().ProductName);
        QCOMPARE(call.icon, MsgIcon::Stop);
        QCOMPARE(call.buttons, MsgButtons::Ok);
        // The steps before the render took effect, those after it did not.
        QCOMPARE(ui.edtSource->text(), notAVideo);
        QCOMPARE(ui.labRight->text(), QStringLiteral("00:00:04"));
        QCOMPARE(ui.labMiddle->text(), QStringLiteral("00:00:02"));
        QVERIFY(!ui.labStart->isHidden());
        QCOMPARE(ui.edtStart->text(), QStringLiteral("00:00:01"));
        QVERIFY(!Graph()->Playing());
        QCOMPARE(MainForm->SourceDurationMs(), 0);

        MainForm->LoadSource(mp4);
        QCOMPARE(doubles->messages.calls.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
    }

    void firstLoadFailingLeavesTheStillPicture() {
        MainForm->Runner().SetState(RunState::Running);
        MainForm->LoadSource(notAVideo);
        QCOMPARE(doubles->messages.calls.size(), 1);
        QVERIFY(MainForm->Preview()->SourceLoaded());
        QVERIFY(ui.VideoWindow->isHidden());
        QCOMPARE(ui.labRight->text(), QStringLiteral("00:00:00"));
        QCOMPARE(MainForm->Runner().State(), RunState::Running);
    }

    void playerButtonsDoNothingBeforeALoad() {
        for (ImageButton* button : {ui.imgPlay, ui.imgPause, ui.imgStop})
            QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(Graph() == nullptr);
        QVERIFY(doubles->messages.calls.isEmpty());
        QVERIFY(!ui.tkbProgress->TimerRunning());
    }

    void playPauseStopAndSeek() {
        MainForm->LoadSource(mp4);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        TDSTrackBar* track = ui.tkbProgress;
        QTRY_VERIFY_WITH_TIMEOUT(track->Max() == 4, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(ui.labCurrent->text() != QStringLiteral("00:00:00"), 30000);

        QTest::mouseClick(ui.imgPause, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Paused(), 30000);
        QVERIFY(!track->TimerRunning());
        QTest::mouseClick(ui.imgPause, Qt::LeftButton);
        QVERIFY(Graph()->Paused());

        // Releasing the thumb seeks to its share of the source.
        track->SetPosition(1);
        const QPoint middle(track->width() / 2, track->height() / 2);
        QTest::mousePress(track, Qt::LeftButton, {}, middle);
        QTest::mouseRelease(track, Qt::LeftButton, {}, middle);
        const qint64 target = Graph()->DurationMs() * track->Position() / track->Max();
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(Graph()->CurrentPositionMs() - target) <= 250, 30000);

        QTest::mouseClick(ui.imgPlay, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        QVERIFY(track->TimerRunning());

        QTest::mouseClick(ui.imgStop, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!Graph()->Playing() && !Graph()->Paused(), 30000);
        QVERIFY(!track->TimerRunning());
        QCOMPARE(track->Position(), 0);
    }

    void positionLabelFollowsTheTrack() {
        ui.tkbProgress->SetPosition(7);
        MainForm->tkbProgressTimer();
        QCOMPARE(ui.labCurrent->text(), QStringLiteral("00:00:07"));
    }

    void previewTimerShowsTheFullLengthDuringARun() {
        MainForm->LoadSource(mp4);
        QTest::mouseClick(ui.imgStop, Qt::LeftButton);
        ui.tkbProgress->SetMax(4);
        ui.tmrPreview->start();
        QTRY_COMPARE_WITH_TIMEOUT(ui.labCurrent->text(), QStringLiteral("00:00:04"), 30000);
        ui.tmrPreview->stop();
        QCOMPARE(ui.tkbProgress->Position(), 4);
    }

    void drops_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("duringRun");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("a supported file") << QStringList{mp4} << false << mp4;
        QTest::newRow("only the first of several") << QStringList{mpg, mp4} << false << mpg;
        QTest::newRow("first unsupported, second ignored")
            << QStringList{textFile, mp4} << false << QString();
        QTest::newRow("during a run") << QStringList{mp4} << true << QString();
        QTest::newRow("missing file")
            << QStringList{media.filePath(QStringLiteral("gone.mp4"))} << false << QString();
        QTest::newRow("folder with a video's name") << QStringList{folderWithVideoName} << false << QString();
        QTest::newRow("upper-case extension") << QStringList{upperCase} << false << upperCase;
        QTest::newRow("path longer than 260 characters") << QStringList{longPath} << false << longPath;
        QTest::newRow("nothing") << QStringList{} << false << QString();
    }
    void drops() {
        QFETCH(QStringList, files);
        QFETCH(bool, duringRun);
        QFETCH(QString, loaded);
        if (duringRun)
            ui.panProgress->show();
        MainForm->HandleDroppedFiles(files);
        QVERIFY(doubles->messages.calls.isEmpty());
        QCOMPARE(ui.edtSource->text(), loaded);
        QCOMPARE(MainForm->Preview()->SourceLoaded(), !loaded.isEmpty());
    }

    // The containers people record and download today, dropped with the program's own list.
    void todaysContainersDropLoadAndPlay_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("codecs");
        QTest::newRow("Matroska") << "film.mkv" << QStringList{"-c:v", "libx264", "-c:a", "aac"};
        QTest::newRow("MPEG transport stream")
            << "camcorder.ts" << QStringList{"-c:v", "libx264", "-c:a", "aac"};
        QTest::newRow("WebM") << "download.webm" << QStringList{"-c:v",     "libvpx-vp9", "-deadline",
                                                                "realtime", "-c:a",       "libopus"};
    }
    void todaysContainersDropLoadAndPlay() {
        QFETCH(QString, name);
        QFETCH(QStringList, codecs);
        const QString file = media.filePath(name);
        QString error;
        QVERIFY2(TestMedia::MakeVideo(file, 3,
                                      codecs << "-pix_fmt"
                                             << "yuv420p",
                                      &error),
                 qPrintable(error));
        MainForm->Preview()->SupportedExtensions = DefaultSupportedExtensions();

        MainForm->HandleDroppedFiles({file});

        QVERIFY(doubles->messages.calls.isEmpty());
        QCOMPARE(ui.edtSource->text(), file);
        QVERIFY2(qAbs(MainForm->SourceDurationMs() - 3000) <= 150,
                 qPrintable(QString::number(MainForm->SourceDurationMs())));
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->Playing(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(Graph()->CurrentPositionMs() > 0, 30000);
    }

    void openButtonLoadsWhateverThePersonPicks() {
        MainForm->Preview()->OpenDialogFilter =
            QStringLiteral("All supported files|*.mp4;*.mpg|All Files (*.*)|*.*");
        doubles->files.openAnswer = QString();
        QTest::mouseClick(ui.tbtnOpen, Qt::LeftButton);
        QCOMPARE(doubles->files.filters, QStringList{MainForm->Preview()->OpenDialogFilter});
        QVERIFY(!MainForm->Preview()->SourceLoaded());

        doubles->files.openAnswer = mpg;
        QTest::mouseClick(ui.tbtnOpen, Qt::LeftButton);
        QCOMPARE(ui.edtSource->text(), mpg);
        QVERIFY(doubles->messages.calls.isEmpty());

        // No extension test: a text file is handed to the back-end, which refuses it.
        doubles->files.openAnswer = textFile;
        QTest::mouseClick(ui.tbtnOpen, Qt::LeftButton);
        QCOMPARE(ui.edtSource->text(), textFile);
        QCOMPARE(doubles->messages.calls.size(), 1);
    }

private:
    QString WriteText(const QString& name) {
        const QString path = media.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("Shopping list: bread, milk.\n");
        return path;
    }

    QTemporaryDir media;
    QString mp4;
    QString mpg;
    QString notAVideo;
    QString textFile;
    QString longPath;
    QString folderWithVideoName;
    QString upperCase;
    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;
};

QTEST_MAIN(TestSourcePreview)
#include "tst_sourcepreview.moc"
