#include "app/appcontext.h"
#include "fakeencoder.h"
#include "optionstext.h"
#include "profiles/profilearguments.h"
#include "profiles/profileworkinglists.h"
#include "recordingview.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QtTest>

// Runs with the real front-end and Debian's ffmpeg on generated media; ffprobe checks every clip.
class TestSplitRealEncoder : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<RecordingView> view;
    std::unique_ptr<SplitRunner> runner;
    QString outputDir;
    QString source;
    QString keyframeSource;

    void Prepare(const QString& sourcePath, const QString& profile, const QString& extension) {
        if (!QFile::exists(App().ProfilePath(profile)))
            program->Write(QStringLiteral("Profiles/") + profile + QStringLiteral(".apf"), "[Main]\n");
        view = std::make_unique<RecordingView>();
        view->outputExt = extension;
        view->inputs.sourcePath = sourcePath;
        view->inputs.profileName = profile;
        view->inputs.outputDirText = outputDir;
        view->inputs.sourceDurationMs = 12000;
        runner = std::make_unique<SplitRunner>(*view);
    }
    // The range to split; no sections means one clip.
    void SetRange(const QString& start, const QString& end, int sections) {
        view->inputs.startText = start;
        view->inputs.endText = end;
        view->inputs.oneClip = sections == 0;
        view->inputs.sectionQtyText = QString::number(sections);
    }
    QString Clip(int i, const QString& extension) const {
        return outputDir + QStringLiteral("/talk_Clip%1").arg(i) + extension;
    }

private slots:
    void initTestCase() {
        program = std::make_unique<TempProgramDir>();
        App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
        QVERIFY(QFile::exists(App().EncoderPath));
        outputDir = program->path() + QStringLiteral("out");
        QVERIFY(QDir().mkpath(outputDir));
        QString error;
        source = program->path() + QStringLiteral("talk.mp4");
        QVERIFY2(TestMedia::MakeVideo(source, 12, {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"},
                                      &error),
                 qPrintable(error));
        program->CopyShippedProfiles();
        int code = 0;
        TestMedia::RunMerged("ffmpeg",
                             {"-v", "error", "-f", "lavfi", "-i", "sine=duration=12",
                              program->path() + "talk.mp3", program->path() + "talk.m4a"},
                             &code);
        QCOMPARE(code, 0);
        // A keyframe every second, so that a stream copy starts within a second of the asked start.
        keyframeSource = program->path() + QStringLiteral("keyframes/talk.mp4");
        QVERIFY(QDir().mkpath(program->path() + QStringLiteral("keyframes")));
        QVERIFY2(TestMedia::MakeVideo(keyframeSource, 12,
                                      {"-c:v", "libx264", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac"},
                                      &error),
                 qPrintable(error));
    }
    void cleanup() {
        runner.reset();
        view.reset();
        for (const QString& name : QDir(outputDir).entryList(QDir::Files))
            QFile::remove(outputDir + QLatin1Char('/') + name);
    }

    void encodes_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("sections");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("videoCodec");
        QTest::newRow("one clip to MP4") << "00:00:02"
                                         << "00:00:08" << 0 << " -c:v libx264 -c:a aac"
                                         << ".mp4"
                                         << "h264";
        QTest::newRow("three sections to AVI") << "00:00:00"
                                               << "00:00:12" << 3 << " -c:v mpeg4 -c:a libmp3lame"
                                               << ".avi"
                                               << "mpeg4";
    }
    void encodes() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, sections);
        QFETCH(QString, arguments);
        QFETCH(QString, extension);
        QFETCH(QString, videoCodec);
        Prepare(source, QStringLiteral("Test"), extension);
        SetRange(start, end, sections);

        runner->RunSplit(OptionsFromText(arguments));

        QVERIFY2(view->events.contains(QStringLiteral("message:0:Completed")),
                 qPrintable(view->events.join('\n')));
        const int clips = qMax(1, sections);
        const double length = (TimeTextToSecondsForTest(end) - TimeTextToSecondsForTest(start)) / clips;
        for (int i = 1; i <= clips; ++i) {
            const QString clip = Clip(i, extension);
            QVERIFY2(QFile::exists(clip), qPrintable(clip));
            QVERIFY2(qAbs(TestMedia::ProbeDuration(clip) - length) <= 0.05,
                     qPrintable(QString::number(TestMedia::ProbeDuration(clip))));
            QCOMPARE(TestMedia::ProbeCodec(clip, QStringLiteral("v")), videoCodec);
        }
        QVERIFY(!QFile::exists(Clip(clips + 1, extension)));
        QCOMPARE(view->Events(QStringLiteral("progress:")).last(), QStringLiteral("100/100"));
    }

    // Every shipped profile splits a video and a sound alone into clips that decode; a sound-only clip,
    // whose progress time ffmpeg reports as 0, once counted as empty.
    void shippedProfilesSplit_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("sourceName");
        const QString shipped = qEnvironmentVariable("TESSEL_SOURCE_DIR") + QStringLiteral("/data/Profiles/");
        for (const QString& file : QDir(shipped).entryList({QStringLiteral("*.apf")}))
            for (const char* sourceName : {"talk.mp4", "talk.mp3", "talk.m4a"})
                QTest::addRow("%s from %s", qPrintable(file), sourceName)
                    << QFileInfo(file).completeBaseName() << sourceName;
    }
    void shippedProfilesSplit() {
        QFETCH(QString, profile);
        QFETCH(QString, sourceName);
        ProfileWorkingLists lists;
        lists.LoadProfile(App().ProfilePath(profile));
        ProfileOptions options;
        BuildProfileArguments(App().ProfilePath(profile), options, lists);
        Prepare(program->path() + sourceName, profile, lists.OutputExt());
        SetRange(QStringLiteral("00:00:01"), QStringLiteral("00:00:03"), 2);
        runner->RunSplit(options);

        QVERIFY2(view->events.contains(QStringLiteral("message:0:Completed")),
                 qPrintable(view->messageTexts.join('\n')));
        const bool video = sourceName.endsWith(QLatin1String(".mp4")) && !options.Arguments().contains("-vn");
        const QStringList clips = QDir(outputDir).entryList(QDir::Files);
        QCOMPARE(clips.size(), 2);
        for (const QString& clip : clips) {
            const QString path = outputDir + QLatin1Char('/') + clip;
            int code = 0;
            const QString errors =
                TestMedia::RunMerged("ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"}, &code);
            QVERIFY2(code == 0 && errors.isEmpty(), qPrintable(clip + ": " + errors));
            QCOMPARE(TestMedia::ProbeCodec(path, QStringLiteral("v")).isEmpty(), !video);
            QVERIFY2(qAbs(TestMedia::ProbeDuration(path) - 1) < 0.15, qPrintable(clip));
        }
    }

    // Every clip counted as written holds frames; one that holds none is reported with its reason.
    void clipsPastTheSourceEnd_data() {
        QTest::addColumn<qint64>("durationMs");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("sections");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<bool>("written");
        QTest::newRow("sections past the end") << qint64(12000) << "00:00:09"
                                               << "00:00:30" << 3 << " -c:v libx264 -c:a aac"
                                               << ".mp4" << true;
        // A back-end that reports more than the file holds leaves the encoder nothing to write.
        QTest::newRow("video beyond the file") << qint64(30000) << "00:00:20"
                                               << "00:00:25" << 0 << " -c:v libx264 -c:a aac"
                                               << ".mp4" << false;
        QTest::newRow("audio beyond the file") << qint64(30000) << "00:00:20"
                                               << "00:00:25" << 0 << " -vn -c:a libmp3lame"
                                               << ".mp3" << false;
    }
    void clipsPastTheSourceEnd() {
        QFETCH(qint64, durationMs);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, sections);
        QFETCH(QString, arguments);
        QFETCH(QString, extension);
        QFETCH(bool, written);
        Prepare(source, QStringLiteral("Test"), extension);
        view->inputs.sourceDurationMs = durationMs;
        SetRange(start, end, sections);

        runner->RunSplit(OptionsFromText(arguments));

        if (!written) {
            QCOMPARE(view->Events(QStringLiteral("message:")), QStringList{"2:Splitting Failed"});
            QVERIFY2(view->messageTexts.last().contains(QStringLiteral("talk_Clip1") + extension +
                                                        QStringLiteral(": the encoder wrote no frames")),
                     qPrintable(view->messageTexts.last()));
            return;
        }
        QVERIFY2(view->events.contains(QStringLiteral("message:0:Completed")),
                 qPrintable(view->events.join('\n')));
        for (int i = 1; i <= sections; ++i) {
            const QString frames = TestMedia::RunAndRead(QStringLiteral("ffprobe"),
                                                         {"-v", "error", "-count_frames", "-select_streams",
                                                          "v:0", "-show_entries", "stream=nb_read_frames",
                                                          "-of", "csv=p=0", Clip(i, extension)});
            QCOMPARE(frames.trimmed().toInt(), 25);
        }
    }

    void streamCopyKeepsTheSourceType() {
        Prepare(keyframeSource, QStringLiteral("Settings of the source file."), QStringLiteral(".mkv"));
        view->inputs.startText = QStringLiteral("00:00:05");
        view->inputs.endText = QStringLiteral("00:00:09");
        runner->RunSplit(OptionsFromText(QStringLiteral(" -map 0 -c copy -ignore_unknown")));

        QVERIFY2(view->events.contains(QStringLiteral("message:0:Completed")),
                 qPrintable(view->events.join('\n')));
        const QString clip = Clip(1, QStringLiteral(".mp4"));
        QVERIFY(QFile::exists(clip));
        QVERIFY(!QFile::exists(Clip(1, QStringLiteral(".mkv"))));
        QVERIFY2(qAbs(TestMedia::ProbeDuration(clip) - 4) <= 1.0,
                 qPrintable(QString::number(TestMedia::ProbeDuration(clip))));
        QCOMPARE(TestMedia::ProbeCodec(clip, QStringLiteral("v")), QStringLiteral("h264"));
        QCOMPARE(TestMedia::ProbeCodec(clip, QStringLiteral("a")), QStringLiteral("aac"));
    }

    // The sections of a stream copy are cut by one front-end, which keeps the source open between them.
    void streamCopySectionsShareOneFrontEnd() {
        Prepare(keyframeSource, QStringLiteral("Settings of the source file."), QStringLiteral(".mp4"));
        SetRange(QStringLiteral("00:00:01"), QStringLiteral("00:00:11"), 4);
        QSet<qint64> frontEnds;
        view->onProgress = [&] { frontEnds << runner->EncoderProcessId(); };
        runner->RunSplit(OptionsFromText(QStringLiteral(" -map 0 -c copy -ignore_unknown")));

        QVERIFY2(view->events.contains(QStringLiteral("message:0:Completed")),
                 qPrintable(view->events.join('\n')));
        frontEnds.remove(0);
        QCOMPARE(frontEnds.size(), 1);
        int frames = 0;
        for (int i = 1; i <= 4; ++i)
            frames += TestMedia::RunAndRead(QStringLiteral("ffprobe"),
                                            {"-v", "error", "-count_frames", "-select_streams", "v:0",
                                             "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0",
                                             Clip(i, QStringLiteral(".mp4"))})
                          .trimmed()
                          .toInt();
        QCOMPARE(frames, 250);
        QVERIFY(!runner->EncoderRunning());
    }

    void cancelInTheMiddle() {
        Prepare(source, QStringLiteral("Test"), QStringLiteral(".mkv"));
        SetRange(QStringLiteral("00:00:00"), QStringLiteral("00:00:12"), 2);
        qint64 pid = 0;
        // The realtime filter holds ffmpeg to the clock, so the first progress report comes mid-clip.
        view->onProgress = [&] {
            if (pid == 0) {
                pid = runner->EncoderProcessId();
                runner->ConfirmCancel();
            }
        };
        runner->RunSplit(OptionsFromText(QStringLiteral(" -c:v libx264 -vf realtime -c:a aac")));

        QVERIFY(pid != 0);
        QCOMPARE(view->Events(QStringLiteral("ask:")), QStringList{"Query"});
        QVERIFY(view->Events(QStringLiteral("message:")).isEmpty());
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
        QVERIFY(!runner->EncoderRunning());
        QTRY_VERIFY(!FakeEncoder::ProcessAlive(pid));
        // The clip that was cut short leaves nothing behind, under its name or any other.
        QCOMPARE(QDir(outputDir).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

private:
    static double TimeTextToSecondsForTest(const QString& text) {
        const QStringList parts = text.split(QLatin1Char(':'));
        return parts[0].toInt() * 3600 + parts[1].toInt() * 60 + parts[2].toDouble();
    }
};

QTEST_GUILESS_MAIN(TestSplitRealEncoder)
#include "tst_splitrealencoder.moc"
