#include "sourcelengthcheck.h"
#include "testmedia.h"

#include <QtTest>

Q_DECLARE_METATYPE(QStringList)

// tessel-split asks its session front-end for the source's length rather than start ffprobe. The answer
// must be ffprobe's, to the millisecond and the frame rate, or none: a run's sections and refusals hang on
// it. Real videos of many containers are checked the same way in tst_realmedia.
class TestSourceLength : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;

private slots:
    void sameAsFfprobe_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("options"); // empty: the file holds the text
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("told");
        // A transport stream's clock starts at 1.4 s.
        QTest::newRow("MPEG-TS") << "b.ts" << QStringList{"-c:v", "libx264", "-c:a", "mp2"} << QByteArray()
                                 << true;
        // No video stream: the length alone, with no frame rate.
        QTest::newRow("sound only") << "g.mp3" << QStringList{"-vn", "-c:a", "libmp3lame"} << QByteArray()
                                    << true;
        // A raw stream's length is guessed from its bit rate: only ffprobe, reading its packets, can tell.
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
        QFile file(source);
        QString error;
        QVERIFY2(options.isEmpty()
                     ? file.open(QIODevice::WriteOnly) && file.write(text) == text.size()
                     : TestMedia::MakeVideo(source, 3.5, options, &error, QStringLiteral("160x120")),
                 qPrintable(error));
        file.close();
        const LengthAnswers answers = AskFrontEndAndFfprobe(source);
        QCOMPARE(answers.told.has_value(), told);
        QVERIFY2(LengthDisagreement(answers).isEmpty(), qPrintable(LengthDisagreement(answers)));
        QCOMPARE(answers.probed.durationMs > 3000, !options.isEmpty());
    }

    // A source that is gone, or a name that is no file, is left to ffprobe, which says why.
    void missingSourceIsLeftToFfprobe() {
        for (const QString& source : {folder.filePath(QStringLiteral("gone.mp4")), folder.path()})
            QVERIFY(!AskFrontEndAndFfprobe(source).told);
    }
};

QTEST_GUILESS_MAIN(TestSourceLength)
#include "tst_sourcelength.moc"
