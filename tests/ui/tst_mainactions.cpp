#include "app/appcontext.h"
#include "formsfixture.h"
#include "split/splitrunner.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "ui/roundimage.h"

#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestMainActions : public QObject, public FormsFixture {
    Q_OBJECT

    std::unique_ptr<PlatformDoubles> doubles;
    std::unique_ptr<TempProgramDir> program;
    TMainForm* form = nullptr;

private slots:
    void init() {
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        CreateForms({});
        form = MainForm;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void cleanup() {
        DestroyForms();
        form = nullptr;
        program.reset();
        doubles.reset();
    }

    void help() {
        QTest::mouseClick(ui.tbtnHelp, Qt::LeftButton);
        QCOMPARE(doubles->shell.opened, QStringList{App().HelpFilePath});
        QVERIFY(App().HelpFilePath.startsWith(program->path()));
#ifdef Q_OS_WIN
        QVERIFY(App().HelpFilePath.endsWith("Corvexa.chm"));
#else
        QVERIFY(App().HelpFilePath.endsWith("Corvexa.html"));
#endif
    }

    // Where no program opens files or web pages, the window says so and names what to open by hand.
    void nothingToLaunchWith() {
        doubles->shell.launches = false;
        QTest::mouseClick(ui.tbtnHelp, Qt::LeftButton);
        QCOMPARE(doubles->messages.Texts(),
                 QStringList{"No program could be started to open this. Please open it by hand:\n" +
                             App().HelpFilePath});
    }

    void helpDuringARun() {
        form->EnterBusyState();
        QTest::mouseClick(ui.tbtnHelp, Qt::LeftButton);
        QCOMPARE(doubles->shell.opened.size(), 1);
    }

    void logo() {
        QTest::mouseClick(ui.imgLogo, Qt::LeftButton, {}, QPoint(60, 30));
        QCOMPARE(doubles->shell.opened, QStringList{App().WebPageAddress});
        QVERIFY(!App().WebPageAddress.isEmpty());
        QTest::mouseClick(ui.imgLogo, Qt::RightButton, {}, QPoint(60, 30));
        QCOMPARE(doubles->shell.opened.size(), 1);
    }

    void browse_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected");
        const QString sep = NativeSeparator();
        QTest::newRow("cancelled") << ""
                                   << "kept";
        QTest::newRow("chosen") << "/tmp/clips"
                                << "/tmp/clips" + sep;
        QTest::newRow("already ending in the separator") << "/tmp/clips" + sep << "/tmp/clips" + sep;
        const QString deep = "/tmp/" + QString(300, 'd');
        QTest::newRow("longer than 260 characters") << deep << deep + sep;
    }
    void browse() {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        ui.edtOutputDir->setText("kept");
        doubles->folders.answer = answer;
        QTest::mouseClick(ui.bbtnBrowse, Qt::LeftButton);
        QCOMPARE(doubles->folders.calls, 1);
        QCOMPARE(doubles->folders.lastCaption, QStringLiteral("Select the output directory."));
        QCOMPARE(ui.edtOutputDir->text(), expected);
    }

    void sectionCountClick() {
        QVERIFY(ui.rdbStartEnd->isChecked());
        QVERIFY(ui.edtSectionQty->text().isEmpty());
        QTest::mouseClick(ui.edtSectionQty, Qt::LeftButton, {}, QPoint(10, 9));
        QVERIFY(ui.rdbEqual->isChecked());
        QVERIFY(!ui.rdbStartEnd->isChecked());
    }

    // The click starts the run only when the pointer's screen position lies in the circle after the fixed
    // allowances; with nothing filled in, the run's first input check answers with a message.
    void startClick_data() {
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<int>("messages");
        QTest::newRow("centre") << QPoint(0, 0) << 1;
        QTest::newRow("48 below") << QPoint(0, 48) << 1;
        QTest::newRow("49 below") << QPoint(0, 49) << 0;
        QTest::newRow("far left") << QPoint(-60, 0) << 0;
    }
    void startClick() {
        QFETCH(QPoint, offset);
        QFETCH(int, messages);
        const QPoint centre = form->frameGeometry().topLeft() + QPoint(399 + 54 + 4 + 55, 297 + 30 + 55);
        QCursor::setPos(centre + offset);
        if (QCursor::pos() != centre + offset)
            QSKIP("the platform cannot place the pointer");
        // Where the event lands on the image does not matter, only the pointer's position.
        QTest::mouseClick(ui.imgStart, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doubles->messages.calls.size(), messages);
        if (messages)
            QCOMPARE(doubles->messages.calls.constFirst().text,
                     QStringLiteral("Please specify a valid input video file."));
        QCOMPARE(form->Runner().State(), RunState::Idle);
        QVERIFY(ui.imgStart->isVisible());
    }

    void sectionCountKeyboardFocusDoesNotSelect() {
        ui.edtSectionQty->setFocus();
        QTest::keyClicks(ui.edtSectionQty, "3");
        QVERIFY(ui.rdbStartEnd->isChecked());
    }
};

QTEST_MAIN(TestMainActions)
#include "tst_mainactions.moc"
