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
        const QString path = program->Write(
            QStringLiteral("Profiles/Shared.apf"),
            "[Main]\nType=mkv\nPara=2\n0=Video Codec\n1=Tuning\n"
            "[Video Codec]\nSort=1\ncmd=-c:v\nCaption=H.264,\nValue=libx264,\n"
            "[Tuning]\nSort=3\nList=0\ncmd=" +
                option.toUtf8() + "\nCaption=" + value.toUtf8() + "\nValue=" + value.toUtf8() + "\n");
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        ProfileOptions options;
        BuildProfileArguments(path, options, lists);

        RecordingView view;
        view.inputs.sourcePath = source;
        view.inputs.startText = QStringLiteral("00:00:00");
        view.inputs.endText = QStringLiteral("00:00:01");
        view.inputs.profileName = QStringLiteral("Shared");
        view.inputs.outputDirText = program->path() + QStringLiteral("out");
        view.inputs.sourceDurationMs = 2000;
        SplitRunner runner(view);
        QSignalSpy pending(&runner, &SplitRunner::ClipPending);
        const QStringList files = AllFiles();

        runner.RunSplit(options);

        QCOMPARE(view.events, QStringList({"message:0:Invalid Profile", "focus:3"}));
        QCOMPARE(view.messageTexts,
                 QStringList{QStringLiteral("The profile item \"Tuning\" cannot be used: ") + reason + "."});
        QCOMPARE(pending.size(), 0);
        QCOMPARE(runner.CommandLine(), QString());
        QCOMPARE(AllFiles(), files);
    }
};

QTEST_GUILESS_MAIN(TestHostileProfiles)
#include "tst_hostileprofiles.moc"
