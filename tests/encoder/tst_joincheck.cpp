#include "framedmedia.h"
#include "headlessprogram.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Every join of re-encoded and copied frames is decoded before the clip counts. The front-end can be told
// to break its joins (TESSEL_CUT_FAULT): a bad join is then redone at the next safe level with a note, and
// a clip that still does not decode fails with its reason.
class TestJoinCheck : public QObject {
    Q_OBJECT
private:
    QTemporaryDir folder;
    QString source;
    FramedMedia::Decoded original;

    struct Run {
        int exitCode = -1;
        QString output;
    };

    Run Cut(const QString& fault, double start, double length, const QString& clip) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TESSEL_CUT_FAULT"), fault);
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll"),
                      {"-y", "-i", source, "-ss", QString::number(start), "-t", QString::number(length),
                       "-map", "0", "-c", "copy", "-cut_points", "exact", clip});
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAll())};
    }

private slots:
    void initTestCase() {
        QVERIFY(folder.isValid());
        // Parameter sets unlike the re-encoder's (no CABAC, no 8x8 transform): copied frames decode wrongly
        // behind the re-encoded ones unless the source's go in front of them.
        FramedMedia::SourceSpec spec;
        spec.seconds = 10;
        spec.gopSeconds = 2;
        spec.extraOptions = {"-profile:v", "high", "-coder", "cavlc", "-8x8dct", "0"};
        source = folder.filePath(QStringLiteral("source.mp4"));
        QString error;
        QVERIFY2(FramedMedia::Make(source, spec, &error), qPrintable(error));
        original = FramedMedia::Decode(source);
        QVERIFY(original.ok);
    }

    // Untouched joins pass their check without a note, and the clip is exact.
    void RightJoinsPass() {
        const QString clip = folder.filePath(QStringLiteral("right.mp4"));
        const Run run = Cut(QString(), 1.3, 6, clip);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(!run.output.contains(QLatin1String("note:")), qPrintable(run.output));
        const FramedMedia::Decoded decoded = FramedMedia::Decode(clip);
        QVERIFY2(decoded.ok && decoded.errors.isEmpty(), qPrintable(decoded.errors.join('\n')));
        QCOMPARE(decoded.Numbers(), FramedMedia::FramesShownBetween(original, 1.3, 7.3));
    }

    // Without the source's parameter sets at its joins, the head's GOP is re-encoded, then the clip starts
    // at the keyframe before the start: nothing is lost, and the notes say where the clip starts.
    void BadJoinFallsBack() {
        const QString clip = folder.filePath(QStringLiteral("fallback.mp4"));
        const Run run = Cut(QStringLiteral("joins"), 1.3, 6, clip);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(
            run.output.contains(QLatin1String("did not decode right at 00:00:02.000, so its whole GOP is "
                                              "re-encoded")),
            qPrintable(run.output));
        QVERIFY2(
            run.output.contains(QLatin1String("the clip starts at 00:00:00.000 instead of 00:00:01.300, at "
                                              "the keyframe before it")),
            qPrintable(run.output));
        const FramedMedia::Decoded decoded = FramedMedia::Decode(clip);
        QVERIFY2(decoded.ok && decoded.errors.isEmpty(), qPrintable(decoded.errors.join('\n')));
        QCOMPARE(decoded.Numbers(), FramedMedia::FramesShownBetween(original, 0, 7.3));
    }

    // A join that decodes wrongly at every level fails the clip with the reason, leaves no file behind,
    // and the run reports the failure.
    void ClipThatNeverDecodesFails() {
        HeadlessProgram program;
        program.CopyShippedProfiles();
        program.UseRealEncoder();
        const QString output = folder.filePath(QStringLiteral("failed"));
        QVERIFY(QDir().mkpath(output));
        qputenv("TESSEL_CUT_FAULT", "frames");
        const HeadlessProgram::Result result =
            program.Run({source, "--start", "0:0:1.3", "--end", "0:0:7.3", "--profile",
                         "Settings of the source file.", "--output", output, "--overwrite"});
        qunsetenv("TESSEL_CUT_FAULT");
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(QLatin1String("source_Clip1.mp4: the clip does not decode right")),
                 qPrintable(result.err));
        QVERIFY(!result.out.contains(QLatin1String("completed successfully")));
        QVERIFY(QDir(output).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestJoinCheck)
#include "tst_joincheck.moc"
