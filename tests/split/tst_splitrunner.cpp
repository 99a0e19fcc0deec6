#include "app/appcontext.h"
#include "fakeencoder.h"
#include "optionstext.h"
#include "recordingview.h"
#include "split/splitrunner.h"
#include "testmedia.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QString Completed = QStringLiteral("message:0:Completed");

// Runs action once condition holds, checking from the event loop that the runner keeps alive.
void When(QObject* context, std::function<bool()> condition, std::function<void()> action) {
    auto* timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, condition, action] {
        if (!condition())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start(10);
}

// The names in a folder, hidden ones too.
QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestSplitRunner : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<RecordingView> view;
    std::unique_ptr<SplitRunner> runner;
    QString outputDir;
    int released = 0;

    QString ClipPath(int i, const QString& extension = QStringLiteral(".mp4")) const {
        return outputDir + QStringLiteral("/talk_Clip%1").arg(i) + extension;
    }
    // Every shown progress lets the fake encoder go on to its next step.
    void ReleaseOnProgress() {
        view->onProgress = [this] { FakeEncoder::Release(*program, ++released); };
    }
    void UseSections(int count, const char* end = "00:00:10") {
        view->inputs.oneClip = false;
        view->inputs.sectionQtyText = QString::number(count);
        view->inputs.endText = QString::fromLatin1(end);
    }

private slots:
    void init() {
        program = std::make_unique<TempProgramDir>();
        program->Write(QStringLiteral("Profiles/MP4.apf"), "[Main]\n");
        outputDir = program->path() + QStringLiteral("out");
        QVERIFY(QDir().mkpath(outputDir));
        view = std::make_unique<RecordingView>();
        view->outputExt = QStringLiteral(".mp4");
        view->inputs.sourcePath = program->Write(QStringLiteral("talk.avi"), "source");
        view->inputs.startText = QStringLiteral("00:00:00");
        view->inputs.endText = QStringLiteral("00:00:10");
        view->inputs.profileName = QStringLiteral("MP4");
        view->inputs.outputDirText = outputDir;
        view->inputs.sourceDurationMs = 12000;
        view->outputDirText = outputDir;
        runner = std::make_unique<SplitRunner>(*view);
        released = 0;
    }
    void cleanup() {
        runner.reset();
        view.reset();
        program.reset();
    }

    void progressFromChunks_data() {
        QTest::addColumn<int>("sections");
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QStringList>("progress");
        QTest::newRow("best time, time text and noise")
            << 1
            << QStringList{"Stream mapping: noise\\n", "frame=1 time=5.00 bitrate=1\\r",
                           "frame=2 time=4.00 bitrate=1\\r", "frame=3 time=00:00:07.50 bitrate=1\\r"}
            << QStringList{"0/0", "50/50", "50/50", "75/75"};
        QTest::newRow("more than the clip's length")
            << 1 << QStringList{"time=10.4 x"} << QStringList{"100/100"};
        QTest::newRow("two sections") << 2 << QStringList{"time=2.5 x"} << QStringList{"50/25", "50/75"};
    }
    void progressFromChunks() {
        QFETCH(int, sections);
        QFETCH(QStringList, chunks);
        QFETCH(QStringList, progress);
        if (sections > 1)
            UseSections(sections);
        QString body;
        for (const QString& chunk : chunks)
            body += QStringLiteral("step '%1'\n").arg(chunk);
        FakeEncoder::Install(*program, body + QStringLiteral("echo clip > \"$out\""));
        ReleaseOnProgress();

        runner->RunSplit();

        QCOMPARE(view->Events(QStringLiteral("progress:")), progress);
        QCOMPARE(view->events.first(), QStringLiteral("enter"));
        QCOMPARE(view->Events(QStringLiteral("reset")).size(), sections);
        QCOMPARE(view->events.mid(view->events.size() - 3), QStringList({"timers off", Completed, "leave"}));
        QCOMPARE(runner->State(), RunState::Idle);
        for (int i = 1; i <= sections; ++i)
            QVERIFY(QFile::exists(ClipPath(i)));
    }

    void argumentsReachTheEncoder() {
        UseSections(3);
        FakeEncoder::Install(*program, QStringLiteral("echo clip > \"$out\""));
        QSignalSpy started(runner.get(), &SplitRunner::ClipStarted);
        runner->RunSplit(OptionsFromText(QStringLiteral(" -c:v libx264 -an ")));

        const QList<QStringList> calls = FakeEncoder::Calls(*program);
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls.at(1).mid(0, 12),
                 QStringList({"-y", "-i", view->inputs.sourcePath, "-ss", "3.3333333333333335", "-t",
                              "3.3333333333333335", "-c:v", "libx264", "-an", "-f", "mp4"}));
        // The clip is written beside its name and takes it once complete.
        const QFileInfo written(calls.at(1).at(12));
        QCOMPARE(written.absolutePath(), QFileInfo(ClipPath(2)).absolutePath());
        QVERIFY2(written.fileName().startsWith(QLatin1Char('.')) &&
                     written.fileName().endsWith(QStringLiteral("-talk_Clip2.mp4")),
                 qPrintable(written.fileName()));
        QVERIFY(!written.exists());
        QCOMPARE(FilesIn(outputDir), QStringList({"talk_Clip1.mp4", "talk_Clip2.mp4", "talk_Clip3.mp4"}));
        QCOMPARE(started.size(), 3);
        QCOMPARE(started.at(2).at(1).toString(),
                 QStringLiteral(" -y -i \"%1\" -ss 6.7 -t 3.33333333333333 -c:v libx264 -an  \"%2\"")
                     .arg(view->inputs.sourcePath, ClipPath(3)));
        QCOMPARE(runner->CommandLine(), started.at(2).at(1).toString());
        QCOMPARE(view->Events(QStringLiteral("processing:")),
                 QStringList({"Splitting: Section 1", "Splitting: Section 2", "Splitting: Section 3"}));
    }

    void oneClipLabelAndStreamCopy() {
        view->inputs.profileName = QStringLiteral("Settings of the source file.");
        program->Write(QStringLiteral("Profiles/Settings of the source file..apf"), "[Main]\n");
        FakeEncoder::Install(*program, QStringLiteral("echo clip > \"$out\""));
        runner->RunSplit(OptionsFromText(QStringLiteral(" -map 0 -c copy")));
        QCOMPARE(view->Events(QStringLiteral("processing:")), QStringList{"Splitting: talk.avi"});
        QCOMPARE(FakeEncoder::Calls(*program).size(), 1);
        QVERIFY(QFile::exists(ClipPath(1, QStringLiteral(".avi"))));
    }

    void overwriteQuestion_data() {
        QTest::addColumn<bool>("oneClip");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("encoderCalls");
        QTest::addColumn<bool>("completed");
        QTest::newRow("sections, No skips that clip only") << false << false << false << 1 << 2 << true;
        QTest::newRow("sections, Yes replaces it") << false << false << true << 1 << 3 << true;
        QTest::newRow("sections, overwrite box asks nothing") << false << true << false << 0 << 3 << true;
        QTest::newRow("one clip, No ends the run quietly") << true << false << false << 1 << 0 << false;
        QTest::newRow("one clip, Yes replaces it") << true << false << true << 1 << 1 << true;
    }
    void overwriteQuestion() {
        QFETCH(bool, oneClip);
        QFETCH(bool, overwrite);
        QFETCH(bool, answer);
        QFETCH(int, questions);
        QFETCH(int, encoderCalls);
        QFETCH(bool, completed);
        if (!oneClip)
            UseSections(3);
        program->Write(QStringLiteral("out/talk_Clip%1.mp4").arg(oneClip ? 1 : 2), "old");
        view->overwrite = overwrite;
        view->answers.enqueue(answer);
        FakeEncoder::Install(*program, QStringLiteral("step 'time=1.0 x'\nprintf new > \"$out\""));
        ReleaseOnProgress();

        runner->RunSplit();

        QCOMPARE(view->Events(QStringLiteral("ask:Overwrite")).size(), questions);
        QCOMPARE(FakeEncoder::Calls(*program).size(), encoderCalls);
        QCOMPARE(view->events.contains(Completed), completed);
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
        QCOMPARE(runner->State(), RunState::Idle);
        QFile existing(oneClip ? ClipPath(1) : ClipPath(2));
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray(answer || overwrite ? "new" : "old"));
    }

    void failedClipsAreReported_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("reason");
        QTest::newRow("exit 1") << "printf 'frame=1 time=1.0 bitrate=1\\rInvalid data found\\n'; exit 1"
                                << "talk_Clip2.mp4: Invalid data found";
        QTest::newRow("exit 1 in silence") << "exit 1"
                                           << "talk_Clip2.mp4: the encoder ended with exit code 1";
        QTest::newRow("crash") << "kill -KILL $$"
                               << "talk_Clip2.mp4: the encoder stopped unexpectedly";
    }
    void failedClipsAreReported() {
        QFETCH(QString, failure);
        QFETCH(QString, reason);
        UseSections(3);
        view->choice = CompletionChoice{true, true, true};
        FakeEncoder::Install(
            *program,
            QStringLiteral("case \"$out\" in *_Clip2.mp4) %1;; esac\necho clip > \"$out\"").arg(failure));

        runner->RunSplit();

        QCOMPARE(FakeEncoder::Calls(*program).size(), 3);
        QCOMPARE(view->Events(QStringLiteral("message:")), QStringList{"2:Splitting Failed"});
        QVERIFY2(view->messageTexts.first().endsWith(QLatin1Char('\n') + reason),
                 qPrintable(view->messageTexts.first()));
        QVERIFY(view->Events(QStringLiteral("countdown")).isEmpty());
        QVERIFY(view->Events(QStringLiteral("open:")).isEmpty());
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
        QVERIFY(QFile::exists(ClipPath(1)));
        QVERIFY(QFile::exists(ClipPath(3)));
    }

    // What the front-end notes about clips (where they really start) is told once, after the run's ending.
    void encoderNotesFollowTheEnding() {
        UseSections(2);
        FakeEncoder::Install(
            *program,
            QStringLiteral("case \"$out\" in *_Clip2.mp4) printf 'frame=1 time=0.5\\r\\0no'; sleep 0.1; "
                           "printf 'te starts at 00:00:06.000\\n';; esac\necho clip > \"$out\""));
        runner->RunSplit();
        QCOMPARE(view->Events(QStringLiteral("message:")),
                 (QStringList{Completed.mid(8), QStringLiteral("0:Cut Points")}));
        QCOMPARE(view->messageTexts.last(),
                 QStringLiteral("Notes on the clips:\ntalk_Clip2.mp4: starts at 00:00:06.000"));
    }

    // A clip that was not written has no start to tell about: notes are listed only for clips that exist.
    void notesOnlyForWrittenClips() {
        UseSections(3);
        FakeEncoder::Install(*program,
                             QStringLiteral("printf '\\0note starts elsewhere\\n'\n"
                                            // Text that only looks like a note is no note.
                                            "echo 'note: from a path'\n"
                                            "case \"$out\" in *_Clip2.mp4) echo 'no frames'; exit 1;; esac\n"
                                            "echo clip > \"$out\""));
        runner->RunSplit();
        QCOMPARE(view->Events(QStringLiteral("message:")),
                 (QStringList{QStringLiteral("2:Splitting Failed"), QStringLiteral("0:Cut Points")}));
        QCOMPARE(view->messageTexts.last(),
                 QStringLiteral("Notes on the clips:\ntalk_Clip1.mp4: starts elsewhere\n"
                                "talk_Clip3.mp4: starts elsewhere"));
    }

    void completionActions_data() {
        QTest::addColumn<bool>("turnOff");
        QTest::addColumn<bool>("exit");
        QTest::addColumn<bool>("openDir");
        QTest::addColumn<QStringList>("ending");
        QTest::newRow("turn off wins over exit")
            << true << true << true << QStringList{"timers off", "countdown:1"};
        QTest::newRow("exit") << false << true << true << QStringList{"timers off", "countdown:0"};
        QTest::newRow("success and open the folder")
            << false << false << true << QStringList{"timers off", Completed, "open:typed folder", "leave"};
        QTest::newRow("success only")
            << false << false << false << QStringList{"timers off", Completed, "leave"};
    }
    void completionActions() {
        QFETCH(bool, turnOff);
        QFETCH(bool, exit);
        QFETCH(bool, openDir);
        QFETCH(QStringList, ending);
        view->choice = CompletionChoice{turnOff, exit, openDir};
        view->outputDirText = QStringLiteral("typed folder");
        FakeEncoder::Install(*program, QStringLiteral("echo clip > \"$out\""));
        runner->RunSplit();
        QCOMPARE(view->events.mid(view->events.size() - ending.size()), ending);
        QCOMPARE(runner->State(), RunState::Idle);
    }

    void refusedInputTouchesNothing() {
        UseSections(0);
        FakeEncoder::Install(*program, QStringLiteral("echo clip > \"$out\""));
        runner->RunSplit();
        QCOMPARE(view->events, QStringList({"message:0:Invalid Section",
                                            QStringLiteral("focus:%1").arg(int(SplitFocus::SectionQty))}));
        QCOMPARE(view->messageTexts, QStringList{"Please specify a valid section quantity."});
        QVERIFY(FakeEncoder::Calls(*program).isEmpty());
    }

    void encoderThatCannotStart() {
        UseSections(2);
        App().EncoderPath = program->path() + QStringLiteral("missing/wmaspi.dll");
        runner->RunSplit();
        QCOMPARE(view->messageTexts, QStringList{"Error. Please re-install Tessel Video Splitter"});
        QCOMPARE(view->Events(QStringLiteral("message:")), QStringList{"1:Tessel Video Splitter"});
        QCOMPARE(view->Events(QStringLiteral("processing:")).size(), 1);
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
    }

    void cancelSilentEncoder() {
        FakeEncoder::Install(*program, QStringLiteral("echo clip > \"$out\"\nwhile :; do sleep 0.05; done"));
        When(
            this, [this] { return FakeEncoder::LastPid(*program) != 0; },
            [this] { runner->ConfirmCancel(); });

        runner->RunSplit();

        QCOMPARE(view->Events(QStringLiteral("ask:")), QStringList{"Query"});
        QVERIFY(view->Events(QStringLiteral("message:")).isEmpty());
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
        QVERIFY(!runner->EncoderRunning());
        QTRY_VERIFY(!FakeEncoder::ProcessAlive(FakeEncoder::LastPid(*program)));
        QCOMPARE(FilesIn(outputDir), QStringList());
    }

    // However a clip ends short of complete, its partial file goes and an earlier clip of that name stays.
    void unfinishedClipKeepsTheEarlierOne_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("end");
        QTest::newRow("cancel") << "step 'time=1.0 x'\nwhile :; do sleep 0.05; done"
                                << int(SplitResult::End::Cancelled);
        QTest::newRow("failure") << "echo 'Conversion failed!'; exit 1" << int(SplitResult::End::Finished);
        QTest::newRow("crash") << "kill -KILL $$" << int(SplitResult::End::Finished);
    }
    void unfinishedClipKeepsTheEarlierOne() {
        QFETCH(QString, ending);
        QFETCH(int, end);
        UseSections(2);
        program->Write(QStringLiteral("out/talk_Clip2.mp4"), "earlier");
        FakeEncoder::Install(*program, QStringLiteral("printf half > \"$out\"\n"
                                                      "case \"$out\" in *_Clip2.mp4) %1;; esac\n"
                                                      "echo clip > \"$out\"")
                                           .arg(ending));
        const bool cancel = end == int(SplitResult::End::Cancelled);
        if (cancel)
            view->onProgress = [this] { runner->ConfirmCancel(); };

        const SplitResult result = runner->RunSplit();

        QCOMPARE(int(result.end), end);
        QCOMPARE(result.written, 1);
        QCOMPARE(result.failed, cancel ? 0 : 1);
        QCOMPARE(FilesIn(outputDir), QStringList({"talk_Clip1.mp4", "talk_Clip2.mp4"}));
        QFile earlier(ClipPath(2));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("earlier"));
    }

    void cancelAnsweredNoGoesOn() {
        view->answers << false;
        FakeEncoder::Install(*program,
                             QStringLiteral("step 'time=5.0 x'\nstep 'time=9.0 x'\necho clip > \"$out\""));
        view->onProgress = [this] {
            if (released == 0)
                runner->ConfirmCancel();
            FakeEncoder::Release(*program, ++released);
        };
        runner->RunSplit();
        QCOMPARE(view->Events(QStringLiteral("ask:")), QStringList{"Query"});
        QVERIFY(view->events.contains(Completed));
    }

    void stopEndsEncoderThatIgnoresTerm() {
        FakeEncoder::Install(
            *program,
            QStringLiteral("trap '' TERM INT HUP\nprintf 'time=1.0 x'\nwhile :; do sleep 0.05; done"));
        view->onProgress = [this] { runner->ConfirmCancel(); };
        runner->RunSplit();
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
        QVERIFY(!runner->EncoderRunning());
        QTRY_VERIFY(!FakeEncoder::ProcessAlive(FakeEncoder::LastPid(*program)));
    }

    void closeQuery() {
        QVERIFY(runner->CloseQuery()); // idle: nothing asked
        QVERIFY(view->events.isEmpty());

        view->answers << false << true;
        FakeEncoder::Install(*program,
                             QStringLiteral("step 'time=1.0 x'\nstep 'time=2.0 x'\nstep 'time=3.0 x'"));
        QList<bool> results;
        view->onProgress = [&] {
            if (results.size() < 2)
                results << runner->CloseQuery();
            FakeEncoder::Release(*program, ++released);
        };
        runner->RunSplit();
        QCOMPARE(results, QList<bool>({false, true}));
        QCOMPARE(view->Events(QStringLiteral("ask:")), QStringList({"Exit Query", "Exit Query"}));
        QCOMPARE(view->Events(QStringLiteral("progress:")).size(), 2);
        QVERIFY(!view->events.contains(Completed));
        QTRY_VERIFY(!FakeEncoder::ProcessAlive(FakeEncoder::LastPid(*program)));
    }

    void killedProgramLeavesNoEncoder() {
        QProcess host;
        host.start(QCoreApplication::applicationDirPath() + QStringLiteral("/splitrunnerhost"));
        QVERIFY(host.waitForReadyRead(60000));
        const QString folder = QString::fromLocal8Bit(host.readLine()).trimmed();
        QFile pidFile(folder + QStringLiteral("pid"));
        QTRY_VERIFY_WITH_TIMEOUT(pidFile.exists() && pidFile.size() > 0, 60000);
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const qint64 encoderPid = pidFile.readAll().trimmed().toLongLong();
        QVERIFY(FakeEncoder::ProcessAlive(encoderPid));

        host.kill();
        QVERIFY(host.waitForFinished(60000));
        QTRY_VERIFY_WITH_TIMEOUT(!FakeEncoder::ProcessAlive(encoderPid), 60000);
        QDir(folder).removeRecursively();
    }

    // Kept last: it ends the application's event loops, as closing the last window does.
    void applicationEndStopsTheEncoder() {
        FakeEncoder::Install(*program, QStringLiteral("while :; do sleep 0.05; done"));
        When(
            this, [this] { return FakeEncoder::LastPid(*program) != 0; }, [] { QCoreApplication::exit(0); });
        runner->RunSplit();
        QCOMPARE(view->events.last(), QStringLiteral("leave"));
        QTRY_VERIFY(!FakeEncoder::ProcessAlive(FakeEncoder::LastPid(*program)));
        // Let the application's loop run once more, which clears the pending exit.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
    }
};

QTEST_GUILESS_MAIN(TestSplitRunner)
#include "tst_splitrunner.moc"
