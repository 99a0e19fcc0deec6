#include "app/appcontext.h"
#include "formsfixture.h"
#include "profiles/opsettingform.h"
#include "profilesamples.h"
#include "split/splitrunner.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"

#include <QComboBox>
#include <QCursor>
#include <QtTest>
#include <memory>

using namespace ProfileSamples;

// The main window's profile choice loads the profile into the editor's working lists.
class TestProfileChoice : public QObject, public FormsFixture {
    Q_OBJECT

    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;

private slots:
    void init() {
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        program->CopyShippedProfiles();
        program->Write(QStringLiteral("Profiles/Example.apf"), WorkedExample);
        program->Write(QStringLiteral("Profiles/Broken.apf"),
                       "[Main]\nType=wmv\nPara=2\n0=A\n1=B\n[A]\nSort=2\nList=0\nCaption=kept\n"
                       "[B]\nSort=1\nCaption=x,\nIndex=5\n");
        CreateForms({});
        const QSignalBlocker blocker(ui.cmbProfile);
        ui.cmbProfile->clear();
        ui.cmbProfile->addItems({"Broken", "Example", "Missing", "Settings of the source file."});
    }
    void cleanup() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void choosingLoads_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("outputExt");
        QTest::addColumn<QStringList>("audio");
        QTest::addColumn<QString>("error");
        QTest::newRow("example") << "Example"
                                 << ".avi" << QStringList{"Audio Bitrate=128", "Disable Audio=Yes"} << "";
        QTest::newRow("name with two dots") << "Settings of the source file."
                                            << ".mp4" << QStringList{"Disable Audio=No"} << "";
        QTest::newRow("missing file changes nothing")
            << "Missing"
            << "" << QStringList{"Audio Codec=", "Audio Bitrate=", "Sample Rate=",
                                 "Channels=",    "Volumn=",        "Disable Audio="}
            << "";
        QTest::newRow("bad index is reported")
            << "Broken"
            << ".wmv" << QStringList{"A=kept"} << "List index out of bounds (5)";
    }
    void choosingLoads() {
        QFETCH(QString, name);
        QFETCH(QString, outputExt);
        QFETCH(QStringList, audio);
        QFETCH(QString, error);
        ui.cmbProfile->setCurrentText(name);
        MainForm->cmbProfileChange();
        QCOMPARE(opSettingForm->Lists.OutputExt(), outputExt);
        QCOMPARE(Rows(opSettingForm->Lists.vleAudio), audio);
        QCOMPARE(doubles->messages.Texts(), error.isEmpty() ? QStringList() : QStringList{error});
        if (!error.isEmpty()) {
            QCOMPARE(doubles->messages.calls.at(0).caption, App().ProductName);
            QCOMPARE(doubles->messages.calls.at(0).icon, MsgIcon::Stop);
        }
    }

    // Start builds the argument text first: a profile that cannot be built stops it before the run's checks.
    void startBuildsBeforeTheRun_data() {
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QString>("message");
        QTest::newRow("good profile reaches the run")
            << WorkedExample << "Please specify a valid input video file.";
        QTest::newRow("choice without a value stops the Start")
            << QByteArray("[Main]\nPara=1\n0=B\n[B]\nSort=1\ncmd=-b\nCaption=x,y,\nValue=only,\nIndex=1\n")
            << "List index out of bounds (1)";
    }
    void startBuildsBeforeTheRun() {
        QFETCH(QByteArray, profile);
        QFETCH(QString, message);
        program->Write(QStringLiteral("Profiles/Start.apf"), profile);
        ui.cmbProfile->addItem(QStringLiteral("Start"));
        ui.cmbProfile->setCurrentText(QStringLiteral("Start"));
        MainForm->cmbProfileChange();
        const QPoint centre = MainForm->frameGeometry().topLeft() + QPoint(399 + 54 + 4 + 55, 297 + 30 + 55);
        QCursor::setPos(centre);
        if (QCursor::pos() != centre)
            QSKIP("This platform cannot place the pointer");
        MainForm->imgStartClick();
        QCOMPARE(doubles->messages.Texts(), QStringList{message});
        QCOMPARE(MainForm->Runner().State(), RunState::Idle);
    }
};

QTEST_MAIN(TestProfileChoice)
#include "tst_profilechoice.moc"
