#include "app/apperror.h"
#include "preview/mediagraph.h"
#include "testmedia.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVideoWidget>
#include <QtTest>

class TestMediaGraph : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        QString error;
        mp4 = folder.filePath(QStringLiteral("clip.mp4"));
        QVERIFY2(TestMedia::MakeVideo(mp4, 3,
                                      {QStringLiteral("-c:v"), QStringLiteral("libx264"),
                                       QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p"),
                                       QStringLiteral("-c:a"), QStringLiteral("aac")},
                                      &error),
                 qPrintable(error));
        mpg = folder.filePath(QStringLiteral("clip.mpg"));
        QVERIFY2(TestMedia::MakeVideo(mpg, 3,
                                      {QStringLiteral("-c:v"), QStringLiteral("mpeg2video"),
                                       QStringLiteral("-c:a"), QStringLiteral("mp2")},
                                      &error),
                 qPrintable(error));
        notAVideo = folder.filePath(QStringLiteral("notes.avi"));
        QFile text(notAVideo);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("These are notes, not a video.\n");
    }

    void init() {
        window = std::make_unique<QVideoWidget>();
        window->resize(331, 237);
        window->show();
        graph = std::make_unique<MediaGraph>(window.get());
    }
    void cleanup() {
        graph.reset();
        window.reset();
    }

    void activationAnnouncesTheSeekingSide() {
        QSignalSpy spy(graph.get(), &MediaGraph::Activated);
        QVERIFY(!graph->Active());
        graph->Activate();
        QVERIFY(graph->Active());
        QCOMPARE(spy.count(), 1);
        graph->Activate();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(graph->DurationMs(), 0);
        qint64 duration = -1;
        QVERIFY(!graph->GetDuration(duration));
    }

    void rendersWithFullVolumeAndNormalRate_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("MP4") << mp4;
        QTest::newRow("MPEG-2 program stream") << mpg;
    }
    void rendersWithFullVolumeAndNormalRate() {
        QFETCH(QString, file);
        graph->Activate();
        graph->RenderFile(file);
        QVERIFY(qAbs(graph->DurationMs() - 3000) <= 100);
        QCOMPARE(graph->Player()->playbackRate(), 1.0);
        QCOMPARE(graph->Player()->audioOutput()->volume(), 1.0f);
        // MPEG program streams report their start time (about half a second here) as the position.
        QCOMPARE(graph->CurrentPositionMs(), 0);
    }

    void unplayableFileRaisesTheBackEndsErrorWithItsCode_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("text renamed .avi") << notAVideo;
        QTest::newRow("missing file") << folder.filePath(QStringLiteral("missing.avi"));
    }
    void unplayableFileRaisesTheBackEndsErrorWithItsCode() {
        QFETCH(QString, file);
        graph->Activate();
        QString message;
        try {
            graph->RenderFile(file);
        } catch (const AppError& error) {
            message = error.message();
        }
        QVERIFY2(
            QRegularExpression(QStringLiteral("^\\S.* \\(\\$[0-9A-F]+\\)\\.$")).match(message).hasMatch(),
            qPrintable(message));
        QCOMPARE(graph->DurationMs(), 0);
        QSignalSpy started(graph.get(), &MediaGraph::PlayStarted);
        graph->Run();
        QCOMPARE(started.count(), 0);
        QVERIFY(!graph->Playing());

        // The back-end keeps its old error across a new source; that must not fail the next render.
        graph->RenderFile(mp4);
        QVERIFY(graph->DurationMs() > 0);
    }

    // A playlist or list of files named like a video is refused before the back-end could follow it.
    void listsPosingAsVideosAreNotOpened_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray target = mp4.toUtf8();
        QTest::newRow("HLS") << "#EXTM3U\n#EXTINF:3,\n" + target + "\n#EXT-X-ENDLIST\n";
        QTest::newRow("HLS after a byte-order mark") << "\xEF\xBB\xBF  #EXTM3U\n" + target + "\n";
        QTest::newRow("DASH") << "<?xml version=\"1.0\"?>\n<MPD type=\"static\"><Period><BaseURL>" + target +
                                     "</BaseURL></Period></MPD>\n";
        QTest::newRow("ffconcat") << "ffconcat version 1.0\nfile '" + target + "'\n";
        QTest::newRow("SMIL") << "<smil><body><video src=\"" + target + "\"/></body></smil>\n";
    }
    void listsPosingAsVideosAreNotOpened() {
        QFETCH(QByteArray, content);
        const QString list = folder.filePath(QStringLiteral("holiday.mp4"));
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        graph->Activate();
        QString message;
        try {
            graph->RenderFile(list);
        } catch (const AppError& error) {
            message = error.message();
        }
        QVERIFY2(message.startsWith(QLatin1String("The file is a playlist or names other files")),
                 qPrintable(message));
        QCOMPARE(graph->DurationMs(), 0);
    }

    void runPauseSeekAndStop() {
        graph->Activate();
        graph->RenderFile(mp4);
        QSignalSpy started(graph.get(), &MediaGraph::PlayStarted);
        QSignalSpy paused(graph.get(), &MediaGraph::PlayPaused);
        QSignalSpy stopped(graph.get(), &MediaGraph::PlayStopped);

        graph->Run();
        QCOMPARE(started.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(graph->Playing(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(graph->CurrentPositionMs() > 0, 30000);

        graph->Pause();
        QCOMPARE(paused.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(graph->Paused(), 30000);
        graph->Pause();
        QVERIFY(graph->Paused());

        qint64 stop = 0;
        QVERIFY(graph->GetStopPosition(stop));
        QCOMPARE(stop, graph->DurationMs());
        graph->SetPositions(2000);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(graph->CurrentPositionMs() - 2000) <= 200, 30000);
        QVERIFY(graph->Paused());

        graph->Run();
        QTRY_VERIFY_WITH_TIMEOUT(graph->Playing(), 30000);
        graph->Stop();
        QCOMPARE(stopped.count(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!graph->Playing() && !graph->Paused(), 30000);
        QCOMPARE(graph->CurrentPositionMs(), 0);
    }

    void mpegPositionsStayWithinTheSource() {
        graph->Activate();
        graph->RenderFile(mpg);
        QSignalSpy ended(graph.get(), &MediaGraph::PlayEnded);
        graph->Run();
        QTRY_VERIFY_WITH_TIMEOUT(graph->Playing(), 30000);
        // Positions are checked from the track's point of view: never past the end.
        QTRY_VERIFY_WITH_TIMEOUT(ended.count() == 1, 60000);
        QVERIFY(graph->CurrentPositionMs() <= graph->DurationMs());
        QVERIFY(graph->CurrentPositionMs() >= graph->DurationMs() - 100);

        // Playing again after the end starts from the beginning, with the start time counted again.
        // Polled while playing, so a busy machine that plays on before a pause cannot fail it.
        graph->Run();
        QTRY_VERIFY_WITH_TIMEOUT(graph->Playing(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(graph->CurrentPositionMs() < graph->DurationMs() - 200, 30000);
        graph->Pause();
        QTRY_VERIFY_WITH_TIMEOUT(graph->Paused(), 30000);
        graph->SetPositions(0);
        QTRY_COMPARE_WITH_TIMEOUT(graph->CurrentPositionMs(), 0, 30000);
        graph->SetPositions(1500);
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(graph->CurrentPositionMs() - 1500) <= 200, 30000);
    }

    void clearLeavesNothingRendered() {
        graph->Activate();
        graph->RenderFile(mp4);
        graph->Run();
        graph->Clear();
        QVERIFY(graph->Active());
        QCOMPARE(graph->DurationMs(), 0);
        qint64 position = -1;
        QVERIFY(!graph->GetCurrentPosition(position));
        QVERIFY(!graph->Playing());
    }

    void goesAwayWhilePlaying() {
        graph->Activate();
        graph->RenderFile(mp4);
        QSignalSpy gone(graph.get(), &MediaGraph::Deactivated);
        graph->Run();
        QTRY_VERIFY_WITH_TIMEOUT(graph->Playing(), 30000);
        graph.reset();
        QCOMPARE(gone.count(), 1);
    }

private:
    QTemporaryDir folder;
    QString mp4;
    QString mpg;
    QString notAVideo;
    std::unique_ptr<QVideoWidget> window;
    std::unique_ptr<MediaGraph> graph;
};

QTEST_MAIN(TestMediaGraph)
#include "tst_mediagraph.moc"
