#include "decodedvideo.h"
#include "headlessprogram.h"
#include "platform/inifile.h"
#include "samplepackages.h"
#include "sourcelengthcheck.h"
#include "split/clipplan.h"
#include "split/encodercommand.h"
#include "testmedia.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// Real videos that Debian packages ship, split as a user would with tessel-split: with the MP4 profile and
// with the source's own settings at exact and at keyframe cut points, two sections each. Every clip is
// decoded: it has no more decoder errors than its source, holds the frames shown over its section (the
// copied ones identical to the source's, the re-encoded ones the same pictures), and lasts as long.
class TestRealMedia : public QObject {
    Q_OBJECT
private:
    enum class Mode { Encoded, Exact, Keyframes };

    QString cache;
    QTemporaryDir folder;
    std::unique_ptr<HeadlessProgram> exactProgram;
    std::unique_ptr<HeadlessProgram> keyframeProgram;
    // How far a re-encoded frame's thumbnail may differ from the source frame's, out of 255.
    static constexpr double Close = 8;

    static QString TimeText(double seconds) {
        const int hours = int(seconds / 3600);
        const int minutes = int(seconds / 60) % 60;
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes)
            .arg(seconds - hours * 3600 - minutes * 60, 0, 'f', 3);
    }

    // Frames shown from a time to another. A section that ends with the file (to the millisecond that the
    // length is given in) ends with the video's last frame.
    static std::pair<qsizetype, qsizetype> ShownBetween(const DecodedVideo& source, double from, double to,
                                                        double duration) {
        const qsizetype first = std::max<qsizetype>(0, source.IndexShownAt(from));
        const bool toTheEnd = source.VideoEnd() <= to + 1e-4 || to >= duration - 5e-4;
        const qsizetype stop = toTheEnd ? source.frames.size() : source.IndexShownAt(to);
        return {first, std::max(first, stop)};
    }

    // A re-encoded frame: close to the source's frame. At a cut it must also be no closer to a frame
    // beside it, unless the two differ less than the encoding does (the frame count keeps the others in
    // their places, where frames of a fast camera may differ less than the encoding noise).
    static bool SamePicture(const DecodedVideo& source, qsizetype index, const DecodedVideo::Frame& frame,
                            bool atCut) {
        const double own = DecodedVideo::Difference(frame, source.frames[index]);
        if (own > Close)
            return false;
        for (const qsizetype next : {index - 1, index + 1})
            if (atCut && next >= 0 && next < source.frames.size() &&
                DecodedVideo::Difference(frame, source.frames[next]) + 0.5 < own &&
                DecodedVideo::Difference(source.frames[index], source.frames[next]) > own)
                return false;
        return true;
    }

    static QString LengthProblem(const DecodedVideo& source, const DecodedVideo& clip, qsizetype first,
                                 qsizetype stop) {
        const double end = stop < source.frames.size() ? source.frames[stop].seconds : source.VideoEnd();
        const double span = end - source.frames[first].seconds;
        const double frame = source.VideoEnd() / double(source.frames.size());
        if (std::abs(clip.duration - span) <= 2 * frame + 0.07)
            return QString();
        return QStringLiteral("lasts %1 s instead of %2 s").arg(clip.duration).arg(span);
    }

    // Exact clips: the frames shown over the section, copied ones identical. Where the cutter re-encoded
    // more around a join, it said so, and the copied stretch is then looked for one GOP further in.
    static QString ExactProblem(const DecodedVideo& source, const DecodedVideo& clip, double start,
                                double length, double duration, Mode mode, bool widened) {
        const auto [first, stop] = ShownBetween(source, start, start + length, duration);
        if (clip.frames.size() != stop - first)
            return QStringLiteral("holds %1 frames instead of %2 (from %3)")
                .arg(clip.frames.size())
                .arg(stop - first)
                .arg(first);
        QList<qsizetype> keys;
        for (qsizetype i = first; i < stop; ++i)
            if (source.frames[i].key)
                keys << i;
        const int skip = widened ? 1 : 0;
        const qsizetype copiedFrom = mode == Mode::Exact && keys.size() > 1 + 2 * skip ? keys[skip] : stop;
        const qsizetype copiedTo =
            mode == Mode::Exact && keys.size() > 1 + 2 * skip ? keys[keys.size() - 1 - skip] : stop;
        for (qsizetype j = 0; j < clip.frames.size(); ++j) {
            const qsizetype index = first + j;
            if (clip.frames[j].checksum == source.frames[index].checksum)
                continue;
            if (index >= copiedFrom && index < copiedTo)
                return QStringLiteral("copied frame %1 differs from the source's").arg(index);
            if (!SamePicture(source, index, clip.frames[j], j == 0 || j + 1 == clip.frames.size()))
                return QStringLiteral("frame %1 of the clip is not the source's frame %2 (difference %3)")
                    .arg(j)
                    .arg(index)
                    .arg(DecodedVideo::Difference(clip.frames[j], source.frames[index]));
        }
        return LengthProblem(source, clip, first, stop);
    }

    // Keyframe clips: consecutive frames of the source from a keyframe on, each identical, following the
    // clip before without a gap or an overlap. Frames that the source hides at its end may follow where
    // the run said that they are needed.
    static QString KeyframeProblem(const DecodedVideo& source, const DecodedVideo& clip, bool showsHidden,
                                   qsizetype& next) {
        qsizetype first = -1;
        for (qsizetype i = 0; i < source.frames.size() && first < 0; ++i)
            if (source.frames[i].key && source.frames[i].checksum == clip.frames[0].checksum)
                first = i;
        if (first < 0)
            return QStringLiteral("does not begin with a keyframe of the source");
        if (next >= 0 && first != next)
            return QStringLiteral("begins with frame %1, the clip before ended before %2")
                .arg(first)
                .arg(next);
        const qsizetype shown = std::min(clip.frames.size(), source.frames.size() - first);
        next = first + shown;
        if (shown < clip.frames.size() && !showsHidden)
            return QStringLiteral("holds more frames than the source has from %1").arg(first);
        for (qsizetype j = 0; j < shown; ++j)
            if (clip.frames[j].checksum != source.frames[first + j].checksum)
                return QStringLiteral("frame %1 differs from the source's frame %2").arg(j).arg(first + j);
        return LengthProblem(source, clip, first, next);
    }

    // The real videos; start and end in seconds (an end of -1 is the video's end).
    static void AddRows() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("end");
        const QString imageio = QStringLiteral("usr/lib/python3/dist-packages/imageio/resources/images/");
        const QString mecavideo = QStringLiteral("usr/share/pymecavideo/data/video/");
        const QString opencv = QStringLiteral("usr/share/doc/opencv-doc/examples/data/");
        const QString forensics = QStringLiteral("usr/share/forensics-samples/original-files/");
        struct Row {
            QString path;
            double start;
            double end;
        };
        const Row rows[] = {
            {imageio + "cockatoo.mp4", 0.1, -1},
            {imageio + "realshort.mp4", 0.1, -1},
            {mecavideo + "Force_constante.avi", 0.1, -1},
            {mecavideo + "Principe_inertie.avi", 0.1, -1},
            {mecavideo + "balle-jbart.mp4", 0.1, -1},
            {mecavideo + "balle1-vp9.avi", 0.1, -1},
            {mecavideo + "g1.avi", 0.1, -1},
            {mecavideo + "g2.avi", 0.1, -1},
            {mecavideo + "retroMars2018.avi", 0.1, -1},
            {mecavideo + "Effet_force_magnetique.ogv", 0.1, -1},
            {opencv + "Megamind.avi", 0.1, -1},
            {opencv + "Megamind_bugy.avi", 0.1, -1},
            {opencv + "tree.avi", 8, 24},
            {opencv + "vtest.avi", 20, 35},
            {forensics + "movie1/VID_20191220_170832.mp4", 0.1, -1},
            {forensics + "movie2/movie-hello.mp4", 0.1, -1},
            {forensics + "movie2/movie-hello.avi", 0.1, -1},
            {forensics + "movie2/movie-hello.mpeg", 0.1, -1},
            {"usr/share/pampi/presentations/data/pampi-help/tour.mp4", 0.1, -1},
            {"usr/share/games/renpy/demo/game/oa4_launch.webm", 0.1, -1},
        };
        for (const Row& row : rows)
            QTest::newRow(qPrintable(QFileInfo(row.path).fileName())) << row.path << row.start << row.end;
    }

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        cache = qEnvironmentVariable("TESSEL_MEDIA_CACHE");
        QVERIFY(!cache.isEmpty());
        const QString why =
            SamplePackages::Fetch(cache, {"python3-imageio", "python3-mecavideo", "opencv-doc",
                                          "forensics-samples-files", "pampi", "renpy-demo"});
        if (!why.isEmpty())
            QSKIP(
                qPrintable(QStringLiteral("real videos skipped, the sample packages cannot be had: ") + why));
        exactProgram = std::make_unique<HeadlessProgram>();
        keyframeProgram = std::make_unique<HeadlessProgram>();
        for (const auto* program : {exactProgram.get(), keyframeProgram.get()}) {
            program->CopyShippedProfiles();
            program->UseRealEncoder();
        }
        IniFile profile(keyframeProgram->Path() +
                        QStringLiteral("Profiles/Settings of the source file..apf"));
        const QStringList values =
            profile.ReadString(QStringLiteral("Cut Points"), QStringLiteral("Value"), QString()).split(',');
        QVERIFY(values.contains(QStringLiteral("keyframes")));
        profile.WriteInteger(QStringLiteral("Cut Points"), QStringLiteral("Index"),
                             int(values.indexOf(QStringLiteral("keyframes"))));
    }

    void SplitsRight_data() { AddRows(); }
    // The length that tessel-split asks its front-end for is ffprobe's, or left to ffprobe.
    void LengthAsFfprobeTellsIt_data() { AddRows(); }
    void LengthAsFfprobeTellsIt() {
        QFETCH(QString, path);
        const LengthAnswers answers = AskFrontEndAndFfprobe(cache + QStringLiteral("/root/") + path);
        QVERIFY2(LengthDisagreement(answers).isEmpty(), qPrintable(LengthDisagreement(answers)));
        QVERIFY2(answers.probed.problem.isEmpty(), qPrintable(answers.probed.problem));
    }

    void SplitsRight() {
        QFETCH(QString, path);
        QFETCH(double, start);
        QFETCH(double, end);
        const QString source = cache + QStringLiteral("/root/") + path;
        QVERIFY2(QFile::exists(source), qPrintable(source));
        const QString scratch = folder.filePath(QStringLiteral("thumbnails"));
        const DecodedVideo original = DecodedVideo::Of(source, scratch);
        const double duration = TestMedia::ProbeDuration(source);
        if (end < 0)
            end = duration;
        QVERIFY2(original.ok, qPrintable(original.errors.join('\n')));

        struct Run {
            const HeadlessProgram* program;
            QString profile;
            Mode mode;
        };
        const QString own = QStringLiteral("Settings of the source file.");
        const Run runs[] = {{exactProgram.get(), QStringLiteral("MP4 (H.264 + AAC)"), Mode::Encoded},
                            {exactProgram.get(), own, Mode::Exact},
                            {keyframeProgram.get(), own, Mode::Keyframes}};
        const ClipPlan plan(start, end - start, 2, false);
        QStringList problems;
        int right = 0;
        int clips = 0;
        int redone = 0;
        for (const Run& run : runs) {
            const QString output =
                folder.filePath(QStringLiteral("%1/%2").arg(QTest::currentDataTag()).arg(int(run.mode)));
            QVERIFY(QDir().mkpath(output));
            const QStringList arguments{
                source, "--start",   TimeText(start), "--end",    TimeText(end), "--sections",
                "2",    "--profile", run.profile,     "--output", output,        "--overwrite"};
            const HeadlessProgram::Result result = run.program->Run(arguments);
            redone += int(result.out.count(QLatin1String("did not decode right")));
            const QString label =
                run.profile + (run.mode == Mode::Keyframes ? QStringLiteral(" at keyframes") : QString());
            qsizetype next = -1;
            for (int i = 1; i <= plan.Count(); ++i) {
                ++clips;
                const QString clipPath = ClipOutputPath(
                    output + QLatin1Char('/'), source, i,
                    ClipExtension(IsSourceSettingsProfile(run.profile), source, QStringLiteral(".mp4")));
                const QString name = QFileInfo(clipPath).fileName();
                const auto said = [&](const QString& text) {
                    return result.out.contains(QRegularExpression(QRegularExpression::escape(name) +
                                                                  QStringLiteral(": .*") + text)) ||
                           result.err.contains(QRegularExpression(QRegularExpression::escape(name) +
                                                                  QStringLiteral(": .*") + text));
                };
                const bool atKeyframes =
                    run.mode == Mode::Keyframes || said(QStringLiteral("cut at keyframes"));
                QString problem;
                if (!QFile::exists(clipPath)) {
                    // At keyframes a section between two keyframes has no frames of its own. The failure
                    // says so itself: a clip that was not written gets no notes, not even "cut at keyframes".
                    if (!said(QStringLiteral("move to the same keyframe")))
                        problem = QStringLiteral("was not written");
                } else if (const DecodedVideo clip = DecodedVideo::Of(clipPath, scratch); !clip.ok) {
                    problem = QStringLiteral("does not decode: ") + clip.errors.join(' ');
                } else if (clip.errors.size() > original.errors.size()) {
                    problem = QStringLiteral("%1 decoder errors, the source has %2: %3")
                                  .arg(clip.errors.size())
                                  .arg(original.errors.size())
                                  .arg(clip.errors.first());
                } else if (atKeyframes) {
                    problem = KeyframeProblem(original, clip,
                                              said(QStringLiteral("frames that the source hides")), next);
                } else {
                    problem = ExactProblem(original, clip, plan.ClipStart(i), plan.ClipLength(i), duration,
                                           run.mode, said(QStringLiteral("re-encoded")));
                }
                if (problem.isEmpty())
                    ++right;
                else
                    problems << QStringLiteral("%1: %2 %3").arg(label, name, problem);
            }
        }
        qInfo("%s: %d of %d clips right, %d joins redone", QTest::currentDataTag(), right, clips, redone);
        QEXPECT_FAIL("movie-hello.mpeg",
                     "at keyframes the frames shown before an open GOP's keyframe are left out of both clips",
                     Continue);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestRealMedia)
#include "tst_realmedia.moc"
