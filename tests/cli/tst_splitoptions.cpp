#include "app/appcontext.h"
#include "cli/headlessinputs.h"
#include "cli/progressline.h"
#include "cli/splitoptions.h"
#include "encoderarguments.h"
#include "prefs/preferences.h"
#include "testmedia.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

void MakeExecutable(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

// The command line of tessel-split and the defaults it takes from the program folder.
class TestSplitOptions : public QObject {
    Q_OBJECT
private slots:
    void parses_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("sections");
        QTest::addColumn<int>("overwrite"); // -1 not given, 0 no, 1 yes

        QTest::newRow("one clip") << QStringList{"a.mp4", "--start", "00:01:05", "--end", "1:2:3.5"} << ""
                                  << "a.mp4"
                                  << "00:01:05"
                                  << "-" << -1;
        QTest::newRow("options before the source")
            << QStringList{"--sections", "3", "--start=0:0:0", "--end=0:0:10", "a.mp4", "--overwrite"} << ""
            << "a.mp4"
            << "0:0:0"
            << "3" << 1;
        // A negative time is the run's to refuse, with the window's message, not the parser's.
        QTest::newRow("value starting with a dash")
            << QStringList{"a.mp4", "--start", "-0:0:5", "--end", "0:0:9", "--no-overwrite"} << ""
            << "a.mp4"
            << "-0:0:5"
            << "-" << 0;
        QTest::newRow("section text kept as typed")
            << QStringList{"a.mp4", "--start", "0:0:0", "--end", "0:0:9", "--sections", "3a"} << ""
            << "a.mp4"
            << "0:0:0"
            << "3a" << -1;
        QTest::newRow("source after --")
            << QStringList{"--start", "0:0:0", "--end", "0:0:9", "--", "-x.mp4"} << ""
            << "-x.mp4"
            << "0:0:0"
            << "-" << -1;
        QTest::newRow("repeated same overwrite flag")
            << QStringList{"a.mp4", "--start", "0:0:0", "--end", "0:0:9", "--overwrite", "--overwrite"} << ""
            << "a.mp4"
            << "0:0:0"
            << "-" << 1;

        QTest::newRow("unknown option")
            << QStringList{"a.mp4", "--start", "0:0:0", "--end", "0:0:9", "--fast"}
            << "Unknown option 'fast'."
            << ""
            << ""
            << "-" << -1;
        QTest::newRow("value missing at the end")
            << QStringList{"a.mp4", "--end", "0:0:9", "--start"} << "Missing value after '--start'."
            << ""
            << ""
            << "-" << -1;
        QTest::newRow("flag with a value")
            << QStringList{"a.mp4", "--dry-run=1"} << "Unexpected value after '--dry-run'."
            << ""
            << ""
            << "-" << -1;
        QTest::newRow("both overwrite flags")
            << QStringList{"a.mp4", "--start", "0:0:0", "--end", "0:0:9", "--overwrite", "--no-overwrite"}
            << "--overwrite and --no-overwrite exclude each other"
            << ""
            << ""
            << "-" << -1;
        QTest::newRow("sections and every")
            << QStringList{"a.mp4", "--start", "0:0:0", "--end", "0:0:9", "--sections", "2", "--every", "3"}
            << "--sections and --every exclude each other"
            << ""
            << ""
            << "-" << -1;
        QTest::newRow("no source") << QStringList{"--start", "0:0:0", "--end", "0:0:9"}
                                   << "no source video given"
                                   << ""
                                   << ""
                                   << "-" << -1;
        QTest::newRow("two sources") << QStringList{"a.mp4", "b.mp4", "--start", "0:0:0", "--end", "0:0:9"}
                                     << "more than one source given (b.mp4)"
                                     << ""
                                     << ""
                                     << "-" << -1;
        QTest::newRow("no start") << QStringList{"a.mp4", "--end", "0:0:9"} << "--start is required"
                                  << ""
                                  << ""
                                  << "-" << -1;
        QTest::newRow("no end") << QStringList{"a.mp4", "--start", "0:0:9"} << "--end is required"
                                << ""
                                << ""
                                << "-" << -1;
    }
    void parses() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const SplitOptionsParse parse = ParseSplitOptions(arguments);
        QCOMPARE(parse.error, error);
        if (!error.isEmpty())
            return;
        QFETCH(QString, source);
        QFETCH(QString, start);
        QFETCH(QString, sections);
        QFETCH(int, overwrite);
        QCOMPARE(parse.options.source, source);
        QCOMPARE(parse.options.start, start);
        QCOMPARE(parse.options.sections.value_or(QStringLiteral("-")), sections);
        QCOMPARE(parse.options.overwrite ? int(*parse.options.overwrite) : -1, overwrite);
    }

    void helpWinsOverAnythingMissing() {
        QVERIFY(ParseSplitOptions({QStringLiteral("--help")}).options.help);
        const SplitOptionsParse parse = ParseSplitOptions({QStringLiteral("x"), QStringLiteral("-h")});
        QVERIFY(parse.options.help);
        QVERIFY(parse.error.isEmpty());
        QVERIFY(ParseSplitOptions({QStringLiteral("--version"), QStringLiteral("--bogus")}).options.version);
    }

    void everyGoesToTheSectionsRow() {
        const SplitOptionsParse parse =
            ParseSplitOptions({"a.mp4", "--start", "0:0:5", "--end", "0:0:40", "--every", "0:0:10"});
        QVERIFY(parse.error.isEmpty());
        const HeadlessInputs resolved = ResolveHeadlessInputs(parse.options, Preferences::Defaults(), {"A"});
        QVERIFY(!resolved.inputs.oneClip);
        QCOMPARE(resolved.inputs.sectionsMode, SectionsMode::Every);
        QCOMPARE(resolved.inputs.sectionQtyText, QStringLiteral("0:0:10"));
    }

    void defaults_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("storedProfile");
        QTest::addColumn<bool>("aptotic");
        QTest::addColumn<bool>("storedOverwrite");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("outputDir"); // "<fixed>" or "<source>" or a path under the current folder
        QTest::addColumn<bool>("overwrite");

        const QStringList base{"/v/talk.avi", "--start", "0:0:0", "--end", "0:0:9"};
        QTest::newRow("stored profile and fixed folder") << base << 1 << true << true << "B"
                                                         << "<fixed>" << true;
        QTest::newRow("stored index out of range takes the first") << base << 7 << true << false << "A"
                                                                   << "<fixed>" << false;
        QTest::newRow("no stored selection takes the first") << base << -1 << true << true << "A"
                                                             << "<fixed>" << true;
        QTest::newRow("source's folder when not fixed") << base << 0 << false << true << "A"
                                                        << "<source>" << true;
        QTest::newRow("command line wins")
            << base + QStringList{"--profile", "Z", "--output", "out", "--no-overwrite"} << 1 << true << true
            << "Z"
            << "out" << false;
        QTest::newRow("empty output stays empty for the check")
            << base + QStringList{"--output", "", "--overwrite"} << 0 << false << false << "A"
            << "" << true;
    }
    void defaults() {
        QFETCH(QStringList, arguments);
        QFETCH(int, storedProfile);
        QFETCH(bool, aptotic);
        QFETCH(bool, storedOverwrite);
        QFETCH(QString, profile);
        QFETCH(QString, outputDir);
        QFETCH(bool, overwrite);

        Preferences preferences = Preferences::Defaults();
        preferences.Profile = storedProfile;
        preferences.Aptotic = aptotic;
        preferences.Overwrite = storedOverwrite;
        preferences.OutputDir = QStringLiteral("/fixed/clips/");
        const SplitOptionsParse parse = ParseSplitOptions(arguments);
        QVERIFY(parse.error.isEmpty());
        const HeadlessInputs resolved = ResolveHeadlessInputs(parse.options, preferences, {"A", "B"});

        QCOMPARE(resolved.inputs.profileName, profile);
        const QString expected = outputDir == QLatin1String("<fixed>")    ? QStringLiteral("/fixed/clips/")
                                 : outputDir == QLatin1String("<source>") ? QStringLiteral("/v/")
                                 : outputDir.isEmpty()                    ? QString()
                                                       : QDir::current().filePath(outputDir);
        QCOMPARE(resolved.inputs.outputDirText, expected);
        QCOMPARE(resolved.overwrite, overwrite);
        QCOMPARE(resolved.inputs.oneClip, !parse.options.sections.has_value());
    }

    // A bare file name is relative to the current folder: the clips then go there, not to "".
    void relativeSourceBecomesAbsolute() {
        Preferences preferences = Preferences::Defaults();
        preferences.Aptotic = false;
        const SplitOptionsParse parse = ParseSplitOptions({"talk.avi", "--start", "0:0:0", "--end", "0:0:9"});
        const HeadlessInputs resolved = ResolveHeadlessInputs(parse.options, preferences, {});
        QCOMPARE(resolved.inputs.sourcePath, QDir::current().filePath(QStringLiteral("talk.avi")));
        QCOMPARE(resolved.inputs.outputDirText, QDir::currentPath() + QLatin1Char('/'));
        QVERIFY(resolved.inputs.profileName.isEmpty());
    }

    void profileNamesFromTheProgramFolder() {
        TempProgramDir program;
        program.Write(QStringLiteral("Profiles/b.APF"), "[Main]\n");
        program.Write(QStringLiteral("Profiles/A.apf"), "[Main]\n");
        program.Write(QStringLiteral("Profiles/c.txt"), "");
        QCOMPARE(ProgramProfileNames(), (QStringList{"A", "b"}));
        QDir(program.path() + QStringLiteral("Profiles")).removeRecursively();
        QVERIFY(ProgramProfileNames().isEmpty());
    }

    void findsFfprobe() {
        QTemporaryDir chosen, own, onPath;
        const std::string ownFolder = own.path().toStdString();
        const std::string path = onPath.path().toStdString();
        const std::string chosenFfmpeg = chosen.filePath(QStringLiteral("ffmpeg")).toStdString();
        QVERIFY(!EncoderFrontEnd::FindFfprobe(nullptr, nullptr, ownFolder, path.c_str()));

        MakeExecutable(onPath.filePath(QStringLiteral("ffprobe")));
        QCOMPARE(EncoderFrontEnd::FindFfprobe(nullptr, chosenFfmpeg.c_str(), ownFolder, path.c_str()).value(),
                 onPath.filePath(QStringLiteral("ffprobe")).toStdString());
        MakeExecutable(own.filePath(QStringLiteral("ffprobe")));
        QCOMPARE(EncoderFrontEnd::FindFfprobe("", chosenFfmpeg.c_str(), ownFolder, path.c_str()).value(),
                 own.filePath(QStringLiteral("ffprobe")).toStdString());
        MakeExecutable(chosen.filePath(QStringLiteral("ffprobe")));
        QCOMPARE(EncoderFrontEnd::FindFfprobe(nullptr, chosenFfmpeg.c_str(), ownFolder, path.c_str()).value(),
                 chosen.filePath(QStringLiteral("ffprobe")).toStdString());
        QCOMPARE(
            EncoderFrontEnd::FindFfprobe("/opt/probe", chosenFfmpeg.c_str(), ownFolder, path.c_str()).value(),
            std::string("/opt/probe"));
    }

    void progressLine_data() {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<QString>("line");
        QTest::newRow("a quarter after 30 s")
            << 75 << 25 << 30
            << "Clip 1/3  current 75%  total 25%  elapsed 00:00:30  remaining "
               "00:01:30";
        QTest::newRow("nothing done yet") << 0 << 0 << 500
                                          << "Clip 1/3  current 0%  total 0%  elapsed 00:08:20  remaining "
                                             "00:00:00";
        QTest::newRow("done") << 100 << 100 << 61
                              << "Clip 1/3  current 100%  total 100%  elapsed 00:01:01  remaining 00:00:00";
    }
    void progressLine() {
        QFETCH(int, current);
        QFETCH(int, total);
        QFETCH(int, elapsed);
        QFETCH(QString, line);
        QCOMPARE(ProgressLineText(1, 3, current, total, elapsed), line);
    }
};

QTEST_GUILESS_MAIN(TestSplitOptions)
#include "tst_splitoptions.moc"
