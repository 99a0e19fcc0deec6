#include "framedmedia.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Stream copies through the real encoder front-end, from sources whose pictures carry their frame number:
// three sections must hold exactly the frames of the range between them, decode without errors, play in
// GStreamer and keep audio with video.
class TestLosslessCut : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;
    QString frontEnd;

    static constexpr double RangeStart = 1.3;
    static constexpr double RangeEnd = 10.7;
    static constexpr int Sections = 3;

    // The front-end's notes are records of their own: a NUL byte, the word and the text.
    static QString NoteStart() { return QChar(u'\0') + QStringLiteral("note "); }

    struct ClipRun {
        int exitCode = -1;
        QString output;
    };

    ClipRun Cut(const QString& source, double start, double length, const QString& mode,
                const QString& clip) const {
        QStringList arguments{"-y",
                              "-i",
                              source,
                              "-ss",
                              QString::number(start, 'g', 17),
                              "-t",
                              QString::number(length, 'g', 17),
                              "-map",
                              "0",
                              "-c",
                              "copy",
                              "-ignore_unknown"};
        if (!mode.isEmpty())
            arguments << "-cut_points" << mode;
        arguments << clip;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(frontEnd, arguments);
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAll())};
    }

    // The GStreamer pipeline of the preview, run as fast as it goes.
    static bool PlaysInGStreamer(const QString& path) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("gst-launch-1.0"), {"-q",
                                                         "uridecodebin",
                                                         "uri=" + QUrl::fromLocalFile(path).toString(),
                                                         "name=d",
                                                         "d.",
                                                         "!",
                                                         "queue",
                                                         "!",
                                                         "video/x-raw",
                                                         "!",
                                                         "fakesink",
                                                         "sync=false",
                                                         "d.",
                                                         "!",
                                                         "queue",
                                                         "!",
                                                         "audio/x-raw",
                                                         "!",
                                                         "fakesink",
                                                         "sync=false"});
        return process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        frontEnd = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
        QVERIFY(QFile::exists(frontEnd));
    }

    void SectionsHoldExactlyTheirFrames_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<double>("gop");
        QTest::addColumn<double>("offset");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("size");
        struct Row {
            const char* name;
            const char* extension;
            const char* codec;
            double gop;
            double offset;
            QStringList extra;
            const char* mode;
            const char* size = "160x120";
        };
        const QStringList fastAom{"-cpu-used", "8", "-usage", "realtime"};
        const Row rows[] = {
            {"MP4 H.264, B-frames, 10 s GOP", "mp4", "libx264", 10, 0, {}, "exact"},
            {"MKV HEVC, 2 s GOP", "mkv", "libx265", 2, 0, {}, "exact"},
            {"WebM VP9, 10 s GOP", "webm", "", 10, 0, {}, "exact"},
            {"TS H.264 starting at 10 s", "ts", "libx264", 2, 10, {}, "exact"},
            {"MPEG-PS MPEG-2 with B-frames", "mpg", "", 2, 0, {"-bf", "2"}, "exact"},
            {"MOV H.264 10-bit, default mode", "mov", "libx264", 1, 0, {"-pix_fmt", "yuv420p10le"}, ""},
            {"MKV MPEG-4 Part 2 with B-frames", "mkv", "mpeg4", 10, 0, {"-bf", "1"}, "exact"},
            {"MP4 at keyframes", "mp4", "libx264", 2, 0, {}, "keyframes"},
            {"TS at keyframes", "ts", "libx264", 2, 10, {}, "keyframes"},
            {"MKV at keyframes, 4 s GOP", "mkv", "libx264", 4, 0, {}, "keyframes"},
            {"MP4 AV1, 4 s GOP", "mp4", "libaom-av1", 4, 0, fastAom, "exact"},
            // SVT-AV1 takes even sizes only: the head is encoded with libaom.
            {"WebM AV1, odd size", "webm", "libaom-av1", 2, 0, fastAom, "exact", "161x121"},
            // Intra-only: every frame is a keyframe, so cuts are exact with nothing re-encoded and no note.
            {"AVI MJPEG", "avi", "mjpeg", 1, 0, {"-strict", "-1"}, "exact"},
            {"MOV ProRes", "mov", "prores_ks", 1, 0, {"-pix_fmt", "yuv422p10le"}, "exact"},
        };
        for (const Row& row : rows)
            QTest::newRow(row.name) << QString(row.extension) << QString(row.codec) << row.gop << row.offset
                                    << row.extra << QString(row.mode) << QString(row.size);
    }
    void SectionsHoldExactlyTheirFrames() {
        QFETCH(QString, extension);
        QFETCH(QString, codec);
        QFETCH(double, gop);
        QFETCH(double, offset);
        QFETCH(QStringList, extra);
        QFETCH(QString, mode);
        QFETCH(QString, size);
        FramedMedia::SourceSpec spec;
        spec.size = size;
        spec.seconds = 12;
        spec.gopSeconds = gop;
        spec.videoCodec = codec;
        spec.timestampOffset = offset;
        spec.extraOptions = extra;
        const QString source =
            folder.filePath(QStringLiteral("%1.%2").arg(QTest::currentDataTag(), extension));
        QString error;
        QVERIFY2(FramedMedia::Make(source, spec, &error), qPrintable(error));
        const FramedMedia::Decoded original = FramedMedia::Decode(source);
        QVERIFY(original.ok);

        const bool exact = mode != QLatin1String("keyframes");
        const double length = (RangeEnd - RangeStart) / Sections;
        QList<int> frames;
        for (int i = 0; i < Sections; ++i) {
            const double start = RangeStart + i * length;
            const QString clip = folder.filePath(QStringLiteral("clip%1.%2").arg(i).arg(extension));
            const ClipRun run = Cut(source, start, length, mode, clip);
            QVERIFY2(run.exitCode == 0, qPrintable(run.output));
            QCOMPARE(run.output.contains(NoteStart()), !exact);
            const FramedMedia::Decoded decoded = FramedMedia::Decode(clip);
            QVERIFY2(decoded.ok && decoded.errors.isEmpty(), qPrintable(decoded.errors.join('\n')));
            if (exact)
                QCOMPARE(decoded.FirstNumber(), FramedMedia::FrameShownAt(original, start));
            const double frame = 1.0 / spec.fps;
            QVERIFY2(std::abs(decoded.audio.start - decoded.video.start) <= frame &&
                         std::abs(decoded.audio.end - decoded.video.end) <= frame,
                     qPrintable(QStringLiteral("video %1-%2, audio %3-%4")
                                    .arg(decoded.video.start)
                                    .arg(decoded.video.end)
                                    .arg(decoded.audio.start)
                                    .arg(decoded.audio.end)));
            QVERIFY2(PlaysInGStreamer(clip), qPrintable(clip));
            frames << decoded.Numbers();
        }
        // The sections tile: every frame once, in order; in exact mode from the frame shown at the range's
        // start to the one before the frame shown at its end.
        for (int i = 1; i < frames.size(); ++i)
            QVERIFY2(frames[i] == frames[i - 1] + 1,
                     qPrintable(QStringLiteral("frame %1 follows %2").arg(frames[i]).arg(frames[i - 1])));
        if (exact) {
            QCOMPARE(frames.first(), FramedMedia::FrameShownAt(original, RangeStart));
            QCOMPARE(frames.last(), FramedMedia::FrameShownAt(original, RangeEnd) - 1);
        }
    }

    // A codec that cannot be re-encoded here is cut at keyframes, and the run is told so.
    void OtherCodecsFallBackToKeyframes() {
        FramedMedia::SourceSpec spec;
        spec.seconds = 6;
        spec.videoCodec = QStringLiteral("libtheora");
        const QString source = folder.filePath(QStringLiteral("theora.ogv"));
        QString error;
        QVERIFY2(FramedMedia::Make(source, spec, &error), qPrintable(error));
        const ClipRun run =
            Cut(source, 1.3, 2, QString(), folder.filePath(QStringLiteral("theora_clip.ogv")));
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.output.contains(NoteStart() + "theora video cannot be re-encoded here"),
                 qPrintable(run.output));
    }
};

QTEST_GUILESS_MAIN(TestLosslessCut)
#include "tst_losslesscut.moc"
