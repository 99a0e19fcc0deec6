#include "app/appcontext.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"
#include "recordingview.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QtTest>

// Shared profiles whose free-text item tries to reach outside the clip. Each is refused before the real
// front-end and ffmpeg start, and no file appears anywhere.
class TestHostileProfiles : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    QString source;
    QString elsewhere;

    QStringList AllFiles() const {
        QStringList files;
        QDirIterator it(program->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        return files;
    }

    RecordingView ViewOf(const QString& profileName) const {
        RecordingView view;
        view.inputs.sourcePath = source;
        view.inputs.startText = QStringLiteral("00:00:00");
        view.inputs.endText = QStringLiteral("00:00:01");
        view.inputs.profileName = profileName;
        view.inputs.outputDirText = program->path() + QStringLiteral("out");
        view.inputs.sourceDurationMs = 2000;
        return view;
    }

    // Runs the profile as "Shared" and gives the refusal's text: nothing may start and no file appear.
    QString RefusalOf(const QByteArray& profile) const {
        const QString path = program->Write(QStringLiteral("Profiles/Shared.apf"), profile);
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        ProfileOptions options;
        BuildProfileArguments(path, options, lists);
        RecordingView view = ViewOf(QStringLiteral("Shared"));
        SplitRunner runner(view);
        QSignalSpy pending(&runner, &SplitRunner::ClipPending);
        const QStringList files = AllFiles();
        runner.RunSplit(options);
        const bool refused = view.events == QStringList({"message:0:Invalid Profile", "focus:3"}) &&
                             pending.isEmpty() && runner.CommandLine().isEmpty() && AllFiles() == files;
        return refused ? view.messageTexts.value(0)
                       : QStringLiteral("not refused: ") + view.events.join(", ");
    }

private slots:
    void initTestCase() {
        program = std::make_unique<TempProgramDir>();
        App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
        QVERIFY(QFile::exists(App().EncoderPath));
        source = program->path() + QStringLiteral("talk.mp4");
        QString error;
        QVERIFY2(TestMedia::MakeVideo(source, 2, {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"},
                                      &error, QStringLiteral("160x120")),
                 qPrintable(error));
        elsewhere = program->path() + QStringLiteral("elsewhere/");
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QDir().mkpath(program->path() + QStringLiteral("out")));
    }

    // The Type ends every clip's name and chooses its muxer: only a listed extension may.
    void hostileTypes_data() {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QString>("reason");
        const QString notAnExtension =
            QStringLiteral("the Type must be an extension of up to 8 letters and digits");
        QTest::newRow("HLS into another folder")
            << QByteArray("x%v/../../../../tmp/elsewhere/pwned.m3u8") << notAnExtension;
        QTest::newRow("image pattern") << QByteArray("png") << "the Type \"png\" is not one of ";
        QTest::newRow("playlist") << QByteArray("m3u8") << "the Type \"m3u8\" is not one of ";
        QTest::newRow("pattern in a listed type") << QByteArray("mp4%d") << notAnExtension;
        QTest::newRow("a second dot") << QByteArray("tar.mp4") << notAnExtension;
        QTest::newRow("too long") << QByteArray("matroska1") << notAnExtension;
        QTest::newRow("a separator") << QByteArray("mp4/x") << notAnExtension;
        QTest::newRow("blank inside") << QByteArray("mp 4") << notAnExtension;
        QTest::newRow("not ASCII") << QByteArray("m\xc3\xa9"
                                                 "4")
                                   << notAnExtension;
        QTest::newRow("quoted empty") << QByteArray("\"\"") << "the Type is empty";
    }
    void hostileTypes() {
        QFETCH(QByteArray, type);
        QFETCH(QString, reason);
        const QByteArray profile = "[Main]\nType=" + type +
                                   "\nPara=1\n0=Video Codec\n"
                                   "[Video Codec]\nSort=1\ncmd=-c:v\nCaption=H.264,\nValue=libx264,\n";
        const QString refusal = RefusalOf(profile);
        QVERIFY2(refusal.startsWith(QStringLiteral("The profile's Type cannot be used: ") + reason),
                 qPrintable(refusal));
        // Nor does the profile give the clips an extension.
        ProfileWorkingLists lists;
        lists.LoadProfile(App().ProfilePath(QStringLiteral("Shared")));
        QCOMPARE(lists.OutputExt(), QString());
    }

    // The source's own container is kept only where it is one we write: never an image pattern or a list.
    void sourceSettingsNeedAListedExtension() {
        const QString pattern = program->path() + QStringLiteral("shot%d.png");
        QVERIFY(QFile::copy(source, pattern));
        program->Write(
            QStringLiteral("Profiles/Settings of the source file..apf"),
            "[Main]\nType=mp4\nPara=1\n0=Map\n[Map]\nSort=3\nList=0\nReadOnly=1\ncmd=-map\nValue=0\n");
        RecordingView view = ViewOf(QStringLiteral("Settings of the source file."));
        view.inputs.sourcePath = pattern;
        SplitRunner runner(view);
        const QStringList files = AllFiles();
        runner.RunSplit(ProfileOptions{{"-map", "0"}, {"-c", "copy"}});
        QCOMPARE(view.events, QStringList({"message:0:Invalid Profile", "focus:3"}));
        QVERIFY2(view.messageTexts.value(0).contains(QStringLiteral("\".png\" is not one")),
                 qPrintable(view.messageTexts.value(0)));
        QCOMPARE(AllFiles(), files);
        QFile::remove(pattern);
    }

    void refusedBeforeAnythingStarts_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason"); // ELSEWHERE/ stands for a folder beside the clips

        QTest::newRow("an extra output name") << "ELSEWHERE/extra.mkv"
                                              << "\\"
                                              << R"("ELSEWHERE/extra.mkv" stands where an option belongs)";
        QTest::newRow("an extra output after an option without a value")
            << "-an"
            << "ELSEWHERE/extra.mkv"
            << R"("-an" takes no value, so "ELSEWHERE/extra.mkv" would stand where an option belongs)";
        QTest::newRow("-i of another file") << "-i"
                                            << "ELSEWHERE/other.mp4"
                                            << R"("-i" is not an option that a profile may pass)";
        QTest::newRow("-dump_attachment")
            << "-dump_attachment:t"
            << "ELSEWHERE/font.ttf"
            << R"("-dump_attachment:t" is not an option that a profile may pass)";
        QTest::newRow("-passlogfile with a path")
            << "-passlogfile"
            << "ELSEWHERE/pass"
            << R"("-passlogfile" is not an option that a profile may pass)";
        QTest::newRow("-vstats_file") << "-vstats_file"
                                      << "ELSEWHERE/vstats.log"
                                      << R"("-vstats_file" is not an option that a profile may pass)";
        QTest::newRow("a movie= filter") << "-vf"
                                         << "movie=ELSEWHERE/logo.png"
                                         << R"(the filter "movie" is not one that a profile may use)";
        QTest::newRow("-f tee") << "-f"
                                << "tee"
                                << R"("-f" is not an option that a profile may pass)";
        QTest::newRow("a value with blanks")
            << "-preset"
            << "veryfast ELSEWHERE/new.mkv"
            << R"(the value "veryfast ELSEWHERE/new.mkv" of "-preset" is not a single word)";
        QTest::newRow("a value that starts with -") << "-c:v"
                                                    << "-vstats"
                                                    << R"(the value "-vstats" of "-c:v" begins with "-")";
    }
    void refusedBeforeAnythingStarts() {
        QFETCH(QString, option);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        for (QString* text : {&option, &value, &reason})
            text->replace(QStringLiteral("ELSEWHERE/"), elsewhere);
        // A harmless item first: the refusal names the item at fault.
        const QString refusal =
            RefusalOf("[Main]\nType=mkv\nPara=2\n0=Video Codec\n1=Tuning\n"
                      "[Video Codec]\nSort=1\ncmd=-c:v\nCaption=H.264,\nValue=libx264,\n"
                      "[Tuning]\nSort=3\nList=0\ncmd=" +
                      option.toUtf8() + "\nCaption=" + value.toUtf8() + "\nValue=" + value.toUtf8() + "\n");
        QCOMPARE(refusal, QStringLiteral("The profile item \"Tuning\" cannot be used: ") + reason + ".");
    }
};

QTEST_GUILESS_MAIN(TestHostileProfiles)
#include "tst_hostileprofiles.moc"
