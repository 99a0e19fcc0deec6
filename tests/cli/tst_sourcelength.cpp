#include "sourcelengthcheck.h"
#include "testmedia.h"

#include <QtTest>

Q_DECLARE_METATYPE(QStringList)

// tessel-split asks its session front-end, which has FFmpeg's libraries loaded already, for the source's
// length rather than start ffprobe. The answer must be ffprobe's to the millisecond and the frame rate, or
// none, where ffprobe is asked after all: a run's sections and its refusals hang on that length.
class TestSourceLength : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;

private slots:
    void sameAsFfprobe_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("options"); // empty: the file is written as text
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("told");
        const QStringList h264{"-c:v", "libx264", "-c:a", "aac"};
        QTest::newRow("MP4") << "a.mp4" << h264 << QByteArray() << true;
        // A transport stream starts its clock late, at 1.4 s.
        QTest::newRow("MPEG-TS") << "b.ts" << QStringList{"-c:v", "libx264", "-c:a", "mp2"} << QByteArray()
                                 << true;
        QTest::newRow("program stream")
            << "c.mpg" << QStringList{"-c:v", "mpeg2video", "-c:a", "mp2"} << QByteArray() << true;
        QTest::newRow("AVI") << "d.avi" << QStringList{"-c:v", "mpeg4", "-c:a", "mp3"} << QByteArray()
                             << true;
        QTest::newRow("Matroska, NTSC rate")
            << "e.mkv" << QStringList{"-r", "30000/1001", "-c:v", "libx264", "-c:a", "libvorbis"}
            << QByteArray() << true;
        QTest::newRow("WebM") << "f.webm" << QStringList{"-c:v", "libvpx", "-c:a", "libopus"} << QByteArray()
                              << true;
        QTest::newRow("sound only") << "g.mp3" << QStringList{"-vn", "-c:a", "libmp3lame"} << QByteArray()
                                    << true;
        // A raw stream's container guesses its length from the bit rate: ffprobe reads its packets.
        QTest::newRow("raw MPEG-2 video")
            << "h.m2v" << QStringList{"-an", "-c:v", "mpeg2video", "-f", "mpeg2video"} << QByteArray()
            << false;
        QTest::newRow("not a video") << "i.mp4" << QStringList() << QByteArray("just words\n") << false;
        QTest::newRow("a playlist named as a video")
            << "j.mp4" << QStringList() << QByteArray("#EXTM3U\n#EXTINF:10,\nfile:///etc/passwd\n") << false;
    }
    void sameAsFfprobe() {
        QFETCH(QString, name);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, text);
        QFETCH(bool, told);
        const QString source = folder.filePath(name);
        if (options.isEmpty()) {
            QFile file(source);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        } else {
            QString error;
            QVERIFY2(TestMedia::MakeVideo(source, 3.5, options, &error, QStringLiteral("160x120")),
                     qPrintable(error));
        }
        const LengthAnswers answers = AskFrontEndAndFfprobe(source);
        QCOMPARE(answers.told.has_value(), told);
        QVERIFY2(LengthDisagreement(answers).isEmpty(), qPrintable(LengthDisagreement(answers)));
        if (!options.isEmpty())
            QVERIFY2(answers.probed.durationMs > 3000, qPrintable(answers.probed.problem));
    }

    // A source that is gone, or a name that is no file, is left to ffprobe, which says why.
    void missingSourceIsLeftToFfprobe() {
        for (const QString& source : {folder.filePath(QStringLiteral("gone.mp4")), folder.path()})
            QVERIFY(!AskFrontEndAndFfprobe(source).told);
    }
};

QTEST_GUILESS_MAIN(TestSourceLength)
#include "tst_sourcelength.moc"
