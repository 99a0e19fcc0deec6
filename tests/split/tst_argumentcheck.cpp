#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The encoder front-end's own check: arguments that name a second input or output are refused with one
// line on standard error and exit code 2, and ffmpeg is never started.
class TestArgumentCheck : public QObject {
    Q_OBJECT
private slots:
    void oneInputAndOneOutput_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("refused");
        QTest::newRow("a clip as the runner starts it")
            << QStringList{"-y", "-i", "in.mp4", "-ss", "1.0", "-t", "2", "-c:v", "libx264", "-an", "out.mp4"}
            << false;
        QTest::newRow("a negated option before the output")
            << QStringList{"-y", "-i", "in.mp4", "-nostats", "out.mp4"} << false;
        QTest::newRow("an extra output after an option without a value")
            << QStringList{"-y", "-i", "in.mp4", "-an", "extra.mkv", "out.mp4"} << true;
        QTest::newRow("standard output as a second output")
            << QStringList{"-y", "-i", "in.mp4", "-", "out.mp4"} << true;
        QTest::newRow("a second input")
            << QStringList{"-y", "-i", "in.mp4", "-i", "other.mp4", "out.mp4"} << true;
    }
    void oneInputAndOneOutput() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        const QString started = dir.filePath(QStringLiteral("started"));
        const QString ffmpeg = dir.filePath(QStringLiteral("ffmpeg"));
        QFile script(ffmpeg);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n: > '" + started.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcess frontEnd;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TESSEL_FFMPEG"), ffmpeg);
        frontEnd.setProcessEnvironment(environment);
        frontEnd.start(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"), arguments);
        QVERIFY(frontEnd.waitForFinished(60000));
        const QByteArray errors = frontEnd.readAllStandardError();
        if (refused) {
            QCOMPARE(frontEnd.exitCode(), 2);
            QCOMPARE(errors.count('\n'), 1);
            QVERIFY2(errors.startsWith("wmaspi: refused: 2 "), errors.constData());
            QVERIFY(!QFile::exists(started));
        } else {
            QCOMPARE(frontEnd.exitCode(), 0);
            QCOMPARE(errors, QByteArray());
            QVERIFY(QFile::exists(started));
        }
    }
};

QTEST_GUILESS_MAIN(TestArgumentCheck)
#include "tst_argumentcheck.moc"
