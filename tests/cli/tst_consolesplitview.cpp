#include "app/appcontext.h"
#include "cli/consolesplitview.h"
#include "cli/signalpipe.h"
#include "cli/splitexitcode.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QtTest>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// A stream the view writes into and the test reads back.
class Capture {
public:
    Capture() : file(std::tmpfile()) {}
    ~Capture() { std::fclose(file); }
    FILE* Stream() const { return file; }
    QString Text() const {
        std::fflush(file);
        std::rewind(file);
        QByteArray text;
        char buffer[4096];
        while (const std::size_t count = std::fread(buffer, 1, sizeof(buffer), file))
            text.append(buffer, static_cast<qsizetype>(count));
        std::fseek(file, 0, SEEK_END);
        return QString::fromLocal8Bit(text);
    }

private:
    FILE* file;
};

// The progress lines without their times, which depend on the clock.
QStringList WithoutTimes(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        lines << line.section(QStringLiteral("  elapsed"), 0, 0);
    return lines;
}

SplitInputs Inputs(bool oneClip) {
    SplitInputs inputs;
    inputs.sourcePath = QStringLiteral("/v/talk.avi");
    inputs.oneClip = oneClip;
    inputs.outputDirText = QStringLiteral("/out/");
    return inputs;
}

} // namespace

class TestConsoleSplitView : public QObject {
    Q_OBJECT
private slots:
    void plainProgressOneLinePerTotalChange() {
        Capture out, err;
        ConsoleSplitView view(Inputs(false), QString(), true, 2, ConsoleSettings{}, out.Stream(),
                              err.Stream());
        SplitRunner runner(view);
        view.Attach(runner);
        view.EnterBusyState();
        emit runner.ClipStarted(1, QString());
        view.ShowProgress(0, 0);
        view.ShowProgress(10, 5);
        view.ShowProgress(11, 5);
        view.ShowProgress(40, 20);
        view.ResetCurrentBar();
        emit runner.ClipStarted(2, QString());
        view.ShowProgress(0, 50);
        view.ShowProgress(100, 100);
        view.ShowMessage(QStringLiteral("Splitting is completed successfully."), QStringLiteral("Completed"),
                         SplitMessageKind::Information);
        view.LeaveBusyState();

        QCOMPARE(WithoutTimes(out.Text()),
                 (QStringList{"Clip 1/2  current 10%  total 5%", "Clip 1/2  current 40%  total 20%",
                              "Clip 2/2  current 0%  total 50%", "Clip 2/2  current 100%  total 100%",
                              "Splitting is completed successfully."}));
        QVERIFY(err.Text().isEmpty());
    }

    void liveLineIsRewrittenAndEndsWithTheClip() {
        Capture out, err;
        ConsoleSettings settings;
        settings.liveProgress = true;
        ConsoleSplitView view(Inputs(false), QString(), true, 3, settings, out.Stream(), err.Stream());
        SplitRunner runner(view);
        view.Attach(runner);
        view.EnterBusyState();
        emit runner.ClipStarted(1, QString());
        view.ShowProgress(50, 17);
        QVERIFY(!out.Text().contains(QLatin1Char('\n')));
        QVERIFY(out.Text().contains(QStringLiteral("\rClip 1/3  current 50%  total 17%  elapsed ")));
        QVERIFY(out.Text().endsWith(QStringLiteral("\x1b[K")));
        view.ResetCurrentBar();
        QVERIFY(out.Text().endsWith(QLatin1Char('\n')));
        emit runner.ClipStarted(2, QString());
        view.LeaveBusyState();
        QCOMPARE(out.Text().count(QLatin1Char('\n')), 2);
        QVERIFY(out.Text().contains(QStringLiteral("\rClip 2/3  current 0%  total 17%")));
    }

    void quietPrintsErrorsOnly() {
        Capture out, err;
        ConsoleSettings settings;
        settings.quiet = true;
        settings.liveProgress = true;
        ConsoleSplitView view(Inputs(false), QString(), true, 2, settings, out.Stream(), err.Stream());
        SplitRunner runner(view);
        view.Attach(runner);
        view.EnterBusyState();
        emit runner.ClipStarted(1, QString());
        view.ShowProgress(40, 20);
        view.ShowMessage(QStringLiteral("The encoder failed to write these clips:\ntalk_Clip1.avi: boom"),
                         QStringLiteral("Splitting Failed"), SplitMessageKind::Error);
        view.LeaveBusyState();
        QVERIFY(out.Text().isEmpty());
        QCOMPARE(err.Text(),
                 QStringLiteral(
                     "Splitting Failed: The encoder failed to write these clips:\ntalk_Clip1.avi: boom\n"));
    }

    void exitCodes_data() {
        using End = SplitResult::End;
        QTest::addColumn<int>("end");
        QTest::addColumn<int>("failed");
        QTest::addColumn<bool>("interrupted");
        QTest::addColumn<int>("code");
        QTest::newRow("refused before the run") << int(End::Refused) << 0 << false << 2;
        QTest::newRow("completed, some skipped") << int(End::Finished) << 0 << false << 0;
        QTest::newRow("a clip failed") << int(End::Finished) << 1 << false << 1;
        QTest::newRow("signal after the last clip") << int(End::Finished) << 0 << true << 0;
        QTest::newRow("cancelled by a signal") << int(End::Cancelled) << 0 << true << 130;
        QTest::newRow("failed, then cancelled by a signal") << int(End::Cancelled) << 1 << true << 130;
        QTest::newRow("stopped: kept file or no encoder") << int(End::Stopped) << 0 << false << 1;
    }
    void exitCodes() {
        QFETCH(int, end);
        QFETCH(int, failed);
        QFETCH(bool, interrupted);
        QFETCH(int, code);
        SplitResult result;
        result.end = SplitResult::End(end);
        result.written = 2;
        result.skipped = 1;
        result.failed = failed;
        QCOMPARE(SplitExitCode(result, interrupted), code);
    }

    void asksOnATerminal_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<bool>("closeInput");
        QTest::addColumn<bool>("answer");
        QTest::newRow("y") << QByteArray("y\n") << false << true;
        QTest::newRow("YES") << QByteArray("YES\n") << false << true;
        QTest::newRow("n") << QByteArray("n\n") << false << false;
        QTest::newRow("just Enter") << QByteArray("\n") << false << false;
        QTest::newRow("something else") << QByteArray("yep\n") << false << false;
        QTest::newRow("end of input") << QByteArray() << true << false;
    }
    void asksOnATerminal() {
        QFETCH(QByteArray, typed);
        QFETCH(bool, closeInput);
        QFETCH(bool, answer);
        int ends[2];
        QCOMPARE(pipe(ends), 0);
        if (!typed.isEmpty())
            QCOMPARE(write(ends[1], typed.constData(), typed.size()), typed.size());
        if (closeInput)
            close(ends[1]);

        Capture out, err;
        ConsoleSettings settings;
        settings.askQuestions = true;
        ConsoleSplitView view(Inputs(false), QString(), false, 3, settings, out.Stream(), err.Stream(),
                              ends[0]);
        SplitRunner runner(view);
        view.Attach(runner);
        emit runner.ClipPending(2, QStringLiteral("/out/talk_Clip2.avi"));
        QCOMPARE(view.AskYesNo(QStringLiteral("The output file is existent. Overwrite it?"),
                               QStringLiteral("Overwrite")),
                 answer);
        QCOMPARE(err.Text(), QStringLiteral("Overwrite: The output file is existent. Overwrite it? "
                                            "/out/talk_Clip2.avi [y/N] "));
        close(ends[0]);
        if (!closeInput)
            close(ends[1]);
    }

    void keepsExistingFilesWithoutATerminal_data() {
        QTest::addColumn<bool>("oneClip");
        QTest::addColumn<QString>("message");
        QTest::newRow("a section is skipped")
            << false
            << "Overwrite: The output file is existent: /out/talk_Clip2.avi. Section 2 is skipped. "
               "(--overwrite replaces it)\n";
        QTest::newRow("a one-clip run stops")
            << true
            << "Overwrite: The output file is existent: /out/talk_Clip2.avi. The run stops. "
               "(--overwrite replaces it)\n";
    }
    void keepsExistingFilesWithoutATerminal() {
        QFETCH(bool, oneClip);
        QFETCH(QString, message);
        Capture out, err;
        ConsoleSplitView view(Inputs(oneClip), QString(), false, 3, ConsoleSettings{}, out.Stream(),
                              err.Stream());
        SplitRunner runner(view);
        view.Attach(runner);
        emit runner.ClipPending(2, QStringLiteral("/out/talk_Clip2.avi"));
        QVERIFY(!view.AskYesNo(QStringLiteral("The output file is existent. Overwrite it?"),
                               QStringLiteral("Overwrite")));
        QCOMPARE(err.Text(), message);
    }

    // Ctrl+C while the person is being asked about an existing file ends the run there: no later clip is
    // asked about or written, and the run does not report success.
    void interruptWhileAskingEndsTheRun() {
        TempProgramDir program;
        program.Write(QStringLiteral("Profiles/P.apf"), "[Main]\n");
        program.Write(QStringLiteral("wmaspi.dll"),
                      "#!/bin/sh\necho started >> \"$(dirname \"$0\")/calls\"\n");
        QFile::setPermissions(program.path() + QStringLiteral("wmaspi.dll"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        SplitInputs inputs = Inputs(false);
        inputs.sourcePath = program.Write(QStringLiteral("talk.avi"), "video");
        inputs.startText = QStringLiteral("0:0:0");
        inputs.endText = QStringLiteral("0:0:10");
        inputs.sectionQtyText = QStringLiteral("2");
        inputs.profileName = QStringLiteral("P");
        inputs.outputDirText = program.path();
        inputs.sourceDurationMs = 20000;
        program.Write(QStringLiteral("talk_Clip1.avi"), "kept");
        program.Write(QStringLiteral("talk_Clip2.avi"), "kept");

        int ends[2];
        QCOMPARE(pipe(ends), 0);
        Capture out, err;
        ConsoleSettings settings;
        settings.askQuestions = true;
        {
            SignalPipe stopSignals;
            ConsoleSplitView view(inputs, QStringLiteral(".avi"), false, 2, settings, out.Stream(),
                                  err.Stream(), ends[0]);
            SplitRunner runner(view);
            view.Attach(runner);
            QTimer::singleShot(0, [] { std::raise(SIGINT); });
            const SplitResult result = runner.RunSplit();
            QCOMPARE(result.end, SplitResult::End::Cancelled);
            QCOMPARE(SplitExitCode(result, SignalPipe::Pending()), 130);
            QCOMPARE(err.Text().count(QStringLiteral("[y/N]")), 1);
        }
        QVERIFY(!QFile::exists(program.path() + QStringLiteral("calls")));
        QVERIFY(!out.Text().contains(QStringLiteral("completed")));
        close(ends[0]);
        close(ends[1]);
    }
};

QTEST_GUILESS_MAIN(TestConsoleSplitView)
#include "tst_consolesplitview.moc"
