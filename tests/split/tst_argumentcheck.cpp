#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The encoder front-end's own check, whoever starts it: only a clip as the runner asks for it, with one
// input and one output named by absolute paths, a muxer from our list and the options a profile may pass.
// Anything else is refused with one line on standard error and exit code 2, and ffmpeg is never started.
class TestArgumentCheck : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString source;

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        source = dir.filePath(QStringLiteral("in.mp4"));
        QProcess make;
        make.start(QStringLiteral("ffmpeg"), {"-v", "error", "-f", "lavfi", "-i", "testsrc2=d=1:s=64x48",
                                              "-c:v", "libx264", "-pix_fmt", "yuv420p", source});
        QVERIFY(make.waitForFinished(60000) && make.exitCode() == 0);
    }

    void onlyTheRunnersClips_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("refusal"); // empty: ffmpeg starts
        QTest::newRow("a clip as the runner starts it")
            << QStringList{"-y",   "-i",      "SRC", "-ss", "1.0", "-t", "2",
                           "-c:v", "libx264", "-an", "-f",  "mp4", "OUT"}
            << "";
        QTest::newRow("no muxer named: the clip's extension chooses one from the list")
            << QStringList{"-y", "-i", "SRC", "-ss", "1.0", "-t", "2", "OUT"} << "";
        QTest::newRow("a second input")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-i", "/etc/passwd", "OUT"}
            << R"("-i" is not an option)";
        QTest::newRow("an extra output after an option without a value")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-an", "/tmp/extra.mkv", "OUT"}
            << R"("/tmp/extra.mkv" stands where an option belongs)";
        QTest::newRow("standard output as a second output")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-", "OUT"} << R"("-" stands where)";
        QTest::newRow("a movie= filter graph")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-filter_complex", "movie=/etc/passwd",
                           "OUT"}
            << R"("-filter_complex" is not an option)";
        QTest::newRow("an attachment")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-attach", "/etc/passwd", "OUT"}
            << R"("-attach" is not an option)";
        QTest::newRow("a movie= filter")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-vf", "movie=/etc/passwd", "OUT"}
            << R"(the filter "movie")";
        QTest::newRow("a report") << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-report", "OUT"}
                                  << R"("-report" is not an option)";
        QTest::newRow("a muxer that writes playlists")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-f", "hls", "OUT"}
            << "container is not one";
        QTest::newRow("a muxer that reads patterns")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-f", "image2", "OUT"}
            << "container is not one";
        QTest::newRow("an extension that names no listed container")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "/tmp/x%v/pwned.m3u8"}
            << "container is not one";
        QTest::newRow("a relative source")
            << QStringList{"-y", "-i", "in.mp4", "-ss", "0.0", "-t", "1", "OUT"} << "absolute paths";
        QTest::newRow("a relative output that is an option")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-report:x.mp4"} << "absolute paths";
        QTest::newRow("a question instead of a clip") << QStringList{"-version"} << "not those of a clip";
        QTest::newRow("a time that is not a plain number")
            << QStringList{"-y", "-i", "SRC", "-ss", "1e3", "-t", "2", "OUT"} << "plain numbers";
        QTest::newRow("a size limit that is no whole number of bytes")
            << QStringList{"-y", "-i", "SRC", "-ss", "0.0", "-t", "1", "-c", "copy", "-fs", "9e99", "OUT"}
            << "size limit of a clip (-fs)";
        QTest::newRow("a size limit for an encoded clip")
            << QStringList{"-y", "-i",   "SRC",     "-ss", "0.0",  "-t",
                           "1",  "-c:v", "libx264", "-fs", "1000", "OUT"}
            << "kept only for a stream copy";
    }
    void onlyTheRunnersClips() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, refusal);
        const QString clip = dir.filePath(QStringLiteral("out.mp4"));
        for (QString& argument : arguments)
            argument = argument == QLatin1String("SRC")   ? source
                       : argument == QLatin1String("OUT") ? clip
                                                          : argument;
        const QString started = dir.filePath(QStringLiteral("started"));
        QFile::remove(started);
        const QString ffmpeg = dir.filePath(QStringLiteral("ffmpeg"));
        QFile script(ffmpeg);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + started.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcess frontEnd;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TESSEL_FFMPEG"), ffmpeg);
        frontEnd.setProcessEnvironment(environment);
        frontEnd.start(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"), arguments);
        QVERIFY(frontEnd.waitForFinished(60000));
        const QByteArray errors = frontEnd.readAllStandardError();
        if (!refusal.isEmpty()) {
            QCOMPARE(frontEnd.exitCode(), 2);
            QCOMPARE(errors.count('\n'), 1);
            QVERIFY2(errors.startsWith("wmaspi: refused: ") && errors.contains(refusal.toUtf8()),
                     errors.constData());
            QVERIFY(!QFile::exists(started));
            return;
        }
        QCOMPARE(frontEnd.exitCode(), 0);
        QCOMPARE(errors, QByteArray());
        // ffmpeg reads the source as one file and writes the clip with a muxer from our list.
        QFile passed(started);
        QVERIFY(passed.open(QIODevice::ReadOnly));
        const QStringList given =
            QString::fromUtf8(passed.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(given.contains(QStringLiteral("file:") + source), qPrintable(given.join(' ')));
        QCOMPARE(given.value(given.indexOf(QStringLiteral("-protocol_whitelist")) + 1),
                 QStringLiteral("file"));
        QVERIFY(given.contains(QStringLiteral("-format_whitelist")));
        QCOMPARE(given.mid(given.size() - 3), QStringList({"-f", "mp4", QStringLiteral("file:") + clip}));
    }
};

QTEST_GUILESS_MAIN(TestArgumentCheck)
#include "tst_argumentcheck.moc"
