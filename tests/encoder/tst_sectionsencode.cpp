#include "contract/sessionprotocol.h"
#include "framedmedia.h"
#include "testmedia.h"
#include "together/sectionsplan.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

// Sections of one range made by one encode: which groups of clips may be, and, through the real
// front-end and ffmpeg, that each clip holds exactly its section's frames with its sound beside them,
// also when the encoder does not put a keyframe where it was asked to.
class TestSectionsEncode : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    QString source;
    FramedMedia::Decoded original;

    static std::vector<std::string> ClipArguments(double start, double length, const QStringList& options,
                                                  const QString& muxer, const QString& output,
                                                  const QString& from = QStringLiteral("/videos/a.mp4")) {
        std::vector<std::string> arguments{"-y",
                                           "-i",
                                           from.toStdString(),
                                           "-ss",
                                           Contract::SecondsText(start),
                                           "-t",
                                           Contract::SecondsText(length)};
        for (const QString& option : options)
            arguments.push_back(option.toStdString());
        arguments.insert(arguments.end(), {"-f", muxer.toStdString(), output.toStdString()});
        return arguments;
    }

    // An ffmpeg that logs each start and, when told to, leaves the forced keyframes out, as an encoder
    // that ignores them would.
    QString FfmpegWrapper(bool dropForcedKeys) const {
        const QString path = program->path() + QStringLiteral("ffmpeg");
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            return QString();
        script.write("#!/bin/bash\n"
                     "echo start >> \"$(dirname \"$0\")/ffmpeg.log\"\n"
                     "args=()\n"
                     "while [ $# -gt 0 ]; do\n");
        if (dropForcedKeys)
            script.write("  if [ \"$1\" = -force_key_frames ]; then shift 2; continue; fi\n");
        script.write("  args+=(\"$1\"); shift\n"
                     "done\n"
                     "exec ffmpeg \"${args[@]}\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(program->path() + QStringLiteral("ffmpeg.log"));
        return path;
    }
    int FfmpegStarts() const {
        QFile log(program->path() + QStringLiteral("ffmpeg.log"));
        return log.open(QIODevice::ReadOnly) ? int(log.readAll().count('\n')) : 0;
    }

    // The clips handed to one session as sections made together; their clip-end codes in order.
    QList<int> RunSession(const std::vector<std::vector<std::string>>& clips, const QString& ffmpeg) const {
        QByteArray input;
        for (std::size_t i = 0; i < clips.size(); ++i) {
            std::vector<std::string> arguments = clips[i];
            if (i + 1 < clips.size())
                arguments.insert(arguments.begin(), Contract::WithNextOption);
            input += QByteArray::fromStdString(Contract::FrameClipArguments(arguments).value());
        }
        QProcess frontEnd;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TESSEL_FFMPEG"), ffmpeg);
        frontEnd.setProcessEnvironment(environment);
        frontEnd.start(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"),
                       {QString::fromLatin1(Contract::ClipsOption)});
        frontEnd.write(input);
        frontEnd.closeWriteChannel();
        frontEnd.waitForFinished(240000);
        Contract::RecordReader reader;
        const QByteArray output = frontEnd.readAllStandardError();
        reader.Feed(std::string_view(output.constData(), std::size_t(output.size())));
        QList<int> ends;
        while (const auto piece = reader.Next())
            if (piece->isRecord && piece->word == Contract::ClipEndWord)
                ends << Contract::ClipEndCode(piece->value);
        return ends;
    }

private slots:
    void initTestCase() {
        program = std::make_unique<TempProgramDir>();
        source = program->path() + QStringLiteral("numbered.mp4");
        FramedMedia::SourceSpec spec;
        spec.seconds = 12;
        spec.gopSeconds = 10;
        // B-frames: a keyframe's decoding time then comes before its own time, as in most real files.
        spec.extraOptions = QStringList{"-bf", "2"};
        QString error;
        QVERIFY2(FramedMedia::Make(source, spec, &error), qPrintable(error));
        original = FramedMedia::Decode(source);
        QVERIFY(original.ok);
    }

    void groupRefusal_data() {
        QTest::addColumn<QStringList>("firstOptions");
        QTest::addColumn<QStringList>("otherOptions");
        QTest::addColumn<QString>("muxer");
        QTest::addColumn<double>("gap");
        QTest::addColumn<bool>("together");
        const QStringList x264{"-c:v", "libx264"};
        QTest::newRow("MP4 sections") << x264 << x264 << "mp4" << 0.0 << true;
        QTest::newRow("WebM sections") << QStringList{"-c:v", "libvpx-vp9"}
                                       << QStringList{"-c:v", "libvpx-vp9"} << "webm" << 0.0 << true;
        QTest::newRow("a gap before the last clip") << x264 << x264 << "mp4" << 0.5 << false;
        QTest::newRow("other options for one clip")
            << QStringList{"-c:v", "libx265"} << x264 << "mp4" << 0.0 << false;
        QTest::newRow("a stream copy")
            << QStringList{"-c", "copy"} << QStringList{"-c", "copy"} << "mp4" << 0.0 << false;
        QTest::newRow("no video") << QStringList{"-vn"} << QStringList{"-vn"} << "mp4" << 0.0 << false;
        QTest::newRow("a frame rate of their own")
            << QStringList{"-r", "25"} << QStringList{"-r", "25"} << "mp4" << 0.0 << false;
        QTest::newRow("muxer options") << QStringList{"-movflags", "+faststart"}
                                       << QStringList{"-movflags", "+faststart"} << "mp4" << 0.0 << false;
        QTest::newRow("AVI keeps codec headers in the frames") << x264 << x264 << "avi" << 0.0 << false;
        QTest::newRow("WMA needs what the pipe leaves out")
            << QStringList() << QStringList() << "asf" << 0.0 << false;
    }
    void groupRefusal() {
        QFETCH(QStringList, firstOptions);
        QFETCH(QStringList, otherOptions);
        QFETCH(QString, muxer);
        QFETCH(double, gap);
        QFETCH(bool, together);
        std::vector<EncoderFrontEnd::CheckedClip> clips;
        for (int i = 0; i < 3; ++i) {
            clips.push_back(EncoderFrontEnd::CheckClipArguments(
                ClipArguments(1 + 3 * i + (i == 2 ? gap : 0), 3, i == 0 ? firstOptions : otherOptions, muxer,
                              QStringLiteral("/out/c%1.%2").arg(i).arg(muxer))));
            QVERIFY2(clips.back().problem.empty(), clips.back().problem.c_str());
        }
        const std::string refusal = Together::GroupRefusal(clips);
        QVERIFY2(refusal.empty() == together, refusal.c_str());
    }

    void sectionsFromOneEncode_data() {
        QTest::addColumn<QString>("muxer");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("ignoreForcedKeys");
        QTest::addColumn<int>("ffmpegStarts");
        const QStringList x264{"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac"};
        QTest::newRow("MP4") << "mp4" << x264 << false << 1;
        QTest::newRow("Matroska") << "matroska" << x264 << false << 1;
        QTest::newRow("WebM, VP9 and Opus")
            << "webm" << QStringList{"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8"} << false
            << 1;
        // The missing keyframe shows at the first cut: the encode stops, and every clip is encoded alone.
        QTest::newRow("an encoder that ignores forced keyframes") << "mp4" << x264 << true << 4;
    }
    void sectionsFromOneEncode() {
        QFETCH(QString, muxer);
        QFETCH(QStringList, options);
        QFETCH(bool, ignoreForcedKeys);
        QFETCH(int, ffmpegStarts);
        const QString extension = muxer == QLatin1String("matroska") ? QStringLiteral("mkv") : muxer;
        // Sections at 1, 4.3 and 7.7 s: inside the source's 10 s group of pictures, off its frame grid.
        const double length = 10.0 / 3;
        std::vector<std::vector<std::string>> clips;
        QStringList outputs;
        for (int i = 0; i < 3; ++i) {
            outputs << program->path() + QStringLiteral("clip%1.%2").arg(i + 1).arg(extension);
            clips.push_back(ClipArguments(1 + i * length, length, options, muxer, outputs.last(), source));
        }

        QCOMPARE(RunSession(clips, FfmpegWrapper(ignoreForcedKeys)), QList<int>({0, 0, 0}));
        QCOMPARE(FfmpegStarts(), ffmpegStarts);

        // One audio frame: 1024 samples of AAC at 48 kHz, or 20 ms of Opus, and a millisecond of rounding.
        const double audioFrame = 0.0213 + 1e-3;
        for (int i = 0; i < 3; ++i) {
            const FramedMedia::Decoded clip = FramedMedia::Decode(outputs.at(i));
            QVERIFY2(clip.ok && clip.errors.isEmpty(), qPrintable(clip.errors.join('\n')));
            const double start = 1 + i * length;
            QCOMPARE(clip.Numbers(), FramedMedia::FramesShownBetween(original, start, start + length));
            QVERIFY(clip.hasAudio);
            QVERIFY2(qAbs(clip.audio.start - clip.video.start) <= audioFrame &&
                         qAbs(clip.audio.end - clip.video.end) <= audioFrame,
                     qPrintable(QStringLiteral("clip %1: video %2..%3, sound %4..%5")
                                    .arg(i + 1)
                                    .arg(clip.video.start)
                                    .arg(clip.video.end)
                                    .arg(clip.audio.start)
                                    .arg(clip.audio.end)));
        }
    }
};

QTEST_GUILESS_MAIN(TestSectionsEncode)
#include "tst_sectionsencode.moc"
