#include "app/appcontext.h"
#include "fakeencoder.h"
#include "optionstext.h"
#include "readonlyfolder.h"
#include "recordingview.h"
#include "smalldisk.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <memory>

namespace {

const QString FailedCaption = QStringLiteral("2:Splitting Failed");
const QString FailureHead = QStringLiteral("The encoder failed to write these clips:");

// Decoded to the end without a single complaint from ffmpeg.
bool DecodesCleanly(const QString& path, QString& complaint) {
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-nostdin", "-v", "error", "-i", path, "-f", "null", "-"});
    if (!ffmpeg.waitForFinished(120000))
        return false;
    complaint = QString::fromLocal8Bit(ffmpeg.readAll()).trimmed();
    return ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0 && complaint.isEmpty();
}

} // namespace

// Things that break in the middle of a run with the real front-end and ffmpeg: the encoder killed from
// outside, the output folder taken away, the output disk filling up. Each ends as a reported failure,
// and the clips written before stay whole.
class TestEncoderFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<RecordingView> view;
    std::unique_ptr<SplitRunner> runner;
    std::unique_ptr<ReadOnlyFolder> readOnly;
    QString source;
    QString outputDir;
    int clipRunning = 0;

    // A run of `sections` clips of the whole source into outputDir.
    void Prepare(const QString& end, int sections, const QString& extension) {
        view = std::make_unique<RecordingView>();
        view->outputExt = extension;
        view->inputs.sourcePath = source;
        view->inputs.startText = QStringLiteral("00:00:00");
        view->inputs.endText = end;
        view->inputs.oneClip = sections == 0;
        view->inputs.sectionQtyText = QString::number(sections);
        view->inputs.profileName = QStringLiteral("Test");
        view->inputs.outputDirText = outputDir;
        view->inputs.sourceDurationMs = 6000;
        runner = std::make_unique<SplitRunner>(*view);
        clipRunning = 0;
        connect(runner.get(), &SplitRunner::ClipStarted, this, [this](int clip) { clipRunning = clip; });
    }
    QString Clip(int i, const QString& extension) const {
        return outputDir + QStringLiteral("/talk_Clip%1").arg(i) + extension;
    }
    void VerifyWhole(const QString& clip, double seconds) {
        QString complaint;
        QVERIFY2(DecodesCleanly(clip, complaint), qPrintable(clip + QStringLiteral(": ") + complaint));
        const double duration = TestMedia::ProbeDuration(clip);
        QVERIFY2(qAbs(duration - seconds) <= 0.15, qPrintable(QString::number(duration)));
    }

private slots:
    void initTestCase() {
        program = std::make_unique<TempProgramDir>();
        program->Write(QStringLiteral("Profiles/Test.apf"), "[Main]\n");
        App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
        QVERIFY(QFile::exists(App().EncoderPath));
        source = program->path() + QStringLiteral("talk.mp4");
        QString error;
        QVERIFY2(TestMedia::MakeVideo(source, 6,
                                      {"-c:v", "libx264", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac"},
                                      &error),
                 qPrintable(error));
    }
    void init() {
        outputDir = program->path() + QStringLiteral("out");
        QVERIFY(QDir().mkpath(outputDir));
    }
    void cleanup() {
        readOnly.reset();
        runner.reset();
        view.reset();
        QDir(outputDir).removeRecursively();
    }

    void encoderKilledFromOutside_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("reason");
        QTest::newRow("SIGKILL") << int(SIGKILL) << "the encoder stopped unexpectedly";
        QTest::newRow("SIGTERM") << int(SIGTERM) << "the encoder ended with exit code 255";
    }
    void encoderKilledFromOutside() {
        QFETCH(int, signal);
        QFETCH(QString, reason);
        Prepare(QStringLiteral("00:00:06"), 3, QStringLiteral(".mkv"));
        qint64 killed = 0;
        // The realtime filter holds ffmpeg to the clock, so the first report of clip 2 comes mid-clip.
        view->onProgress = [&] {
            if (clipRunning == 2 && killed == 0) {
                killed = runner->EncoderProcessId();
                QVERIFY(killed > 0);
                ::kill(static_cast<pid_t>(killed), signal);
            }
        };
        runner->RunSplit(OptionsFromText(QStringLiteral(" -c:v libx264 -vf realtime -c:a aac")));

        QVERIFY(killed != 0);
        QCOMPARE(clipRunning, 3);
        QCOMPARE(view->Events(QStringLiteral("message:")), QStringList{FailedCaption});
        // The sections come from one encode, which runs ahead of the clip shown by the encoder's delay: a
        // polite stop ends the clip being encoded, the shown one or the next, and the rest are made anew.
        const QString report = view->messageTexts.first();
        const int failed = report.contains(QStringLiteral("talk_Clip3.mkv")) ? 3 : 2;
        QCOMPARE(report, FailureHead + QStringLiteral("\ntalk_Clip%1.mkv: ").arg(failed) + reason);
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
        // A front-end that passed the stop on to ffmpeg ends with the run.
        QTRY_VERIFY_WITH_TIMEOUT(!FakeEncoder::ProcessAlive(killed), 10000);
        VerifyWhole(Clip(1, QStringLiteral(".mkv")), 2);
        VerifyWhole(Clip(5 - failed, QStringLiteral(".mkv")), 2);
    }

    void outputFolderTakenAway_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("sections");
        QTest::addColumn<QStringList>("failed");
        QTest::newRow("removed, one clip") << "removed" << 0 << QStringList{"talk_Clip1.mkv"};
        QTest::newRow("removed, three sections")
            << "removed" << 3 << QStringList{"talk_Clip1.mkv", "talk_Clip2.mkv", "talk_Clip3.mkv"};
        // The clip written while the folder turned read-only cannot take its name there either.
        QTest::newRow("read-only, three sections")
            << "read-only" << 3 << QStringList{"talk_Clip1.mkv", "talk_Clip2.mkv", "talk_Clip3.mkv"};
    }
    void outputFolderTakenAway() {
        QFETCH(QString, how);
        QFETCH(int, sections);
        QFETCH(QStringList, failed);
        Prepare(sections == 0 ? QStringLiteral("00:00:02") : QStringLiteral("00:00:06"), sections,
                QStringLiteral(".mkv"));
        bool done = false;
        bool skip = false;
        view->onProgress = [&] {
            if (clipRunning != 1 || done)
                return;
            done = true;
            if (how == QLatin1String("removed")) {
                QVERIFY(QDir(outputDir).removeRecursively());
            } else {
                readOnly = std::make_unique<ReadOnlyFolder>(outputDir);
                skip = !readOnly->active();
            }
        };
        runner->RunSplit(OptionsFromText(QStringLiteral(" -c:v libx264 -vf realtime -c:a aac")));
        if (skip)
            QSKIP("the folder cannot be made read-only here");

        QVERIFY(done);
        QCOMPARE(view->Events(QStringLiteral("message:")), QStringList{FailedCaption});
        const QStringList lines = view->messageTexts.first().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), FailureHead);
        QStringList names;
        for (const QString& line : lines.mid(1))
            names << line.left(line.indexOf(QLatin1Char(':')));
        QCOMPARE(names, failed);
        if (how == QLatin1String("removed"))
            QVERIFY2(lines.at(1).endsWith(QLatin1String("the encoder ended, but the clip file is missing")),
                     qPrintable(lines.at(1)));
        else
            QVERIFY2(lines.at(1).contains(QLatin1String("cannot take its name")), qPrintable(lines.at(1)));
    }

    void outputDiskFills() {
        const QString small = program->path() + QStringLiteral("small");
        // Each 1-second section of raw 320x240 video and sound takes about 3 MB: the first fits, the
        // second runs out of room.
        SmallDisk disk(small, 4 * 1024 * 1024);
        if (!disk.active())
            QSKIP(qPrintable(disk.reason()));
        outputDir = small;
        Prepare(QStringLiteral("00:00:03"), 3, QStringLiteral(".avi"));
        runner->RunSplit(OptionsFromText(QStringLiteral(" -c:v rawvideo -pix_fmt yuv420p -c:a pcm_s16le")));

        QCOMPARE(view->Events(QStringLiteral("message:")), QStringList{FailedCaption});
        const QString report = view->messageTexts.first();
        QVERIFY2(report.contains(QLatin1String("\ntalk_Clip2.avi: ")), qPrintable(report));
        QVERIFY2(report.contains(QLatin1String("No space left on device")), qPrintable(report));
        QVERIFY2(!report.contains(QLatin1String("talk_Clip1")), qPrintable(report));
        VerifyWhole(Clip(1, QStringLiteral(".avi")), 1);
        runner.reset();
        view.reset();
    }
};

QTEST_GUILESS_MAIN(TestEncoderFaults)
#include "tst_encoderfaults.moc"
