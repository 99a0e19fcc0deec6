#include "app/appcontext.h"
#include "fakeencoder.h"
#include "formsfixture.h"
#include "platform/logindpoweroff.h"
#include "prefs/settingform.h"
#include "profiles/opsettingform.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "split/countdownform.h"
#include "split/mainformsplitview.h"
#include "split/splitrunner.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "ui/roundimage.h"
#include "widgets/wordchoice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(CountdownAction)

namespace {

// Runs action once condition holds, checking from the event loop that the run keeps alive.
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

} // namespace

// The split run as the main window shows it: the elapsed-time tick, the countdown dialog and its actions.
class TestSplitWindow : public QObject, public FormsFixture {
    Q_OBJECT
private:
    QTemporaryDir media;
    QString source;
    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;
    QString outputDir;
    int released = 0;

    // The source loaded in the preview, two sections of it marked, the settings boxes all clear.
    void PrepareRun(const QString& encoderBody) {
        MainForm->show();
        MainForm->LoadSource(source);
        QVERIFY(MainForm->SourceDurationMs() > 0);
        ui.edtStart->setText(QStringLiteral("00:00:02"));
        ui.edtEnd->setText(QStringLiteral("00:00:06"));
        ui.rdbEqual->setChecked(true);
        ui.edtSectionQty->setText(QStringLiteral("2"));
        ui.cmbProfile->setCurrentIndex(ui.cmbProfile->findText(QStringLiteral("Test")));
        QCOMPARE(ui.cmbProfile->currentText(), QStringLiteral("Test"));
        ui.edtOutputDir->setText(outputDir);
        for (QCheckBox* box : {SettingForm->chkOverwrite, SettingForm->chkOpenDir, SettingForm->chkExit,
                               SettingForm->chkTurnoff})
            box->setChecked(false);
        MainForm->cmbProfileChange();
        FakeEncoder::Install(*program, encoderBody);
        doubles->messages.calls.clear();
    }
    // The shipped profiles, the real front-end and an 8 s MOV loaded; the MOV's path, or empty.
    QString PrepareRealRun() {
        DestroyForms();
        program->CopyShippedProfiles();
        CreateForms({});
        const QString mov = media.filePath(QStringLiteral("talk.mov"));
        QString error;
        if (!QFile::exists(mov) &&
            !TestMedia::MakeVideo(
                mov, 8, {"-c:v", "libx264", "-g", "25", "-pix_fmt", "yuv420p", "-c:a", "aac"}, &error))
            return QString();
        PrepareRun(QString());
        App().EncoderPath = qEnvironmentVariable("TESSEL_PROGRAM_DIR") + QStringLiteral("/wmaspi.dll");
        MainForm->LoadSource(mov);
        return mov;
    }
    QStringList Captions() const {
        QStringList captions;
        for (const MessageBoxDouble::Call& call : doubles->messages.calls)
            captions << call.caption;
        return captions;
    }
    void VerifyIdle() {
        QVERIFY(!ui.panProgress->isVisible());
        QVERIFY(ui.imgStart->isVisible());
        QCOMPARE(MainForm->Runner().State(), RunState::Idle);
        QVERIFY(!MainForm->RunView().Runner().EncoderRunning());
    }

    void StartCountdown(CountdownAction action) {
        MainForm->show();
        MainForm->EnterBusyState();
        MainForm->RunView().StartCountdown(action);
    }

private slots:
    void initTestCase() {
        source = media.filePath(QStringLiteral("talk.mp4"));
        QString error;
        QVERIFY2(TestMedia::MakeVideo(source, 8, {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"},
                                      &error),
                 qPrintable(error));
    }
    void init() {
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        program->Write(QStringLiteral("Profiles/Test.apf"), "[Main]\nType=mp4\nPara=0\n");
        outputDir = program->path() + QStringLiteral("out");
        QVERIFY(QDir().mkpath(outputDir));
        released = 0;
        CreateForms({});
    }
    void cleanup() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void processTick_data() {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("elapsed");
        QTest::addColumn<QString>("remaining");
        QTest::newRow("30 ticks at 25") << 30 << 25 << "00:00:30"
                                        << "00:01:30";
        QTest::newRow("45 ticks at 50") << 45 << 50 << "00:00:45"
                                        << "00:00:45";
        QTest::newRow("nothing done yet") << 4000 << 0 << "01:06:40"
                                          << "";
        QTest::newRow("all done") << 12 << 100 << "00:00:12"
                                  << "00:00:00";
    }
    void processTick() {
        QFETCH(int, ticks);
        QFETCH(int, total);
        QFETCH(QString, elapsed);
        QFETCH(QString, remaining);
        for (int tick = 1; tick < ticks; ++tick)
            MainForm->tmrProcessTimer();
        ui.pgbTotal->setValue(total);
        MainForm->tmrProcessTimer();
        QCOMPARE(MainForm->ElapsedSeconds(), ticks);
        QCOMPARE(ui.labElapsed->text(), elapsed);
        QCOMPARE(ui.labRemaining->text(), remaining);
    }

    // The bar and its label agree; the time left is blank until it can be estimated and follows progress.
    void progressPanelAgrees() {
        MainForm->EnterBusyState();
        const auto shown = [this] {
            return QStringLiteral("%1 %2 %3")
                .arg(ui.pgbCurrent->value())
                .arg(ui.labCurProgress->text(), ui.labRemaining->text());
        };
        MainForm->tmrProcessTimer();
        QCOMPARE(shown(), QStringLiteral("0 0% "));
        MainForm->RunView().ShowProgress(100, 100);
        QCOMPARE(shown(), QStringLiteral("100 100% 00:00:00"));
        MainForm->RunView().ResetCurrentBar();
        QCOMPARE(shown(), QStringLiteral("0 0% 00:00:00"));
    }

    void countdownRunsOut_data() {
        QTest::addColumn<CountdownAction>("action");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("turn off") << CountdownAction::TurnOff << "Turn off Now"
                                  << "The computer will be turned off within";
        QTest::newRow("exit") << CountdownAction::Exit << "Exit Now"
                              << "The program will exit within";
    }
    void countdownRunsOut() {
        QFETCH(CountdownAction, action);
        QFETCH(QString, button);
        QFETCH(QString, prefix);
        StartCountdown(action);

        QVERIFY(CountDownForm->isVisible());
        QVERIFY(!MainForm->isEnabled());
        QVERIFY(CountDownForm->isEnabled());
        QVERIFY(CountDownForm->tmrCountdown->isActive());
        QCOMPARE(CountDownForm->btnDoNow->text(), button);
        QCOMPARE(CountDownForm->labMessage->text(), prefix + " 10 seconds.");
        for (int i = 0; i < 9; ++i)
            CountDownForm->tmrCountdownTimer();
        QCOMPARE(CountDownForm->labMessage->text(), prefix + " 1 seconds.");
        QCOMPARE(doubles->power.requests, 0);
        QVERIFY(MainForm->isVisible());

        CountDownForm->tmrCountdownTimer();
        QCOMPARE(CountDownForm->labMessage->text(), prefix + " 0 seconds.");
        QVERIFY(!CountDownForm->tmrCountdown->isActive());
        if (action == CountdownAction::TurnOff) {
            QCOMPARE(doubles->power.requests, 1);
            QVERIFY(MainForm->isVisible());
            QVERIFY(CountDownForm->isVisible());
        } else {
            QCOMPARE(doubles->power.requests, 0);
            QVERIFY(!MainForm->isVisible());
            // Closing the main window saves the preferences.
            QVERIFY(QFile::exists(App().PreferencesPath()));
        }
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void nowActsAtOnce() {
        StartCountdown(CountdownAction::TurnOff);
        CountDownForm->tmrCountdownTimer();
        QTest::mouseClick(CountDownForm->btnDoNow, Qt::LeftButton);
        QCOMPARE(doubles->power.requests, 1);
        QVERIFY(CountDownForm->isVisible());
        // The count does not run on to ask a second time.
        QVERIFY(!CountDownForm->tmrCountdown->isActive());
    }

    void countdownGivenUp_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void countdownGivenUp() {
        QFETCH(bool, closeBox);
        StartCountdown(CountdownAction::Exit);
        if (closeBox)
            CountDownForm->close();
        else
            QTest::mouseClick(CountDownForm->btnCancel, Qt::LeftButton);

        QVERIFY(!CountDownForm->isVisible());
        QVERIFY(!CountDownForm->tmrCountdown->isActive());
        QVERIFY(MainForm->isEnabled());
        QVERIFY(MainForm->isVisible());
        QVERIFY(ui.imgStart->isVisible());
        QVERIFY(!ui.panProgress->isVisible());
        QCOMPARE(MainForm->Runner().State(), RunState::Idle);
        QCOMPARE(doubles->power.requests, 0);
    }

    void countdownLayout() {
        QCOMPARE(CountDownForm->windowTitle(), QStringLiteral("Countdown"));
        QCOMPARE(CountDownForm->size(), QSize(376, 106));
        QCOMPARE(CountDownForm->palette().color(QPalette::Window), QColor(237, 237, 237));
        QCOMPARE(CountDownForm->btnDoNow->geometry(), QRect(176, 64, 75, 25));
        QCOMPARE(CountDownForm->btnCancel->geometry(), QRect(272, 64, 75, 25));
        QCOMPARE(CountDownForm->labMessage->geometry(), QRect(77, 24, 265, 13));
        QCOMPARE(CountDownForm->tmrCountdown->interval(), 1000);
    }

    void runShowsProgressAndCompletes() {
        PrepareRun(QStringLiteral("step 'frame=1 time=00:00:01.00 bitrate=1\\r'\necho clip > \"$out\""));
        SettingForm->chkOpenDir->setChecked(true);
        QStringList seen;
        connect(&MainForm->RunView().Runner(), &SplitRunner::ClipStarted, this, [&] {
            When(
                this, [this] { return ui.pgbCurrent->value() > 0; },
                [&] {
                    seen << ui.labProcessing->text() + QStringLiteral(" ") + ui.labCurProgress->text() +
                                QStringLiteral(" ") + ui.labTotalProgress->text();
                    QVERIFY(ui.panProgress->isVisible());
                    for (QLabel* label : {ui.labCurProgress, ui.labTotalProgress})
                        QVERIFY(label->width() >= label->sizeHint().width());
                    QVERIFY(ui.tmrProcess->isActive());
                    FakeEncoder::Release(*program, ++released);
                });
        });

        MainForm->RunSplit();

        QCOMPARE(seen, QStringList({"Splitting: Section 1 50% 25%", "Splitting: Section 2 50% 75%"}));
        QCOMPARE(doubles->messages.Texts(), QStringList{"Splitting is completed successfully."});
        QCOMPARE(Captions(), QStringList{"Completed"});
        QCOMPARE(doubles->messages.calls.first().icon, MsgIcon::Information);
        QCOMPARE(doubles->messages.calls.first().owner, MainForm);
        QCOMPARE(doubles->shell.opened, QStringList{outputDir});
        QVERIFY(!ui.tmrProcess->isActive());
        VerifyIdle();
        QVERIFY(QFile::exists(outputDir + QStringLiteral("/talk_Clip2.mp4")));
    }

    void cancelImageDuringRun_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("No goes on") << false;
        QTest::newRow("Yes cancels") << true;
    }
    void cancelImageDuringRun() {
        QFETCH(bool, answer);
        PrepareRun(QStringLiteral("step 'time=1.0 x'\necho clip > \"$out\""));
        doubles->messages.answers.enqueue(answer ? MsgResult::Yes : MsgResult::No);
        qint64 pid = 0;
        When(
            this, [this] { return FakeEncoder::LastPid(*program) != 0 && ui.pgbCurrent->value() > 0; },
            [&] {
                pid = FakeEncoder::LastPid(*program);
                QTest::mouseClick(ui.imgCancel, Qt::LeftButton, {}, QPoint(55, 55));
                if (!answer) {
                    // Both clips then go on to the end.
                    FakeEncoder::Release(*program, 1);
                    When(
                        this,
                        [this] {
                            return QFile::exists(program->path() + "steps") &&
                                   FakeEncoder::Calls(*program).size() == 2;
                        },
                        [this] { FakeEncoder::Release(*program, 2); });
                }
            });

        MainForm->RunSplit();

        QCOMPARE(doubles->messages.calls.first().text,
                 QStringLiteral("Do you want to cancel the splitting?"));
        QCOMPARE(doubles->messages.calls.first().caption, QStringLiteral("Query"));
        QCOMPARE(doubles->messages.calls.first().icon, MsgIcon::Question);
        if (answer)
            QCOMPARE(Captions(), QStringList{"Query"});
        else
            QCOMPARE(Captions(), QStringList({"Query", "Completed"}));
        QCOMPARE(FakeEncoder::Calls(*program).size(), answer ? 1 : 2);
        QTRY_VERIFY(!FakeEncoder::ProcessAlive(pid));
        VerifyIdle();
    }

    void closeDuringRun() {
        PrepareRun(QStringLiteral("while :; do sleep 0.05; done"));
        doubles->messages.answers << MsgResult::No << MsgResult::Yes;
        QList<bool> closed;
        When(
            this, [this] { return FakeEncoder::LastPid(*program) != 0; },
            [&] {
                closed << MainForm->close();
                closed << MainForm->isVisible();
                closed << MainForm->close();
            });

        MainForm->RunSplit();

        QCOMPARE(closed, QList<bool>({false, true, true}));
        QCOMPARE(doubles->messages.Texts(), QStringList({"Do you want to cancel the splitting and exit?",
                                                         "Do you want to cancel the splitting and exit?"}));
        QCOMPARE(Captions(), QStringList({"Exit Query", "Exit Query"}));
        QVERIFY(!MainForm->isVisible());
        // The close saved the preferences, as every close does.
        QVERIFY(QFile::exists(App().PreferencesPath()));
        QTRY_VERIFY(!FakeEncoder::ProcessAlive(FakeEncoder::LastPid(*program)));
        QCOMPARE(FakeEncoder::Calls(*program).size(), 1);
        QCOMPARE(MainForm->Runner().State(), RunState::Idle);
    }

    void runEndsInCountdown() {
        PrepareRun(QStringLiteral("echo clip > \"$out\""));
        SettingForm->chkExit->setChecked(true);
        SettingForm->chkOpenDir->setChecked(true);
        MainForm->RunSplit();
        QVERIFY(doubles->messages.calls.isEmpty());
        QVERIFY(doubles->shell.opened.isEmpty());
        QVERIFY(CountDownForm->isVisible());
        QCOMPARE(CountDownForm->btnDoNow->text(), QStringLiteral("Exit Now"));
        QVERIFY(!MainForm->isEnabled());
        QCOMPARE(MainForm->Runner().State(), RunState::Idle);
        // Still busy under the countdown, until it acts or is given up.
        QVERIFY(ui.panProgress->isVisible());
        QVERIFY(!ui.tmrProcess->isActive());
        QTest::mouseClick(CountDownForm->btnCancel, Qt::LeftButton);
        QVERIFY(MainForm->isEnabled());
        VerifyIdle();
    }

    void failedClipStopsTheCountdown() {
        PrepareRun(QStringLiteral("case \"$out\" in *_Clip1.mp4) echo 'Conversion failed!'; exit 1;; esac\n"
                                  "echo clip > \"$out\""));
        SettingForm->chkTurnoff->setChecked(true);
        MainForm->RunSplit();
        QCOMPARE(Captions(), QStringList{"Splitting Failed"});
        QCOMPARE(doubles->messages.calls.first().icon, MsgIcon::Stop);
        QVERIFY(doubles->messages.calls.first().text.contains(
            QLatin1String("talk_Clip1.mp4: Conversion failed!")));
        QVERIFY(!CountDownForm->isVisible());
        QCOMPARE(doubles->power.requests, 0);
        QVERIFY(MainForm->isEnabled());
        VerifyIdle();
        QVERIFY(QFile::exists(outputDir + QStringLiteral("/talk_Clip2.mp4")));
    }

    void refusedInputMovesTheFocus() {
        PrepareRun(QStringLiteral("echo clip > \"$out\""));
        QApplication::setActiveWindow(MainForm);
        ui.edtSectionQty->setText(QStringLiteral("0"));
        MainForm->RunSplit();
        QCOMPARE(doubles->messages.Texts(), QStringList{"Please specify a valid section quantity."});
        QCOMPARE(Captions(), QStringList{"Invalid Section"});
        QTRY_COMPARE(QApplication::focusWidget(), ui.edtSectionQty);
        QVERIFY(FakeEncoder::Calls(*program).isEmpty());
        VerifyIdle();
    }

    // The word after the section field says what the number means; choosing it chooses sections.
    void sectionsRowChoosesClipLength() {
        PrepareRun(QStringLiteral("echo clip > \"$out\""));
        QApplication::setActiveWindow(MainForm);
        QStringList choices;
        for (int i = 0; i < ui.cmbSectionMode->count(); ++i)
            choices << ui.cmbSectionMode->itemText(i);
        QCOMPARE(choices, (QStringList{"equal sections.", "seconds each."}));
        QCOMPARE(ui.cmbSectionMode->currentText(), QStringLiteral("equal sections."));
        ui.rdbStartEnd->setChecked(true);
        auto* choice = qobject_cast<WordChoice*>(ui.cmbSectionMode);
        QVERIFY(choice && choice->AtRest());
        ui.cmbSectionMode->setFocus();
        QVERIFY(!choice->AtRest());
        QTest::keyClick(ui.cmbSectionMode, Qt::Key_Down);
        QCOMPARE(ui.cmbSectionMode->currentText(), QStringLiteral("seconds each."));
        QVERIFY(ui.rdbEqual->isChecked());

        ui.edtSectionQty->setText(QStringLiteral("0:0:0"));
        MainForm->RunSplit();
        QCOMPARE(doubles->messages.Texts(), QStringList{"Please specify a valid clip length."});
        QCOMPARE(Captions(), QStringList{"Invalid Section"});
        QTRY_COMPARE(QApplication::focusWidget(), ui.edtSectionQty);
        QVERIFY(FakeEncoder::Calls(*program).isEmpty());

        // 00:00:02 to 00:00:06 in clips of 1.5 s: 1.5, 1.5 and the rest, 1 s.
        doubles->messages.calls.clear();
        ui.edtSectionQty->setText(QStringLiteral("1.5"));
        MainForm->RunSplit();
        QCOMPARE(doubles->messages.Texts(), QStringList{"Splitting is completed successfully."});
        QList<QPair<double, double>> clips;
        for (const QStringList& call : FakeEncoder::Calls(*program))
            clips << qMakePair(call.value(call.indexOf(QStringLiteral("-ss")) + 1).toDouble(),
                               call.value(call.indexOf(QStringLiteral("-t")) + 1).toDouble());
        QCOMPARE(clips, (QList<QPair<double, double>>{{2, 1.5}, {3.5, 1.5}, {5, 1}}));
        VerifyIdle();
    }

    // The preview knows the source's frame rate: 0.2 s at 25 fps hold 5 frames, not 6 sections.
    void sectionsShorterThanAFrameAreRefused() {
        PrepareRun(QStringLiteral("echo clip > \"$out\""));
        ui.edtEnd->setText(QStringLiteral("00:00:02.2"));
        ui.edtSectionQty->setText(QStringLiteral("6"));
        MainForm->RunSplit();
        QCOMPARE(doubles->messages.Texts(), QStringList{"Please specify a valid section quantity."});
        QVERIFY(FakeEncoder::Calls(*program).isEmpty());
    }

    // "MB each." is offered only while a profile that copies the streams is chosen, and its clips, cut by
    // the real front-end, tile the range within the size.
    void sizeChoiceOnlyForAStreamCopy() {
        const QString mov = PrepareRealRun();
        QVERIFY(!mov.isEmpty());
        const auto choose = [&](const QString& profile) {
            ui.cmbProfile->setCurrentIndex(ui.cmbProfile->findText(profile));
            MainForm->cmbProfileChange();
        };
        choose(QStringLiteral("Settings of the source file."));
        const int size = ui.cmbSectionMode->findText(QStringLiteral("MB each."));
        QVERIFY(size >= 0);
        ui.cmbSectionMode->setCurrentIndex(size);
        ui.edtStart->setText(QStringLiteral("00:00:01"));
        ui.edtEnd->setText(QStringLiteral("00:00:07"));
        const qint64 limit = QFileInfo(mov).size() / 4;
        ui.edtSectionQty->setText(QString::number(limit / 1e6, 'f', 6));
        ProfileOptions arguments;
        BuildProfileArguments(App().ProfilePath(ui.cmbProfile->currentText()), arguments,
                              opSettingForm->Lists);
        MainForm->RunSplit(arguments);
        QCOMPARE(doubles->messages.Texts(), QStringList{"Splitting is completed successfully."});
        const QFileInfoList clips = QDir(outputDir).entryInfoList(QDir::Files, QDir::Name);
        QVERIFY2(clips.size() >= 2, qPrintable(QString::number(clips.size())));
        double covered = 0;
        for (const QFileInfo& clip : clips) {
            QVERIFY2(clip.size() <= limit, qPrintable(clip.fileName()));
            covered += TestMedia::ProbeDuration(clip.filePath());
        }
        QVERIFY2(qAbs(covered - 6) < 0.1, qPrintable(QString::number(covered)));
        VerifyIdle();

        // An encoding profile cannot promise a size: the choice goes, and the row counts sections again.
        choose(QStringLiteral("MP4 (H.264 + AAC)"));
        QCOMPARE(ui.cmbSectionMode->findText(QStringLiteral("MB each.")), -1);
        QCOMPARE(ui.cmbSectionMode->currentText(), QStringLiteral("equal sections."));
    }

    // The whole chain with the shipped profiles, the real front-end and ffmpeg.
    void shippedProfilesSplitForReal_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("sections");
        QTest::addColumn<QString>("clipType");
        QTest::addColumn<QString>("videoCodec");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("MP4 in three sections") << "MP4 (H.264 + AAC)" << 3 << ".mp4"
                                               << "h264" << 0.05;
        // Copies start at the keyframe before the start; the source has one every second.
        QTest::newRow("stream copy of a MOV") << "Settings of the source file." << 1 << ".mov"
                                              << "h264" << 1.0;
    }
    void shippedProfilesSplitForReal() {
        QFETCH(QString, profile);
        QFETCH(int, sections);
        QFETCH(QString, clipType);
        QFETCH(QString, videoCodec);
        QFETCH(double, tolerance);
        const QString mov = PrepareRealRun();
        QVERIFY(!mov.isEmpty());
        ui.edtStart->setText(QStringLiteral("00:00:01"));
        ui.edtEnd->setText(QStringLiteral("00:00:07"));
        ui.edtSectionQty->setText(QString::number(sections));
        ui.cmbProfile->setCurrentIndex(ui.cmbProfile->findText(profile));
        QCOMPARE(ui.cmbProfile->currentText(), profile);
        MainForm->cmbProfileChange();
        ProfileOptions arguments;
        BuildProfileArguments(App().ProfilePath(profile), arguments, opSettingForm->Lists);

        MainForm->RunSplit(arguments);

        QCOMPARE(doubles->messages.Texts(), QStringList{"Splitting is completed successfully."});
        for (int i = 1; i <= sections; ++i) {
            const QString clip = outputDir + QStringLiteral("/talk_Clip%1").arg(i) + clipType;
            QVERIFY2(QFile::exists(clip), qPrintable(clip));
            QVERIFY2(qAbs(TestMedia::ProbeDuration(clip) - 6.0 / sections) <= tolerance,
                     qPrintable(QString::number(TestMedia::ProbeDuration(clip))));
            QCOMPARE(TestMedia::ProbeCodec(clip, QStringLiteral("v")), videoCodec);
        }
        QCOMPARE(QDir(outputDir).entryList(QDir::Files).size(), sections);
        VerifyIdle();
    }

    void closeWhileIdleAsksNothing() {
        MainForm->show();
        QVERIFY(MainForm->close());
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void powerOffGoesThroughThePlatform() {
        MainForm->PowerOff();
        QCOMPARE(doubles->power.requests, 1);
    }

    // The system answers a power-off later; a refusal then says why, over the countdown that stays open.
    void refusedPowerOffIsReported() {
        StartCountdown(CountdownAction::TurnOff);
        QTest::mouseClick(CountDownForm->btnDoNow, Qt::LeftButton);
        QCOMPARE(doubles->power.requests, 1);
        QVERIFY(doubles->messages.calls.isEmpty());
        QVERIFY(CountDownForm->btnCancel->isEnabled());

        doubles->power.Refuse(QStringLiteral("Interactive authentication required."));
        QCOMPARE(doubles->messages.Texts(), QStringList{"The computer could not be turned off: Interactive "
                                                        "authentication required."});
        QCOMPARE(doubles->messages.calls.first().owner, CountDownForm);
        QVERIFY(CountDownForm->isVisible());
    }

    // The real request never waits for logind: without a bus to ask, the refusal comes from the event loop.
    void logindRequestDoesNotWait() {
        QString reason;
        Platform::RequestLogindPowerOff(
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                          QStringLiteral("none")),
            [&](const QString& refusal) { reason = refusal; });
        QVERIFY(reason.isEmpty());
        QTRY_VERIFY(!reason.isEmpty());
    }
};

QTEST_MAIN(TestSplitWindow)
#include "tst_splitwindow.moc"
