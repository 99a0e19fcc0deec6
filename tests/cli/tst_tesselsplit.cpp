#include "fakefrontend.h"
#include "headlessprogram.h"
#include "testmedia.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>
#include <csignal>
#include <sys/stat.h>

namespace {

// The worked example profile: its options are " -vcodec xvid -ab 128 -an " and its clips are ".avi".
const QByteArray ExampleProfile =
    "[Main]\nType=avi\nPara=4\n0=Video Codec\n1=Video Size\n2=Audio Bitrate\n"
    "3=Disable Audio\n"
    "[Video Codec]\nSort=1\ncmd=-vcodec\nCaption=MPEG-4,XviD,\nValue=mpeg4,xvid,\n"
    "Index=1\n"
    "[Video Size]\nSort=1\ncmd=-s\nCaption=Original Size,Custom Size,320x240,\n"
    "Value=,,320x240,\n"
    "[Audio Bitrate]\nSort=2\nList=0\ncmd=-ab\nCaption=128\nValue=128\n"
    "[Disable Audio]\nSort=2\ncmd=-an\nCaption=No,Yes,\nValue=,\\,\nIndex=1\n";
// Another profile that sorts after it, for the stored choice.
const QByteArray PlainProfile = "[Main]\nType=mkv\nPara=0\n";

const char* const SuccessBody = "printf 'frame=1 time=00:00:01.00 bitrate=1\\r'\necho clip > \"$out\"";

// A run over file from start to end; the rows add what they differ in.
QStringList Range(const QString& file, const QString& start, const QString& end) {
    return {file, "--start", start, "--end", end};
}

bool ProcessAlive(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = status.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) != "Z";
}

// How many live processes run the program file at path.
int ProcessesRunning(const QString& path) {
    int count = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (number && commandLine.open(QIODevice::ReadOnly) &&
            commandLine.readAll().split('\0').contains(QFile::encodeName(path)) && ProcessAlive(pid))
            ++count;
    }
    return count;
}

} // namespace

// tessel-split run as a person or a script would: a program folder of its own, real media, and the real
// or a fake encoder front-end beside it.
class TestTesselSplit : public QObject {
    Q_OBJECT
private:
    HeadlessProgram program;
    QString source;     // 64 s, for the range examples
    QString realSource; // 12 s H.264, for the real run
    QString clips;

    QStringList Files(const QString& folder) const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    void EmptyClips() {
        for (const QString& name : Files(clips))
            QFile::remove(clips + name);
        program.Remove(QStringLiteral("calls.log"));
        program.Remove(QStringLiteral("pid"));
    }

private slots:
    void initTestCase() {
        QString error;
        QVERIFY(QDir().mkpath(program.Path() + QStringLiteral("Video")));
        source = program.Path() + QStringLiteral("Video/talk.avi");
        QVERIFY2(TestMedia::MakeVideo(source, 64, {}, &error, QStringLiteral("64x48")), qPrintable(error));
        realSource = program.Path() + QStringLiteral("Video/holiday.mp4");
        QVERIFY2(TestMedia::MakeVideo(realSource, 12,
                                      {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"}, &error),
                 qPrintable(error));
        clips = program.Path() + QStringLiteral("Clips/");
        QVERIFY(QDir().mkpath(clips));
        program.Write(QStringLiteral("Profiles/Example.apf"), ExampleProfile);
        program.Write(QStringLiteral("Profiles/Plain.apf"), PlainProfile);
        program.Write(QStringLiteral("notes.mp4"), "not a video\n");
        // A playlist posing as a video, naming the real one beside it.
        program.Write(QStringLiteral("Video/list.mp4"),
                      "#EXTM3U\n#EXT-X-TARGETDURATION:12\n#EXTINF:12,\nholiday.mp4\n#EXT-X-ENDLIST\n");
        program.Write(
            QStringLiteral("Profiles/Zz Broken.apf"),
            "[Main]\nPara=1\n0=Codec\n[Codec]\nSort=1\nCaption=A,B,\nValue=a,b,\nIndex=5\ncmd=-c\n");
        program.Write(QStringLiteral("Profiles/Zz Shared.apf"),
                      "[Main]\nPara=1\n0=Encoding Speed\n[Encoding Speed]\nSort=3\nList=0\ncmd=-preset\n"
                      "Caption=veryfast /some/folder/new.mkv\n");
        // A Type that would make the HLS muxer write a playlist and segments outside the clips' folder.
        program.Write(QStringLiteral("Profiles/Zz Type.apf"),
                      "[Main]\nType=x%v/../../../../tmp/elsewhere/pwned.m3u8\nPara=0\n");
    }
    void cleanup() {
        EmptyClips();
        program.Remove(QStringLiteral("Preferences.ini"));
        program.Remove(QStringLiteral("wmaspi.dll"));
    }

    void dryRunPrintsTheCommandLines_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<QStringList>("lines"); // SRC and OUT stand for the source and the clips' folder

        const QStringList example{"--profile", "Example", "--output", "Clips"};
        QTest::newRow("60 to 90 seconds as one clip")
            << Range("Video/talk.avi", "00:01:00", "00:01:30") + example << QByteArray()
            << QStringList{R"( -y -i "SRC" -ss 60.0 -t 30 -vcodec xvid -ab 128 -an  "OUT/talk_Clip1.avi")"};
        QTest::newRow("0 to 10 seconds in 3 sections")
            << Range("Video/talk.avi", "0:0:0", "0:0:10") + QStringList{"--sections", "3"} + example
            << QByteArray()
            << QStringList{
                   R"( -y -i "SRC" -ss 0.0 -t 3.33333333333333 -vcodec xvid -ab 128 -an  "OUT/talk_Clip1.avi")",
                   R"( -y -i "SRC" -ss 3.3 -t 3.33333333333333 -vcodec xvid -ab 128 -an  "OUT/talk_Clip2.avi")",
                   R"( -y -i "SRC" -ss 6.7 -t 3.33333333333333 -vcodec xvid -ab 128 -an  "OUT/talk_Clip3.avi")"};
        QTest::newRow("5 to 40 seconds every 10 seconds")
            << Range("Video/talk.avi", "0:0:5", "0:0:40") + QStringList{"--every", "10"} + example
            << QByteArray()
            << QStringList{R"( -y -i "SRC" -ss 5.0 -t 10 -vcodec xvid -ab 128 -an  "OUT/talk_Clip1.avi")",
                           R"( -y -i "SRC" -ss 15.0 -t 10 -vcodec xvid -ab 128 -an  "OUT/talk_Clip2.avi")",
                           R"( -y -i "SRC" -ss 25.0 -t 10 -vcodec xvid -ab 128 -an  "OUT/talk_Clip3.avi")",
                           R"( -y -i "SRC" -ss 35.0 -t 5 -vcodec xvid -ab 128 -an  "OUT/talk_Clip4.avi")"};
        QTest::newRow("fractional seconds and an end past the source")
            << Range("Video/talk.avi", "0:0:1.25", "0:2:0") + example << QByteArray()
            << QStringList{
                   R"( -y -i "SRC" -ss 1.3 -t 118.75 -vcodec xvid -ab 128 -an  "OUT/talk_Clip1.avi")"};
        QTest::newRow("stored profile, source's own folder")
            << Range("Video/talk.avi", "0:0:2", "0:0:4")
            << QByteArray("[Main]\nProfile=1\nAptotic=0\nOutput Dir=/nowhere/\n")
            << QStringList{R"( -y -i "SRC" -ss 2.0 -t 2 "SRC_FOLDER/talk_Clip1.mkv")"};
        QTest::newRow("first profile when the stored one is gone, fixed folder")
            << Range("Video/talk.avi", "0:0:2", "0:0:4")
            << QByteArray("[Main]\nProfile=5\nAptotic=1\nOutput Dir=OUT/\n")
            << QStringList{R"( -y -i "SRC" -ss 2.0 -t 2 -vcodec xvid -ab 128 -an  "OUT/talk_Clip1.avi")"};
    }
    void dryRunPrintsTheCommandLines() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, preferences);
        QFETCH(QStringList, lines);
        if (!preferences.isEmpty())
            program.Write(QStringLiteral("Preferences.ini"),
                          preferences.replace("OUT/", clips.toLocal8Bit()));
        const HeadlessProgram::Result result = program.Run(arguments << QStringLiteral("--dry-run"));
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QStringList expected;
        for (QString line : lines)
            expected << line.replace(QStringLiteral("SRC_FOLDER"), program.Path() + QStringLiteral("Video"))
                            .replace(QStringLiteral("SRC"), source)
                            .replace(QStringLiteral("OUT/"), clips);
        QCOMPARE(result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
        QVERIFY(Files(clips).isEmpty());
        QVERIFY(!Files(program.Path() + QStringLiteral("Video")).join(QLatin1Char(' ')).contains("_Clip"));
    }

    void inputErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("note");

        // The worked example's range, profile and folder; a row names what it changes.
        const auto run = [](const QString& file, const QString& start, const QString& end,
                            const QString& profile = "Example", const QString& output = "Clips") {
            return Range(file, start, end) + QStringList{"--profile", profile, "--output", output};
        };
        const auto talk = [&](const QString& profile, const QString& output = "Clips") {
            return run("Video/talk.avi", "0:0:0", "0:0:5", profile, output);
        };
        QTest::newRow("missing source") << run("Video/none.avi", "0:0:0", "0:0:5")
                                        << "Invalid File: Please specify a valid input video file."
                                        << "";
        QTest::newRow("a folder as source")
            << run("Video", "0:0:0", "0:0:5") << "Invalid File: Please specify a valid input video file."
            << "";
        QTest::newRow("start is no time") << run("Video/talk.avi", "5", "0:0:5")
                                          << "Invalid Start Time: Please varify the Start Time you selected."
                                          << "";
        QTest::newRow("start past the source's end")
            << run("Video/talk.avi", "0:1:5", "0:2:0")
            << "Invalid Start Time: Please varify the Start Time you selected."
            << "";
        QTest::newRow("source that is no video")
            << run("notes.mp4", "0:0:0", "0:0:5")
            << "Invalid Start Time: Please varify the Start Time you selected."
            << "tessel-split: ffprobe cannot read the source's duration";
        QTest::newRow("end of zero") << run("Video/talk.avi", "0:0:0", "00:00:00")
                                     << "Invalid End Time: Please varify the End Time you selected."
                                     << "";
        QTest::newRow("end is no time") << run("Video/talk.avi", "0:0:0", "0:0:")
                                        << "Invalid End Time: Please varify the End Time you selected."
                                        << "";
        QTest::newRow("end equal to start")
            << run("Video/talk.avi", "00:00:10", "00:00:10")
            << "Invalid Time: The End Time should be later than the Start Time."
            << "";
        QTest::newRow("section quantity 3a")
            << run("Video/talk.avi", "0:0:0", "0:0:10") + QStringList{"--sections", "3a"}
            << "Invalid Section: Please specify a valid section quantity."
            << "";
        QTest::newRow("no sections at all")
            << run("Video/talk.avi", "0:0:0", "0:0:10") + QStringList{"--sections", "0"}
            << "Invalid Section: Please specify a valid section quantity."
            << "";
        // 25 frames a second: ten seconds hold 250 frames.
        QTest::newRow("sections shorter than a frame")
            << run("Video/talk.avi", "0:0:0", "0:0:10") + QStringList{"--sections", "251"}
            << "Invalid Section: Please specify a valid section quantity."
            << "";
        QTest::newRow("missing profile")
            << talk("Nope") << "Invalid Output Path: Please select a valid output profile."
            << "";
        QTest::newRow("profile that cannot be loaded")
            << talk("Zz Broken") << "Tessel Video Splitter: List index out of bounds (5)"
            << "";
        QTest::newRow("profile item that reaches outside the clip")
            << talk("Zz Shared")
            << R"(Invalid Profile: The profile item "Encoding Speed" cannot be used: the value )"
               R"("veryfast /some/folder/new.mkv" of "-preset" is not a single word.)"
            << "";
        QTest::newRow("profile whose Type is a path")
            << talk("Zz Type")
            << "Invalid Profile: The profile's Type cannot be used: the Type must be an extension of up to 8 "
               "letters and digits."
            << "";
        QTest::newRow("playlist posing as a video")
            << run("Video/list.mp4", "0:0:0", "0:0:5")
            << "Invalid Start Time: Please varify the Start Time you selected."
            << "tessel-split: ffprobe cannot read the source's duration: the source is a playlist or names "
               "other "
               "files (hls), not a media file; it is not opened";
        QTest::newRow("missing output folder")
            << talk("Example", "none") << "Invalid Output Path: Please specify a valid output path."
            << "";
        QTest::newRow("a size from a profile that encodes")
            << talk("Example") + QStringList{"--max-size", "5M"}
            << "Invalid Profile: Clips of a chosen size can only be cut with a profile that copies the "
               "streams, "
               "such as \"Settings of the source file.\"."
            << "";
        QTest::newRow("a size that is no size") << talk("Example") + QStringList{"--max-size", "5MB"}
                                                << "Invalid Section: Please specify a valid clip size."
                                                << "";
        QTest::newRow("every and a size")
            << Range("Video/talk.avi", "0:0:0", "0:0:5") + QStringList{"--every", "2", "--max-size", "5M"}
            << "tessel-split: --every and --max-size exclude each other"
            << "Try 'tessel-split --help' for more information.";
        QTest::newRow("first failing check decides")
            << run("Video/talk.avi", "x", "y", "Nope", "none") + QStringList{"--sections", "z"}
            << "Invalid Start Time: Please varify the Start Time you selected."
            << "";
        QTest::newRow("usage") << QStringList{"Video/talk.avi", "--start", "0:0:0"}
                               << "tessel-split: --end is required"
                               << "Try 'tessel-split --help' for more information.";
    }
    void inputErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, firstLine);
        QFETCH(QString, note);
        program.UseFakeEncoder(SuccessBody);
        const HeadlessProgram::Result result = program.Run(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QString());
        const QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty(), "nothing on standard error");
        QCOMPARE(lines.first(), firstLine);
        if (note.isEmpty())
            QCOMPARE(lines.size(), 1);
        else
            QVERIFY2(lines.size() == 2 && lines.at(1).startsWith(note), qPrintable(result.err));
        QVERIFY(program.EncoderCalls().isEmpty());
        QVERIFY(Files(clips).isEmpty());
    }

    // Anything but a regular file of at most 1 MB is refused at once: no hang on a FIFO, no endless read.
    void unreadableFilesStopTheRun_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"unreadable", "FIFO", "endless device", "too big"}) {
            QTest::addRow("profile, %s", kind) << "Profiles/Unreadable.apf" << kind;
            QTest::addRow("preferences, %s", kind) << "Preferences.ini" << kind;
        }
    }
    void unreadableFilesStopTheRun() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        program.UseFakeEncoder(SuccessBody);
        const QString path = program.Path() + name;
        if (kind == QLatin1String("unreadable"))
            QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), path));
        else if (kind == QLatin1String("FIFO"))
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (kind == QLatin1String("endless device"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else
            program.Write(name, "[Main]\n" + QByteArray(2 << 20, ';'));
        const QString profile = name.endsWith(QLatin1String(".apf")) ? "Unreadable" : "Example";
        const HeadlessProgram::Result result = program.Run(
            {source, "--start", "0:0:0", "--end", "0:0:5", "--profile", profile, "--output", clips});
        program.Remove(name);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains(QStringLiteral("Unable to read ") + path), qPrintable(result.err));
        QVERIFY(program.EncoderCalls().isEmpty());
    }

    // A relative "Output Dir" that looks like an option is a folder like any other, made absolute as
    // --output is: the clip goes there, and ffmpeg writes no report.
    void outputDirPreferenceIsAFolder() {
        program.CopyShippedProfiles();
        program.UseRealEncoder();
        program.Write(QStringLiteral("Preferences.ini"), "[Main]\nAptotic=1\nOutput Dir=-report:x\n");
        const QString folder = program.Path() + QStringLiteral("-report:x/");
        QVERIFY(QDir().mkpath(folder));
        const QStringList before = QDir(program.Path()).entryList(QDir::Files);
        const HeadlessProgram::Result result = program.Run({realSource, "--start", "0:0:0", "--end", "0:0:1",
                                                            "--profile", "MP4 (H.264 + AAC)", "--overwrite"});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(Files(folder), QStringList{"holiday_Clip1.mp4"});
        QCOMPARE(QDir(program.Path()).entryList(QDir::Files), before);
        QDir(folder).removeRecursively();
    }

    void realThreeSectionRun() {
        program.CopyShippedProfiles();
        program.UseRealEncoder();
        const HeadlessProgram::Result result =
            program.Run({realSource, "--start", "0:0:1.5", "--end", "0:0:10.5", "--sections", "3",
                         "--profile", "MP4 (H.264 + AAC)", "--output", clips, "--overwrite"});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(Files(clips), (QStringList{"holiday_Clip1.mp4", "holiday_Clip2.mp4", "holiday_Clip3.mp4"}));
        for (const QString& name : Files(clips)) {
            const QString clip = clips + name;
            QVERIFY2(qAbs(TestMedia::ProbeDuration(clip) - 3) < 0.2, qPrintable(name));
            QCOMPARE(TestMedia::ProbeCodec(clip, QStringLiteral("v")), QStringLiteral("h264"));
            QCOMPARE(TestMedia::ProbeCodec(clip, QStringLiteral("a")), QStringLiteral("aac"));
        }

        // Without a terminal: one plain line per change of the total, which only grows, then the message.
        QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.takeLast(), QStringLiteral("Splitting is completed successfully."));
        QVERIFY(!lines.isEmpty());
        const QRegularExpression progress(
            QStringLiteral(R"(^Clip ([123])/3  current (\d+)%  total (\d+)%  elapsed \d\d:\d\d:\d\d  )"
                           R"(remaining \d\d:\d\d:\d\d$)"));
        int lastTotal = 0;
        for (const QString& line : lines) {
            const QRegularExpressionMatch match = progress.match(line);
            QVERIFY2(match.hasMatch(), qPrintable(line));
            QVERIFY2(match.captured(3).toInt() > lastTotal, qPrintable(line));
            lastTotal = match.captured(3).toInt();
        }
        QVERIFY2(lines.last().contains(QStringLiteral("total 100%")), qPrintable(lines.last()));
    }

    // A raw MPEG-1 video stream has no container to tell its length, and FFmpeg guesses it from the bit
    // rate in its header: 8 s read as a fraction of a second, and every start past that was refused. The
    // length comes from the stream's packets; the clips cover it and decode cleanly.
    void rawStreamSplitsOverItsRealLength_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("extension");
        QTest::newRow("encoded") << "MP4 (H.264 + AAC)"
                                 << ".mp4";
        QTest::newRow("copied, exact") << "Settings of the source file."
                                       << ".mpg";
    }
    void rawStreamSplitsOverItsRealLength() {
        QFETCH(QString, profile);
        QFETCH(QString, extension);
        const QString raw = program.Path() + QStringLiteral("Video/camera.mpg");
        int code = 0;
        const QString made =
            TestMedia::RunMerged(QStringLiteral("ffmpeg"),
                                 {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=s=160x120:r=25:d=8",
                                  "-c:v", "mpeg1video", "-bf", "2", "-g", "12", "-f", "mpeg1video", raw},
                                 &code);
        QVERIFY2(code == 0, qPrintable(made));
        QVERIFY(TestMedia::ProbeDuration(raw) < 1);
        program.CopyShippedProfiles();
        program.UseRealEncoder();
        const HeadlessProgram::Result result =
            program.Run({raw, "--start", "0:0:1", "--end", "0:0:8", "--sections", "2", "--profile", profile,
                         "--output", clips, "--overwrite"});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(Files(clips), (QStringList{"camera_Clip1" + extension, "camera_Clip2" + extension}));
        int frames = 0;
        for (const QString& name : Files(clips)) {
            const QString decoded = TestMedia::RunMerged(QStringLiteral("ffprobe"),
                                                         {"-v", "error", "-count_frames", "-select_streams",
                                                          "v:0", "-show_entries", "stream=nb_read_frames",
                                                          "-of", "csv=p=0", clips + name},
                                                         &code);
            QVERIFY2(code == 0 && !decoded.trimmed().isEmpty() && decoded.trimmed().toInt() > 0,
                     qPrintable(name + ": " + decoded));
            // 3.5 s each: 87 or 88 frames, one more where the last frame of the stream begins at 8 s.
            QVERIFY2(qAbs(decoded.trimmed().toInt() - 88) <= 1, qPrintable(name + ": " + decoded));
            frames += decoded.trimmed().toInt();
        }
        QVERIFY2(frames == 175 || frames == 176, qPrintable(QString::number(frames)));
    }

    // A copy of the stream-copy profile saved under another name copies as well: the clips keep the
    // source's container and codec, where an encode would have made MP4 files.
    void savedCopyOfTheSourceProfileStillCopies() {
        program.CopyShippedProfiles();
        program.UseRealEncoder();
        QFile shipped(program.Path() + QStringLiteral("Profiles/Settings of the source file..apf"));
        QVERIFY(shipped.copy(program.Path() + QStringLiteral("Profiles/My lossless.apf")));
        QString error;
        const QString transport = program.Path() + QStringLiteral("Video/match.ts");
        QVERIFY2(
            TestMedia::MakeVideo(transport, 6, {"-c:v", "mpeg2video", "-g", "12", "-c:a", "mp2"}, &error),
            qPrintable(error));
        const HeadlessProgram::Result result =
            program.Run({transport, "--start", "0:0:1", "--end", "0:0:5", "--sections", "2", "--profile",
                         "My lossless", "--output", clips, "--overwrite", "--quiet"});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(Files(clips), (QStringList{"match_Clip1.ts", "match_Clip2.ts"}));
        // ffprobe lists a transport stream's streams once more under its program.
        for (const QString& name : Files(clips))
            QCOMPARE(
                TestMedia::ProbeCodec(clips + name, QStringLiteral("v")).section(QLatin1Char('\n'), 0, 0),
                QStringLiteral("mpeg2video"));
    }

    void interruptStopsTheEncoder_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("Ctrl+C") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }
    void interruptStopsTheEncoder() {
        QFETCH(int, signalNumber);
        program.UseFakeEncoder("printf 'frame=1 time=00:00:01.00 bitrate=1\\r'\n"
                               "while :; do sleep 0.05; done");
        QProcess split;
        program.Start(split, {source, "--start", "0:0:0", "--end", "0:0:30", "--sections", "2", "--profile",
                              "Example", "--output", clips, "--overwrite"});
        QVERIFY(split.waitForStarted());
        const QString pidFile = program.Path() + QStringLiteral("pid");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pidFile).size() > 0, 60000);
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const qint64 encoder = file.readAll().trimmed().toLongLong();
        QVERIFY(ProcessAlive(encoder));

        // The signal goes to tessel-split alone, not to its process group: stopping the encoder is its job.
        QCOMPARE(::kill(static_cast<pid_t>(split.processId()), signalNumber), 0);
        QVERIFY(split.waitForFinished(60000));
        QCOMPARE(split.exitStatus(), QProcess::NormalExit);
        QCOMPARE(split.exitCode(), 130);
        QTRY_VERIFY(!ProcessAlive(encoder));
        QCOMPARE(program.EncoderCalls().size(), 1);
        QVERIFY(QString::fromLocal8Bit(split.readAllStandardError()).contains(QStringLiteral("interrupted")));
    }

    // A run of several clips starts its session front-end while the source is probed and hands the
    // clips to that one, also when it ended meanwhile; one that no run takes is not left running.
    void earlyFrontEnd_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QByteArray>("setup");
        QTest::addColumn<bool>("ffprobe");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("sessions");
        QTest::newRow("taken over by the run") << "0:0:0" << QByteArray() << true << 0 << 1;
        QTest::newRow("ended before the run")
            << "0:0:0" << QByteArray("[ -e \"$dir/ended\" ] || { touch \"$dir/ended\"; exit 0; }") << true
            << 0 << 2;
        QTest::newRow("no run: the start is past the end") << "0:1:30" << QByteArray() << true << 2 << -1;
        // The length comes from the front-end, so no ffprobe is needed; one that is no length is not taken.
        QTest::newRow("length told by the front-end")
            << "0:0:0" << QByteArray("length='60.000000 25/1'") << false << 0 << 1;
        QTest::newRow("a length that is none")
            << "0:0:0" << QByteArray("length='sixty 25/1'") << false << 2 << -1;
    }
    void earlyFrontEnd() {
        QFETCH(QString, start);
        QFETCH(QByteArray, setup);
        QFETCH(bool, ffprobe);
        QFETCH(int, exitCode);
        QFETCH(int, sessions);
        program.Remove(QStringLiteral("ended"));
        program.Remove(QStringLiteral("sessions"));
        const QString frontEnd =
            program.Write(QStringLiteral("wmaspi.dll"),
                          FakeFrontEndScript("dir=$(dirname \"$0\")\necho $$ >> \"$dir/sessions\"\n" + setup,
                                             "for out; do :; done\necho clip > \"$out\""));
        QFile::setPermissions(frontEnd, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        if (!ffprobe)
            qputenv("TESSEL_FFPROBE", program.Path().toLocal8Bit() + "no-ffprobe");
        const HeadlessProgram::Result result =
            program.Run({source, "--start", start, "--end", "0:0:20", "--sections", "2", "--profile",
                         "Example", "--output", clips, "--overwrite", "--quiet"});
        qunsetenv("TESSEL_FFPROBE");
        QVERIFY2(result.exitCode == exitCode, qPrintable(result.err));
        if (exitCode == 0)
            QCOMPARE(Files(clips), (QStringList{"talk_Clip1.avi", "talk_Clip2.avi"}));
        QFile log(program.Path() + QStringLiteral("sessions"));
        const QList<QByteArray> pids =
            log.open(QIODevice::ReadOnly) ? log.readAll().split('\n') : QList<QByteArray>();
        if (sessions >= 0)
            QCOMPARE(int(pids.count()) - 1, sessions);
        QTRY_COMPARE(ProcessesRunning(frontEnd), 0);
    }

    void failingEncoder_data() {
        QTest::addColumn<QByteArray>("encoder"); // empty: none in the program folder
        QTest::addColumn<QString>("report");
        QTest::newRow("encoder reports an error")
            << QByteArray("printf 'frame=1 time=00:00:00.50 bitrate=1\\r'\n"
                          "echo \"Unknown encoder 'libfoo'\"\nexit 1")
            << "Splitting Failed: The encoder failed to write these clips:\ntalk_Clip1.avi: Unknown encoder "
               "'libfoo'\ntalk_Clip2.avi: Unknown encoder 'libfoo'\n";
        QTest::newRow("encoder missing") << QByteArray()
                                         << "Tessel Video Splitter: Error. Please re-install Tessel Video "
                                            "Splitter\n";
    }
    void failingEncoder() {
        QFETCH(QByteArray, encoder);
        QFETCH(QString, report);
        if (!encoder.isEmpty())
            program.UseFakeEncoder(encoder);
        const HeadlessProgram::Result result =
            program.Run({source, "--start", "0:0:0", "--end", "0:0:10", "--sections", "2", "--profile",
                         "Example", "--output", clips, "--overwrite", "--quiet"});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err, report);
        QCOMPARE(result.out, QString());
    }

    void existingFiles_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("encoded"); // clip numbers the encoder was started for
        QTest::addColumn<QString>("message");

        const QByteArray keep = "[Main]\nOverwrite=0\n";
        QTest::newRow("a section is skipped")
            << QStringList{"--sections", "3"} << keep << 0 << QStringList{"1", "3"}
            << "Overwrite: The output file is existent: CLIP. Section 2 is skipped. (--overwrite replaces "
               "it)\n";
        QTest::newRow("a one-clip run stops")
            << QStringList{} << QByteArray() << 1 << QStringList{}
            << "Overwrite: The output file is existent: CLIP. The run stops. (--overwrite replaces it)\n";
        QTest::newRow("stored overwrite replaces without asking")
            << QStringList{"--sections", "3"} << QByteArray("[Main]\nOverwrite=1\n") << 0
            << QStringList{"1", "2", "3"} << "";
        QTest::newRow("--overwrite wins over the stored choice")
            << QStringList{"--sections", "3", "--overwrite"} << keep << 0 << QStringList{"1", "2", "3"} << "";
    }
    void existingFiles() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, preferences);
        QFETCH(int, exitCode);
        QFETCH(QStringList, encoded);
        QFETCH(QString, message);
        if (!preferences.isEmpty())
            program.Write(QStringLiteral("Preferences.ini"), preferences);
        program.UseFakeEncoder(SuccessBody);
        const bool oneClip = options.isEmpty();
        const QString existing =
            clips + (oneClip ? QStringLiteral("talk_Clip1.avi") : QStringLiteral("talk_Clip2.avi"));
        program.Write(QStringLiteral("Clips/") + QFileInfo(existing).fileName(), "kept");
        if (oneClip)
            options << "--no-overwrite";

        const HeadlessProgram::Result result =
            program.Run(QStringList{source, "--start", "0:0:0", "--end", "0:0:9", "--profile", "Example",
                                    "--output", clips, "--quiet"} +
                        options);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.err, QString(message).replace(QStringLiteral("CLIP"), existing));
        QStringList started;
        for (const QString& call : program.EncoderCalls())
            started << call.section(QStringLiteral("_Clip"), 1).section(QLatin1Char('.'), 0, 0);
        QCOMPARE(started, encoded);
        QFile file(existing);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), encoded.size() == 3 ? QByteArray("clip\n") : QByteArray("kept"));
    }
};

QTEST_GUILESS_MAIN(TestTesselSplit)
#include "tst_tesselsplit.moc"
