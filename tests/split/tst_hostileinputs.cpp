#include "app/appcontext.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"
#include "recordingview.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QDir>
#include <QDirIterator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// Files and names a person may be handed, which decide what ffmpeg opens: each is refused with a clear
// message or is harmless, and nothing is read or written but the source and the clip. Checked by where
// files appear, by what the clips hold, by a server on 127.0.0.1 that nobody may call and, where strace
// is there, by the files the front-end and ffmpeg open.
class TestHostileInputs : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    QString video;       // 160x120, the one true source
    QString decoy;       // 64x48, what a pattern in the source's name would read instead
    QString privateFile; // a video that no clip may ever hold
    int server = -1;
    quint16 port = 0;

    struct Profile {
        QString name;
        ProfileOptions options;
        QString outputExt;
    };

    Profile LoadProfile(const QString& name) const {
        const QString path = App().ProfilePath(name);
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        Profile profile{name, {}, lists.OutputExt()};
        BuildProfileArguments(path, profile.options, lists);
        return profile;
    }

    QStringList AllFiles() const {
        QStringList files;
        QDirIterator it(program->path(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        return files;
    }

    // A split of the source's first second (sections sections) into the folder, as the window runs it.
    RecordingView Split(const QString& source, const Profile& profile, const QString& folder,
                        int sections = 1) {
        RecordingView view;
        view.inputs.sourcePath = source;
        view.inputs.startText = QStringLiteral("00:00:00");
        view.inputs.endText = QStringLiteral("00:00:01");
        view.inputs.oneClip = sections == 1;
        view.inputs.sectionQtyText = QString::number(sections);
        view.inputs.profileName = profile.name;
        view.inputs.outputDirText = folder;
        view.inputs.sourceDurationMs = 2000;
        view.outputExt = profile.outputExt;
        SplitRunner runner(view);
        runner.RunSplit(profile.options);
        return view;
    }

    bool ServerWasCalled() const {
        pollfd waiting{server, POLLIN, 0};
        return poll(&waiting, 1, 0) > 0;
    }

    // The front-end started directly with a clip's arguments, under strace when it is there.
    struct FrontEndRun {
        int exitCode = -1;
        QString output;
        QString opened; // strace's record of opened files and connections; empty without strace
    };
    FrontEndRun RunFrontEnd(const QStringList& arguments) const {
        const QString frontEnd = App().EncoderPath;
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        const QString log = program->path() + QStringLiteral("strace.log");
        FrontEndRun run;
        if (strace.isEmpty()) {
            run.output = TestMedia::RunMerged(frontEnd, arguments, &run.exitCode);
            return run;
        }
        run.output = TestMedia::RunMerged(
            strace,
            QStringList{"-f", "-qq", "-e", "trace=open,openat,connect", "-o", log, frontEnd} + arguments,
            &run.exitCode);
        QFile file(log);
        if (file.open(QIODevice::ReadOnly))
            run.opened = QString::fromUtf8(file.readAll());
        file.remove();
        return run;
    }

    static int Width(const QString& clip) {
        return TestMedia::RunAndRead(QStringLiteral("ffprobe"),
                                     {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                      "stream=width", "-of", "csv=p=0", clip})
            .trimmed()
            .toInt();
    }

private slots:
    void initTestCase() {
        program = std::make_unique<TempProgramDir>();
        program->CopyShippedProfiles();
        App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
        QVERIFY(QDir().mkpath(program->path() + QStringLiteral("videos")));
        QVERIFY(QDir().mkpath(program->path() + QStringLiteral("private")));
        QVERIFY(QDir().mkpath(program->path() + QStringLiteral("out")));
        video = program->path() + QStringLiteral("videos/talk.mp4");
        decoy = program->path() + QStringLiteral("videos/decoy.mp4");
        privateFile = program->path() + QStringLiteral("private/diary.mp4");
        QString error;
        const QStringList h264{"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"};
        QVERIFY2(TestMedia::MakeVideo(video, 2, h264, &error, QStringLiteral("160x120")), qPrintable(error));
        QVERIFY2(TestMedia::MakeVideo(decoy, 2, h264, &error, QStringLiteral("64x48")), qPrintable(error));
        QVERIFY(QFile::copy(decoy, privateFile));

        server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(server >= 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        QVERIFY(bind(server, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(server, 8) == 0);
        QVERIFY(getsockname(server, reinterpret_cast<sockaddr*>(&address), &length) == 0);
        port = ntohs(address.sin_port);
    }
    void cleanupTestCase() {
        if (server >= 0)
            close(server);
    }

    // A "video" that is a playlist or a list of files: the reference may be absolute, relative to the
    // list, or an address; neither ffmpeg nor the cutter may follow it.
    void playlistsPosingAsVideos_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // REF stands for the reference
        QTest::addColumn<QString>("reference");
        const QByteArray hls = "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:2,\nREF\n#EXT-X-ENDLIST\n";
        const QByteArray dash =
            "<?xml version=\"1.0\"?>\n<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" type=\"static\" "
            "mediaPresentationDuration=\"PT2S\" minBufferTime=\"PT1S\" "
            "profiles=\"urn:mpeg:dash:profile:isoff-on-demand:2011\"><Period><AdaptationSet "
            "mimeType=\"video/mp4\"><Representation id=\"1\" bandwidth=\"1000\"><BaseURL>REF</BaseURL>"
            "</Representation></AdaptationSet></Period></MPD>\n";
        const QByteArray concat = "ffconcat version 1.0\nfile 'REF'\n";
        for (const auto& [kind, content] : {std::pair{"HLS", hls}, {"DASH", dash}, {"ffconcat", concat}}) {
            for (const char* reference : {"ABSOLUTE", "../private/diary.mp4", "HTTP"}) {
                for (const char* name : {"holiday.mp4", "holiday.mkv"})
                    QTest::addRow("%s, %s, %s", kind, reference, name) << name << content << reference;
            }
        }
    }
    void playlistsPosingAsVideos() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reference);
        if (reference == QLatin1String("ABSOLUTE"))
            reference = privateFile;
        else if (reference == QLatin1String("HTTP"))
            reference = QStringLiteral("http://127.0.0.1:%1/diary.mp4").arg(port);
        const QString source = program->Write(QStringLiteral("videos/") + name,
                                              QByteArray(content).replace("REF", reference.toUtf8()));
        const QString folder = program->path() + QStringLiteral("out/");

        // Re-encoded by ffmpeg, and copied by the cutter.
        for (const QString& profile :
             {QStringLiteral("MP4 (H.264 + AAC)"), QStringLiteral("Settings of the source file.")}) {
            const bool copy = profile.startsWith(QLatin1String("Settings"));
            const QString clip =
                folder + QStringLiteral("holiday_Clip1") + (copy ? name.right(4) : QStringLiteral(".mp4"));
            QStringList arguments{"-y", "-i", source, "-ss", "0.0", "-t", "1"};
            arguments << (copy ? QStringList{"-map", "0", "-c", "copy", "-ignore_unknown"}
                               : QStringList{"-c:v", "libx264", "-c:a", "aac"})
                      << clip;
            const QStringList files = AllFiles();
            const FrontEndRun run = RunFrontEnd(arguments);
            QVERIFY2(run.exitCode != 0, qPrintable(run.output));
            QVERIFY2(run.output.contains(QLatin1String("is a playlist or names other files")),
                     qPrintable(run.output));
            QCOMPARE(AllFiles(), files);
            QVERIFY(!ServerWasCalled());
            QVERIFY2(!run.opened.contains(QLatin1String("diary")), qPrintable(run.opened));
            QVERIFY2(!run.opened.contains(QRegularExpression(QStringLiteral("connect\\([^\n]*AF_INET"))),
                     qPrintable(run.opened));

            // The runner says why the clip failed.
            const RecordingView view = Split(source, LoadProfile(profile), folder);
            QCOMPARE(view.Events(QStringLiteral("message:")), QStringList{"2:Splitting Failed"});
            QVERIFY2(view.messageTexts.value(0).contains(QLatin1String("playlist")),
                     qPrintable(view.messageTexts.value(0)));
            QCOMPARE(AllFiles(), files);
            QVERIFY(!ServerWasCalled());
        }
        QFile::remove(source);
    }

    // Names that a pattern, a protocol or an option would read otherwise: the clip holds the source itself
    // and lands in the folder as named.
    void patternAndDashNames_data() {
        QTest::addColumn<QString>("sourceName");
        QTest::addColumn<QString>("folderName");
        QTest::addColumn<QString>("decoyName"); // what a pattern in the source's name would read
        QTest::newRow("image pattern") << "talk%d.mp4"
                                       << "q%d"
                                       << "talk1.mp4";
        QTest::newRow("HLS stream pattern") << "talk%v.mp4"
                                            << "clips%v"
                                            << "talk0.mp4";
        QTest::newRow("options") << "-report.mp4"
                                 << "-y"
                                 << "";
        QTest::newRow("a protocol") << "concat:decoy.mp4"
                                    << "pipe:1"
                                    << "";
    }
    void patternAndDashNames() {
        QFETCH(QString, sourceName);
        QFETCH(QString, folderName);
        QFETCH(QString, decoyName);
        const QString source = program->path() + QStringLiteral("videos/") + sourceName;
        QVERIFY(QFile::copy(video, source));
        if (!decoyName.isEmpty())
            QVERIFY(QFile::copy(decoy, program->path() + QStringLiteral("videos/") + decoyName));
        const QString folder = program->path() + folderName + QLatin1Char('/');
        QVERIFY(QDir().mkpath(folder));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(program->path() + QStringLiteral("videos")));

        for (const QString& profile :
             {QStringLiteral("MP4 (H.264 + AAC)"), QStringLiteral("Settings of the source file.")}) {
            const QStringList before = AllFiles();
            const RecordingView view = Split(source, LoadProfile(profile), folder);
            QCOMPARE(view.Events(QStringLiteral("message:")), QStringList{"0:Completed"});
            const QString clip =
                folder + QFileInfo(sourceName).completeBaseName() + QStringLiteral("_Clip1.mp4");
            QStringList expected = before;
            expected << clip;
            expected.sort();
            QCOMPARE(AllFiles(), expected);
            QCOMPARE(Width(clip), 160);
            QFile::remove(clip);
        }
        QDir::setCurrent(previous);
        QFile::remove(source);
        if (!decoyName.isEmpty())
            QFile::remove(program->path() + QStringLiteral("videos/") + decoyName);
        QDir(folder).removeRecursively();
    }

    // A source named with a line break and "clip-end 0": the first clip fails (a folder holds its name, and
    // the reason repeats the name), the second is written, and the run says so, not the other way round.
    void spoofedClipEnd() {
        const QString source = program->path() + QStringLiteral("videos/talk\nclip-end 0\n.mp4");
        QVERIFY(QFile::copy(video, source));
        const QString folder = program->path() + QStringLiteral("spoof/");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("talk\nclip-end 0\n_Clip1.mp4")));
        const RecordingView view =
            Split(source, LoadProfile(QStringLiteral("Settings of the source file.")), folder, 2);
        QCOMPARE(view.Events(QStringLiteral("message:")), QStringList{"2:Splitting Failed"});
        const QString report = view.messageTexts.value(0);
        QVERIFY2(report.contains(QLatin1String("_Clip1.mp4")) &&
                     !report.contains(QLatin1String("_Clip2.mp4")),
                 qPrintable(report));
        const QString second = folder + QStringLiteral("talk\nclip-end 0\n_Clip2.mp4");
        QVERIFY(QFileInfo(second).isFile());
        QCOMPARE(Width(second), 160);
        QFile::remove(source);
        QDir(folder).removeRecursively();
    }

    // With Overwrite on, a link planted at a clip's name is replaced by the clip; its target stays as it was.
    void symlinkAtClipName_data() {
        QTest::addColumn<QString>("profile");
        QTest::newRow("re-encoded by ffmpeg") << "MP4 (H.264 + AAC)";
        QTest::newRow("copied by the cutter") << "Settings of the source file.";
    }
    void symlinkAtClipName() {
        QFETCH(QString, profile);
        const QString victim = program->Write(QStringLiteral("private/notes.txt"), "precious\n");
        const QString folder = program->path() + QStringLiteral("linked/");
        QVERIFY(QDir().mkpath(folder));
        const QString clip = folder + QStringLiteral("talk_Clip1.mp4");
        QVERIFY(QFile::link(victim, clip));
        const RecordingView view = Split(video, LoadProfile(profile), folder);
        QCOMPARE(view.Events(QStringLiteral("message:")), QStringList{"0:Completed"});
        QFile kept(victim);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("precious\n"));
        QVERIFY(!QFileInfo(clip).isSymLink());
        QCOMPARE(Width(clip), 160);
        QDir(folder).removeRecursively();
    }
};

QTEST_GUILESS_MAIN(TestHostileInputs)
#include "tst_hostileinputs.moc"
