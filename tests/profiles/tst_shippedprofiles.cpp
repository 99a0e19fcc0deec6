#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"
#include "testmedia.h"

#include <QDir>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <memory>
#include <vector>

// Every shipped profile, with its default choices and with each other choice of each list item, must
// make the encoder front-end with Debian's ffmpeg write a clip that ffprobe accepts, with the streams the
// choices ask for.
namespace {

const QString StreamCopyProfile = QStringLiteral("Settings of the source file.");

struct Clip {
    QString description;
    QStringList arguments;
    QString output;
    QString failure;
};

// The committed files: the program folder keeps a person's edits of its copies across builds.
QString ShippedProfilesDir() {
    return qEnvironmentVariable("TESSEL_SOURCE_DIR") + QStringLiteral("/data/Profiles/");
}

// Runs a program to its end; returns its exit code, or -1 when it did not start or finish.
int Run(const QString& program, const QStringList& arguments, QString& output) {
    int code = 0;
    output = TestMedia::RunMerged(program, arguments, &code).trimmed();
    return code;
}

void Encode(const QString& source, Clip& clip) {
    QString output;
    // Through the encoder front-end, as a run starts it: some options are its own. A stream copy takes the
    // whole source, whose only keyframe is its first, so that cuts at keyframes leave something.
    const QString length =
        clip.arguments.contains(QStringLiteral("copy")) ? QStringLiteral("2") : QStringLiteral("1");
    const QStringList arguments =
        QStringList{"-y", "-i", source, "-ss", "0", "-t", length} + clip.arguments + QStringList{clip.output};
    if (Run(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"), arguments, output) !=
        0) {
        clip.failure = QStringLiteral("the encoder failed: ") + output.right(400);
        return;
    }
    if (Run(QStringLiteral("ffprobe"),
            {"-v", "error", "-show_entries", "stream=codec_type", "-of", "csv=p=0", clip.output},
            output) != 0) {
        clip.failure = QStringLiteral("ffprobe refused the clip: ") + output.right(400);
        return;
    }
    QStringList streams;
    // A stream with side data gets more fields after its type.
    for (const QString& line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        streams << line.section(QLatin1Char(','), 0, 0).trimmed();
    const bool wantVideo = !clip.arguments.contains(QStringLiteral("-vn"));
    const bool wantAudio = !clip.arguments.contains(QStringLiteral("-an"));
    if (streams.contains(QStringLiteral("video")) != wantVideo ||
        streams.contains(QStringLiteral("audio")) != wantAudio)
        clip.failure = QStringLiteral("unexpected streams: ") + streams.join(QLatin1Char(' '));
    QFile::remove(clip.output);
}

// Encodes the clips on as many threads as the machine has cores.
void EncodeAll(const QString& source, std::vector<Clip>& clips) {
    std::atomic<size_t> next{0};
    std::vector<std::unique_ptr<QThread>> workers;
    for (int i = 0; i < std::max(1, QThread::idealThreadCount()); ++i) {
        workers.emplace_back(QThread::create([&] {
            for (size_t index = next++; index < clips.size(); index = next++)
                Encode(source, clips[index]);
        }));
        workers.back()->start();
    }
    for (auto& worker : workers)
        worker->wait();
}

} // namespace

class TestShippedProfiles : public QObject {
    Q_OBJECT
private:
    QTemporaryDir media;

    QString MakeSource(const QString& extension) {
        const QString path = media.filePath(QStringLiteral("source.") + extension);
        QString error;
        if (!QFile::exists(path) && !TestMedia::MakeVideo(path, 2, {}, &error, QStringLiteral("160x120")))
            qWarning("%s", qPrintable(error));
        return path;
    }

private slots:
    void initTestCase() {
        QVERIFY2(QDir(ShippedProfilesDir()).exists(),
                 "TESSEL_SOURCE_DIR names no source tree with data/Profiles");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty(),
                 "ffmpeg is not installed");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("ffprobe")).isEmpty(),
                 "ffprobe is not installed");
        QVERIFY(QFile::exists(MakeSource(QStringLiteral("mp4"))));
    }

    void theShippedSet() {
        QStringList names;
        for (const QString& file : ListFilesByExtension(ShippedProfilesDir(), QStringLiteral(".apf")))
            names << RemoveExtension(file);
        QCOMPARE(names, (QStringList{"AVI (MPEG-4 + MP3)", "MKV (H.264 + AAC)", "MOV (H.264 + AAC)",
                                     "MP3 (audio only)", "MP4 (H.264 + AAC)", "MPEG-2 (.mpg)",
                                     StreamCopyProfile, "WebM (VP9 + Opus)", "WMV (WMV2 + WMA2)"}));
    }

    void everyChoiceMakesAClip_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sourceExtension");
        for (const QString& file : ListFilesByExtension(ShippedProfilesDir(), QStringLiteral(".apf")))
            QTest::newRow(qPrintable(file)) << RemoveExtension(file) << "mp4";
        // The stream copy keeps the source's container, so it is tried on the others as well.
        for (const char* extension : {"avi", "mkv", "mov", "mpg", "wmv", "webm"})
            QTest::addRow("%s from %s", qPrintable(StreamCopyProfile), extension)
                << StreamCopyProfile << extension;
    }
    void everyChoiceMakesAClip() {
        QFETCH(QString, name);
        QFETCH(QString, sourceExtension);
        const QString source = MakeSource(sourceExtension);
        QVERIFY2(QFile::exists(source), "the test source could not be made");
        const QString path = ShippedProfilesDir() + name + QStringLiteral(".apf");
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        const QString extension =
            name == StreamCopyProfile ? QStringLiteral(".") + sourceExtension : lists.OutputExt();

        QTemporaryDir clipsDir;
        std::vector<Clip> clips;
        QSet<QString> seen;
        auto addClip = [&](const QString& description) {
            ProfileOptions options;
            BuildProfileArguments(path, options, lists);
            QVERIFY2(!options.Refused(), qPrintable(description + QStringLiteral(": ") + options.Refusal()));
            // Choices that give the same options (Original Size and Custom Size) need one run only.
            const QString text = options.Text();
            if (seen.contains(text))
                return;
            seen.insert(text);
            const QStringList arguments = options.Arguments();
            if (arguments.contains(QStringLiteral("-vn")) && arguments.contains(QStringLiteral("-an"))) {
                qInfo("Skipped %s: a clip without video and audio cannot be written",
                      qPrintable(description));
                return;
            }
            clips.push_back(Clip{
                description, arguments,
                clipsDir.filePath(QStringLiteral("clip%1%2").arg(clips.size()).arg(extension)), QString()});
        };

        addClip(QStringLiteral("default choices"));
        for (ValueListModel* list : {&lists.vleVideo, &lists.vleAudio, &lists.vleAdvanced}) {
            for (int row = 0; row < list->RowCount(); ++row) {
                if (list->Style(row) != ValueListModel::EditStyle::PickList)
                    continue;
                const QString current = list->Value(row);
                if (list->Key(row) == QStringLiteral("Video Size"))
                    QCOMPARE(list->PickList(row).mid(0, 2), (QStringList{"Original Size", "Custom Size"}));
                for (const QString& choice : list->PickList(row)) {
                    list->SetValue(row, choice);
                    addClip(list->Key(row) + QStringLiteral(" = ") + choice);
                }
                list->SetValue(row, current);
            }
        }
        QVERIFY(!clips.empty());

        EncodeAll(source, clips);
        QStringList failures;
        for (const Clip& clip : clips) {
            if (!clip.failure.isEmpty())
                failures << clip.description + QStringLiteral(" (") + clip.arguments.join(QLatin1Char(' ')) +
                                QStringLiteral("): ") + clip.failure;
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }

    // A source of an odd size: every profile keeps its whole picture, the encoders that need even sizes
    // getting one row or column more, and the stream copy (cut exactly, its head re-encoded) the same size.
    void oddSizesKeepEveryPicture_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("source");
        const struct {
            const char* file;
            const char* size;
            const char* pixels;
        } sources[] = {{"odd422.mp4", "640x465", "yuv422p"}, {"odd444.mkv", "274x269", "yuv444p"}};
        for (const auto& source : sources) {
            const QString path = media.filePath(QLatin1String(source.file));
            const QStringList size = QString(QLatin1String(source.size)).split(QLatin1Char('x'));
            QString output;
            // An odd size needs whole chroma samples, so the picture is cut from a 4:4:4 one.
            const QString picture = QStringLiteral("testsrc2=s=%1x%2:r=25:d=2,crop=%1:%3:0:0,format=yuv444p")
                                        .arg(size[0])
                                        .arg(size[1].toInt() + 1)
                                        .arg(size[1]);
            QVERIFY2(Run(QStringLiteral("ffmpeg"),
                         {"-v",    "error", "-y",       "-f",   "lavfi",   "-i",        picture,       "-f",
                          "lavfi", "-i",    "sine=d=2", "-c:v", "libx264", "-pix_fmt",  source.pixels, "-g",
                          "10",    "-bf",   "2",        "-c:a", "aac",     "-shortest", path},
                         output) == 0,
                     qPrintable(output));
            for (const QString& file : ListFilesByExtension(ShippedProfilesDir(), QStringLiteral(".apf")))
                if (!file.startsWith(QLatin1String("MP3")))
                    QTest::addRow("%s, %s", source.size, qPrintable(RemoveExtension(file)))
                        << RemoveExtension(file) << path;
        }
    }
    void oddSizesKeepEveryPicture() {
        QFETCH(QString, name);
        QFETCH(QString, source);
        const QString path = ShippedProfilesDir() + name + QStringLiteral(".apf");
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        ProfileOptions options;
        BuildProfileArguments(path, options, lists);
        QVERIFY2(!options.Refused(), qPrintable(options.Refusal()));
        const bool copied = name == StreamCopyProfile;
        const QString clip =
            media.filePath(QStringLiteral("odd_clip") +
                           (copied ? QLatin1Char('.') + QFileInfo(source).suffix() : lists.OutputExt()));
        QString output;
        QVERIFY2(Run(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"),
                     QStringList{"-y", "-i", source, "-ss", "0.3", "-t", "1.2"} + options.Arguments() +
                         QStringList{clip},
                     output) == 0,
                 qPrintable(output));
        QVERIFY2(!output.contains(QLatin1String("note: ")), qPrintable(output));
        // Decoded whole: no decoder errors, every frame of the 1.2 s there, the picture whole.
        QVERIFY2(Run(QStringLiteral("ffmpeg"),
                     {"-v", "error", "-i", clip, "-map", "0:v:0", "-f", "null", "-"}, output) == 0 &&
                     output.isEmpty(),
                 qPrintable(output));
        QVERIFY(Run(QStringLiteral("ffprobe"),
                    {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                     "stream=width,height,nb_read_frames", "-of", "csv=p=0", clip},
                    output) == 0);
        const QStringList sourceSize = QFileInfo(source).baseName() == QLatin1String("odd422")
                                           ? QStringList{"640", "465"}
                                           : QStringList{"274", "269"};
        const auto even = [](const QString& side) { return QString::number((side.toInt() + 1) / 2 * 2); };
        const QStringList expected =
            copied ? sourceSize : QStringList{even(sourceSize[0]), even(sourceSize[1])};
        QCOMPARE(output.split(QLatin1Char(',')).mid(0, 2), expected);
        QCOMPARE(output.split(QLatin1Char(',')).value(2).toInt(), 30);
    }
};

QTEST_GUILESS_MAIN(TestShippedProfiles)
#include "tst_shippedprofiles.moc"
