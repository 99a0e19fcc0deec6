#include "encoderarguments.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

std::vector<std::string> Words(const QString& text) {
    std::vector<std::string> words;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words.push_back(word.toStdString());
    return words;
}

QString Joined(const std::vector<std::string>& words) {
    QStringList list;
    for (const std::string& word : words)
        list << QString::fromStdString(word);
    return list.join(QLatin1Char(' '));
}

void MakeExecutable(const QString& path, bool executable = true) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                   : QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

class TestEncoderArguments : public QObject {
    Q_OBJECT
private slots:
    void rewrite_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        const QString quiet =
            QStringLiteral("-hide_banner -nostdin -loglevel error -stats -stats_period 0.5 ");
        QTest::newRow("seeking moves before the input")
            << "-y -i in.avi -ss 60.0 -t 30 -c:v mpeg4 -b:a 128k -an out.avi"
            << quiet + "-y -ss 60.0 -t 30 -i in.avi -c:v mpeg4 -b:a 128k -an out.avi";
        QTest::newRow("no profile options") << "-y -i in.mp4 -ss 0.0 -t 3.33333333333333 out.mp4"
                                            << quiet + "-y -ss 0.0 -t 3.33333333333333 -i in.mp4 out.mp4";
        QTest::newRow("stream copy options pass through")
            << "-y -i in.mkv -ss 5.0 -t 4 -map 0 -c copy -ignore_unknown out.mkv"
            << quiet + "-y -ss 5.0 -t 4 -i in.mkv -map 0 -c copy -ignore_unknown out.mkv";
        QTest::newRow("only the first -t moves")
            << "-y -i in.mp4 -ss 1.0 -t 2 -t 9 out.mp4" << quiet + "-y -ss 1.0 -t 2 -i in.mp4 -t 9 out.mp4";
        QTest::newRow("an output named -t stays the output")
            << "-y -i in.mp4 -ss 1.0 -t" << quiet + "-y -ss 1.0 -i in.mp4 -t";
        QTest::newRow("no input passes through") << "-version" << quiet + "-version";
    }
    void rewrite() {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(Joined(EncoderFrontEnd::RewriteArguments(Words(given))), expected);
    }

    void pathsWithBlanksStayWhole() {
        const std::vector<std::string> given{"-y", "-i", "/videos/my talk.avi",     "-ss", "2.0",
                                             "-t", "4",  "/clips/my talk_Clip1.avi"};
        const auto result = EncoderFrontEnd::RewriteArguments(given);
        QCOMPARE(QString::fromStdString(result.at(result.size() - 2)), QStringLiteral("/videos/my talk.avi"));
        QCOMPARE(QString::fromStdString(result.back()), QStringLiteral("/clips/my talk_Clip1.avi"));
    }

    void findFfmpeg() {
        QTemporaryDir own;
        QTemporaryDir onPath;
        QTemporaryDir notExecutable;
        const std::string ownFolder = own.path().toStdString();
        const std::string path = (notExecutable.path() + QLatin1Char(':') + onPath.path()).toStdString();
        MakeExecutable(notExecutable.filePath(QStringLiteral("ffmpeg")), false);

        QVERIFY(!EncoderFrontEnd::FindFfmpeg(nullptr, ownFolder, path.c_str()));
        MakeExecutable(onPath.filePath(QStringLiteral("ffmpeg")));
        QCOMPARE(EncoderFrontEnd::FindFfmpeg("", ownFolder, path.c_str()).value_or(""),
                 onPath.filePath(QStringLiteral("ffmpeg")).toStdString());
        MakeExecutable(own.filePath(QStringLiteral("ffmpeg")));
        QCOMPARE(EncoderFrontEnd::FindFfmpeg(nullptr, ownFolder, path.c_str()).value_or(""),
                 own.filePath(QStringLiteral("ffmpeg")).toStdString());
        QCOMPARE(EncoderFrontEnd::FindFfmpeg("/opt/ff/ffmpeg", ownFolder, path.c_str()).value_or(""),
                 std::string("/opt/ff/ffmpeg"));
    }

    void missingFfmpegFailsWithOneLine() {
        QProcess frontEnd;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/nonexistent"));
        environment.remove(QStringLiteral("TESSEL_FFMPEG"));
        frontEnd.setProcessEnvironment(environment);
        frontEnd.setProcessChannelMode(QProcess::MergedChannels);
        frontEnd.start(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"),
                       {QStringLiteral("-y"), QStringLiteral("-i"), QStringLiteral("in.mp4"),
                        QStringLiteral("out.mp4")});
        QVERIFY(frontEnd.waitForFinished(60000));
        QVERIFY(frontEnd.exitCode() != 0);
        const QByteArray output = frontEnd.readAll();
        QCOMPARE(output.count('\n'), 1);
        QVERIFY(output.contains("ffmpeg"));
    }
};

QTEST_GUILESS_MAIN(TestEncoderArguments)
#include "tst_encoderarguments.moc"
