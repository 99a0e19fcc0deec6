#include "app/appcontext.h"
#include "framedmedia.h"
#include "optionstext.h"
#include "recordingview.h"
#include "split/inputcheck.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Three sections through the real front-end and ffmpeg, from sources whose pictures carry their frame
// number, cut inside their GOPs: every clip must begin with the frame shown at its start and hold exactly
// the frames up to the next section's, with its sound beside them.
class TestExactCuts : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    QString outputDir;

    // 42 s of numbered frames with a keyframe every 4 s, made once; empty when it cannot be made.
    QString LongSource() {
        const QString source = program->path() + QStringLiteral("long.mp4");
        FramedMedia::SourceSpec spec;
        spec.seconds = 42;
        spec.gopSeconds = 4;
        QString error;
        if (!QFile::exists(source) && !FramedMedia::Make(source, spec, &error))
            qWarning("%s", qPrintable(error));
        return QFile::exists(source) ? source : QString();
    }

    // A run over source from start to end, cut in sections into outputDir; the caller says how.
    SplitInputs Range(const QString& source, qint64 durationMs, const QString& start,
                      const QString& end) const {
        SplitInputs inputs;
        inputs.sourcePath = source;
        inputs.startText = start;
        inputs.endText = end;
        inputs.oneClip = false;
        inputs.profileName = QStringLiteral("Clips");
        inputs.outputDirText = outputDir;
        inputs.sourceDurationMs = durationMs;
        return inputs;
    }

    // Splits through the real front-end into ".mp4" clips; what the runner told the view, which ends in
    // "message:0:Completed" when every clip was written.
    static QStringList Split(const SplitInputs& inputs, const QString& options) {
        RecordingView view;
        view.inputs = inputs;
        view.outputExt = QStringLiteral(".mp4");
        SplitRunner runner(view);
        runner.RunSplit(OptionsFromText(options));
        return view.events;
    }

private slots:
    void initTestCase() {
        program = std::make_unique<TempProgramDir>();
        program->Write(QStringLiteral("Profiles/Clips.apf"), "[Main]\nType=mp4\n");
        program->Write(QStringLiteral("Profiles/Settings of the source file..apf"), "[Main]\nType=mp4\n");
        App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
        QVERIFY(QFile::exists(App().EncoderPath));
        outputDir = program->path() + QStringLiteral("out");
        QVERIFY(QDir().mkpath(outputDir));
    }

    void sections_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<double>("gop");
        QTest::addColumn<double>("offset");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("end");
        const QString dropFrames = QStringLiteral("select='not(eq(mod(n\\,3)\\,1))'");
        const QStringList soundLater{"-bsf:a", "setts=pts=PTS+0.5/TB:dts=DTS+0.5/TB"};
        // From 00:00:01 to 00:00:10 the sections start at 1, 4 and 7 s, to 00:00:11 at 1, 4.33 and 7.67 s.
        QTest::newRow("MP4, H.264, 10 s GOP") << "a.mp4"
                                              << "" << 10.0 << 0.0 << QStringList() << "00:00:11";
        QTest::newRow("MOV, HEVC") << "a.mov"
                                   << "libx265" << 2.0 << 0.0 << QStringList() << "00:00:10";
        QTest::newRow("MKV, variable frame rate, 10 s GOP")
            << "a.mkv"
            << "" << 10.0 << 0.0 << QStringList{"-vf", dropFrames, "-fps_mode", "vfr"} << "00:00:10";
        QTest::newRow("WebM, VP9") << "a.webm"
                                   << "" << 2.0 << 0.0 << QStringList() << "00:00:10";
        QTest::newRow("AVI, MPEG-4 Part 2") << "a.avi"
                                            << "" << 2.0 << 0.0 << QStringList() << "00:00:10";
        QTest::newRow("WMV, 10 s GOP") << "a.wmv"
                                       << "" << 10.0 << 0.0 << QStringList() << "00:00:10";
        QTest::newRow("MPEG-PS, MPEG-2") << "a.mpg"
                                         << "" << 2.0 << 0.0 << QStringList() << "00:00:10";
        QTest::newRow("VOB, open GOPs with B-frames")
            << "a.vob"
            << "" << 2.0 << 0.0 << QStringList{"-bf", "2"} << "00:00:10";
        QTest::newRow("TS from 10 s, sound starting later") << "a.ts"
                                                            << "" << 2.0 << 10.0 << soundLater << "00:00:11";
        QTest::newRow("M2TS, HEVC, 10 s GOP, from 10 s")
            << "a.m2ts"
            << "libx265" << 10.0 << 10.0 << QStringList() << "00:00:10";
        QTest::newRow("FLV, 10 s GOP") << "a.flv"
                                       << "" << 10.0 << 0.0 << QStringList() << "00:00:10";
    }
    void sections() {
        QFETCH(QString, file);
        QFETCH(QString, codec);
        QFETCH(double, gop);
        QFETCH(double, offset);
        QFETCH(QStringList, options);
        QFETCH(QString, end);
        const QString source = program->path() + file;
        FramedMedia::SourceSpec spec;
        spec.seconds = 12;
        spec.gopSeconds = gop;
        spec.timestampOffset = offset;
        spec.videoCodec = codec;
        spec.extraOptions = options;
        QString error;
        QVERIFY2(FramedMedia::Make(source, spec, &error), qPrintable(error));
        const FramedMedia::Decoded original = FramedMedia::Decode(source);
        QVERIFY(original.ok);

        SplitInputs inputs = Range(source, 12000, QStringLiteral("00:00:01"), end);
        inputs.sectionQtyText = QStringLiteral("3");
        const QStringList events = Split(inputs, QStringLiteral(" -c:v libx264 -preset ultrafast -c:a aac"));
        QVERIFY2(events.contains(QStringLiteral("message:0:Completed")), qPrintable(events.join('\n')));

        const ClipPlan plan = CheckSplitInputs(inputs).plan;
        const double frame = 1.0 / spec.fps;
        for (int i = 1; i <= plan.Count(); ++i) {
            const FramedMedia::Decoded clip =
                FramedMedia::Decode(outputDir + QStringLiteral("/a_Clip%1.mp4").arg(i));
            QVERIFY2(clip.ok && clip.errors.isEmpty(), qPrintable(clip.errors.join('\n')));
            const double start = plan.ClipStart(i);
            QCOMPARE(clip.Numbers(),
                     FramedMedia::FramesShownBetween(original, start, start + plan.ClipLength(i)));
            QVERIFY(clip.hasAudio);
            QVERIFY2(qAbs(clip.audio.start - clip.video.start) <= frame + 1e-3 &&
                         qAbs(clip.audio.end - clip.video.end) <= frame + 1e-3,
                     qPrintable(QStringLiteral("clip %1: video %2..%3, sound %4..%5")
                                    .arg(i)
                                    .arg(clip.video.start)
                                    .arg(clip.video.end)
                                    .arg(clip.audio.start)
                                    .arg(clip.audio.end)));
        }
    }

    // Clips of a chosen length cut exactly as sections do, re-encoded or copied: 5 to 40 s every 10 s
    // gives clips of 10, 10, 10 and 5 s.
    void everyLength_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("options");
        QTest::newRow("MP4 profile") << "Clips"
                                     << " -c:v libx264 -preset ultrafast -c:a aac";
        QTest::newRow("the source's settings") << "Settings of the source file."
                                               << " -map 0 -c copy";
    }
    void everyLength() {
        QFETCH(QString, profile);
        QFETCH(QString, options);
        const QString source = LongSource();
        QVERIFY(!source.isEmpty());
        const FramedMedia::Decoded original = FramedMedia::Decode(source);
        QVERIFY(original.ok);

        SplitInputs inputs = Range(source, 42000, QStringLiteral("0:0:5"), QStringLiteral("0:0:40"));
        inputs.sectionsMode = SectionsMode::Every;
        inputs.sectionQtyText = QStringLiteral("0:0:10");
        inputs.profileName = profile;
        const QStringList events = Split(inputs, options);
        QVERIFY2(events.contains(QStringLiteral("message:0:Completed")), qPrintable(events.join('\n')));

        const double seconds[] = {5, 15, 25, 35, 40};
        for (int i = 1; i <= 4; ++i) {
            const FramedMedia::Decoded clip =
                FramedMedia::Decode(outputDir + QStringLiteral("/long_Clip%1.mp4").arg(i));
            QVERIFY2(clip.ok && clip.errors.isEmpty(), qPrintable(clip.errors.join('\n')));
            QCOMPARE(clip.Numbers(), FramedMedia::FramesShownBetween(original, seconds[i - 1], seconds[i]));
        }
        QVERIFY(!QFile::exists(outputDir + QStringLiteral("/long_Clip5.mp4")));
    }

    // Clips of at most a size tile the range: exactly in exact mode, from keyframe to keyframe otherwise,
    // and none is larger than asked.
    void maxSize_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<double>("from"); // where the first clip starts: 5 s, or the keyframe nearest it
        QTest::newRow("exact") << " -map 0 -c copy" << 5.0;
        QTest::newRow("keyframes") << " -map 0 -c copy -cut_points keyframes" << 4.0;
    }
    void maxSize() {
        QFETCH(QString, options);
        QFETCH(double, from);
        const QString source = LongSource();
        QVERIFY(!source.isEmpty());
        const FramedMedia::Decoded original = FramedMedia::Decode(source);
        QVERIFY(original.ok);
        const qint64 limit = QFileInfo(source).size() / 5;
        QDir out(outputDir);
        for (const QString& name : out.entryList({QStringLiteral("long_Clip*")}, QDir::Files))
            QVERIFY(out.remove(name));

        SplitInputs inputs = Range(source, 42000, QStringLiteral("0:0:5"), QStringLiteral("0:0:40"));
        inputs.sectionsMode = SectionsMode::Size;
        inputs.sectionQtyText = QString::number(limit);
        inputs.sizeUnitBytes = 1;
        inputs.profileName = QStringLiteral("Settings of the source file.");
        inputs.sourceFrameRate = 25;
        const QStringList events = Split(inputs, options);
        QVERIFY2(events.contains(QStringLiteral("message:0:Completed")), qPrintable(events.join('\n')));

        QList<int> shown;
        int clips = 0;
        for (;; ++clips) {
            const QFileInfo clip(outputDir + QStringLiteral("/long_Clip%1.mp4").arg(clips + 1));
            if (!clip.exists())
                break;
            QVERIFY2(clip.size() <= limit, qPrintable(clip.fileName() + ": " + QString::number(clip.size())));
            const FramedMedia::Decoded decoded = FramedMedia::Decode(clip.filePath());
            QVERIFY2(decoded.ok && decoded.errors.isEmpty(), qPrintable(decoded.errors.join('\n')));
            shown += decoded.Numbers();
        }
        QVERIFY2(clips >= 4, qPrintable(QString::number(clips)));
        QCOMPARE(shown, FramedMedia::FramesShownBetween(original, from, 40));
    }
};

QTEST_GUILESS_MAIN(TestExactCuts)
#include "tst_exactcuts.moc"
