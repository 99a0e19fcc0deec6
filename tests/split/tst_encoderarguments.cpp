#include "contract/mediaformats.h"
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

// What goes before "-i": the source opened as one media file.
QString OpenArguments() {
    QStringList words;
    for (const std::string& word : Contract::SourceOpenArguments())
        words << QString::fromStdString(word);
    return words.join(QLatin1Char(' ')) + QLatin1Char(' ');
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
            << quiet + "-y -ss 60.0 -t 30 " + OpenArguments() + "-i in.avi -c:v mpeg4 -b:a 128k -an out.avi";
        QTest::newRow("no profile options")
            << "-y -i in.mp4 -ss 0.0 -t 3.33333333333333 out.mp4"
            << quiet + "-y -ss 0.0 -t 3.33333333333333 " + OpenArguments() + "-i in.mp4 out.mp4";
        QTest::newRow("stream copy options pass through")
            << "-y -i in.mkv -ss 5.0 -t 4 -map 0 -c copy -ignore_unknown out.mkv"
            << quiet + "-y -ss 5.0 -t 4 " + OpenArguments() +
                   "-i in.mkv -map 0 -c copy -ignore_unknown out.mkv";
        QTest::newRow("only the first -t moves")
            << "-y -i in.mp4 -ss 1.0 -t 2 -t 9 out.mp4"
            << quiet + "-y -ss 1.0 -t 2 " + OpenArguments() + "-i in.mp4 -t 9 out.mp4";
        QTest::newRow("an output named -t stays the output")
            << "-y -i in.mp4 -ss 1.0 -t" << quiet + "-y -ss 1.0 " + OpenArguments() + "-i in.mp4 -t";
        QTest::newRow("no input passes through") << "-version" << quiet + "-version";
    }
    void rewrite() {
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(Joined(EncoderFrontEnd::RewriteArguments(Words(given))), expected);
    }

    // A re-encoded clip: the input seek and the source's own timestamps before the input, the trim where
    // the runner put "-ss" and "-t", and the frames' times kept unless the profile sets a rate.
    void exactCut_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("seeks");
        QTest::addColumn<bool>("ownFrameTimes");
        QTest::addColumn<QString>("expected");
        const QString quiet =
            QStringLiteral("-hide_banner -nostdin -loglevel error -stats -stats_period 0.5 -y -copyts ");
        const QString seek = QStringLiteral("-ss 5.520000 -noaccurate_seek ");
        QTest::newRow("re-encoded") << "-y -i in.ts -ss 7.0 -t 15.0 -c:v libx264 -c:a aac out.mp4" << true
                                    << true
                                    << quiet + seek + OpenArguments() +
                                           "-i in.ts -ss 8.458667 -t 14.960000 -fps_mode passthrough -c:v "
                                           "libx264 -c:a aac out.mp4";
        QTest::newRow("frame rate of the profile")
            << "-y -i in.ts -ss 7.0 -t 15.0 -r 25 out.mp4" << true << true
            << quiet + seek + OpenArguments() + "-i in.ts -ss 8.458667 -t 14.960000 -r 25 out.mp4";
        QTest::newRow("no picture") << "-y -i in.ts -ss 7.0 -t 15.0 -vn -c:a libmp3lame out.mp3" << true
                                    << true
                                    << quiet + seek + OpenArguments() +
                                           "-i in.ts -ss 8.458667 -t 14.960000 -vn -c:a libmp3lame out.mp3";
        QTest::newRow("frame times made up by the decoder")
            << "-y -i in.vob -ss 7.0 -t 15.0 out.mp4" << true << false
            << quiet + seek + OpenArguments() + "-i in.vob -ss 8.458667 -t 14.960000 -fps_mode cfr out.mp4";
        QTest::newRow("source that cannot seek")
            << "-y -i in.ts -ss 7.0 -t 15.0 out.mkv" << false << true
            << quiet + OpenArguments() + "-i in.ts -ss 8.458667 -t 14.960000 -fps_mode passthrough out.mkv";
    }
    void exactCut() {
        QFETCH(QString, given);
        QFETCH(bool, seeks);
        QFETCH(bool, ownFrameTimes);
        QFETCH(QString, expected);
        const auto arguments = Words(given);
        const auto request = EncoderFrontEnd::ReadClipRequest(arguments);
        QVERIFY(request && !request->copiesVideo);
        EncoderFrontEnd::ExactCut cut{5520000, 8458667, 14960000, ownFrameTimes};
        if (!seeks)
            cut.inputSeek.reset();
        QCOMPARE(Joined(EncoderFrontEnd::ExactCutArguments(arguments, *request, cut)), expected);
    }

    // Which clips get an exact cut: not those that copy the video, which keep today's seeking.
    void clipRequest_data() {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("exact");
        QTest::addColumn<bool>("video");
        QTest::newRow("re-encoded") << "-y -i in.mp4 -ss 3.3333333333333335 -t 3.33333333333333 out.mp4"
                                    << true << true;
        QTest::newRow("stream copy") << "-y -i in.mkv -ss 5.0 -t 4 -map 0 -c copy -ignore_unknown out.mkv"
                                     << false << true;
        QTest::newRow("video copy") << "-y -i in.mp4 -ss 5.0 -t 4 -c:v copy -c:a aac out.mp4" << false
                                    << true;
        QTest::newRow("old video copy") << "-y -i in.mp4 -ss 5.0 -t 4 -vcodec copy out.mp4" << false << true;
        QTest::newRow("sound copy") << "-y -i in.mp4 -ss 5.0 -t 4 -c:a copy -c:v libx264 out.mp4" << true
                                    << true;
        QTest::newRow("no video") << "-y -i in.mp4 -ss 5.0 -t 4 -vn out.mp3" << true << false;
        QTest::newRow("sound file") << "-y -i in.mp4 -ss 5.0 -t 4 out.MP3" << true << false;
        QTest::newRow("start not a number") << "-y -i in.mp4 -ss 5,0 -t 4 out.mp4" << false << true;
        QTest::newRow("no length") << "-y -i in.mp4 -ss 5.0 out.mp4" << false << true;
    }
    void clipRequest() {
        QFETCH(QString, given);
        QFETCH(bool, exact);
        QFETCH(bool, video);
        const auto request = EncoderFrontEnd::ReadClipRequest(Words(given));
        QCOMPARE(request && !request->copiesVideo, exact);
        if (request)
            QCOMPARE(!request->dropsVideo, video);
    }

    void pathsWithBlanksStayWhole() {
        const std::vector<std::string> given{"-y", "-i", "/videos/my talk.avi",     "-ss", "2.0",
                                             "-t", "4",  "/clips/my talk_Clip1.avi"};
        const auto result = EncoderFrontEnd::RewriteArguments(given);
        // Behind "file:", so that nothing in them reads as a protocol or a pattern.
        QCOMPARE(QString::fromStdString(result.at(result.size() - 2)),
                 QStringLiteral("file:/videos/my talk.avi"));
        QCOMPARE(QString::fromStdString(result.back()), QStringLiteral("file:/clips/my talk_Clip1.avi"));
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
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("in.mp4"));
        QProcess make;
        make.start(QStringLiteral("ffmpeg"),
                   {"-v", "error", "-f", "lavfi", "-i", "testsrc2=d=1:s=64x48", "-c:v", "mpeg4", source});
        QVERIFY(make.waitForFinished(60000) && make.exitCode() == 0);
        frontEnd.start(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"),
                       {QStringLiteral("-y"), QStringLiteral("-i"), source, QStringLiteral("-ss"),
                        QStringLiteral("0.0"), QStringLiteral("-t"), QStringLiteral("1"),
                        dir.filePath(QStringLiteral("out.mp4"))});
        QVERIFY(frontEnd.waitForFinished(60000));
        QVERIFY(frontEnd.exitCode() != 0);
        const QByteArray output = frontEnd.readAll();
        QCOMPARE(output.count('\n'), 1);
        QVERIFY(output.contains("ffmpeg"));
    }
};

QTEST_GUILESS_MAIN(TestEncoderArguments)
#include "tst_encoderarguments.moc"
