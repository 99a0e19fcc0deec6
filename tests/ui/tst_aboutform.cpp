#include "app/appcontext.h"
#include "app/contact.h"
#include "formsfixture.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/aboutform.h"
#include "ui/linklabel.h"
#include "ui/mainform.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <memory>

class TestAboutForm : public QObject, public FormsFixture {
    Q_OBJECT

    std::unique_ptr<PlatformDoubles> doubles;
    std::unique_ptr<TempProgramDir> program;

    void Start(const QByteArray& preferences = QByteArray()) {
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        if (!preferences.isEmpty())
            program->Write("Preferences.ini", preferences);
        CreateForms({});
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
    }

private slots:
    void cleanup() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void texts_data() {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<QString>("version");
        QTest::newRow("no version") << QByteArray() << "Version 1.8";
        QTest::newRow("version 2.0") << QByteArray("[Main]\nVersion=2.0\n") << "Version 2.0";
    }
    void texts() {
        QFETCH(QByteArray, preferences);
        QFETCH(QString, version);
        Start(preferences);
        QCOMPARE(AboutForm->windowTitle(), QStringLiteral("About"));
        QCOMPARE(AboutForm->size(), QSize(503, 290));
        QCOMPARE(AboutForm->labProgramName->text(), QStringLiteral("Tessel Video Splitter"));
        QCOMPARE(AboutForm->labVersion->text(), version);
        QVERIFY(AboutForm->labCopyright->text().contains(Contact::MakerName));
        QCOMPARE(AboutForm->labRightsReserved->text(), QStringLiteral("All rights reserved."));
        QCOMPARE(AboutForm->labVisitWebsite->text(), QStringLiteral("Visit our website"));
        QCOMPARE(AboutForm->labWebsite->text(), App().WebPageAddress);
        QCOMPARE(AboutForm->btnTech->text(), QStringLiteral("Tech Support"));
        QCOMPARE(AboutForm->btnSales->text(), QStringLiteral("Sales Support"));
        QCOMPARE(AboutForm->btnOK->text(), QStringLiteral("&OK"));
        for (QLabel* label : {AboutForm->labProgramName, AboutForm->labVersion, AboutForm->labCopyright,
                              AboutForm->labRightsReserved, AboutForm->labVisitWebsite,
                              static_cast<QLabel*>(AboutForm->labWebsite)})
            QCOMPARE(label->x(), 136);
        QCOMPARE(AboutForm->btnTech->geometry(), QRect(16, 88, 75, 25));
        QCOMPARE(AboutForm->btnSales->geometry(), QRect(104, 88, 75, 25));
        QCOMPARE(AboutForm->btnOK->geometry(), QRect(408, 88, 75, 25));
    }

    void links() {
        Start();
        AboutForm->show();
        QTest::mouseClick(AboutForm->labWebsite, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(AboutForm->btnTech, Qt::LeftButton);
        QTest::mouseClick(AboutForm->btnSales, Qt::LeftButton);
        QTest::mouseClick(AboutForm->TopicLinks.constFirst(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseClick(AboutForm->TopicLinks.constLast(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(doubles->shell.opened,
                 QStringList({App().WebPageAddress, "mailto:" + Contact::TechSupportMail,
                              "mailto:" + Contact::SalesMail, App().WebPageAddress + "#opening",
                              App().WebPageAddress}));
    }

    // Shown from the toolbar, the box disables the main window; every way of closing it enables it again.
    void disablesTheMainWindow_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("OK") << "ok";
        QTest::newRow("close box") << "close";
        QTest::newRow("Escape") << "escape";
    }
    void disablesTheMainWindow() {
        QFETCH(QString, how);
        Start();
        QTest::mouseClick(ui.tbtnAbout, Qt::LeftButton);
        QVERIFY(AboutForm->isVisible());
        QVERIFY(!MainForm->isEnabled());
        QVERIFY(AboutForm->isEnabled());
        QVERIFY(AboutForm->btnOK->isEnabled());
        QVERIFY(
            (AboutForm->frameGeometry().center() - MainForm->frameGeometry().center()).manhattanLength() <=
            8);
        if (how == "ok")
            QTest::mouseClick(AboutForm->btnOK, Qt::LeftButton);
        else if (how == "close")
            AboutForm->close();
        else
            QTest::keyClick(AboutForm, Qt::Key_Escape);
        QVERIFY(!AboutForm->isVisible());
        QVERIFY(MainForm->isEnabled());
        // Hidden, not destroyed: it shows again.
        MainForm->tbtnAboutClick();
        QVERIFY(AboutForm->isVisible());
        QVERIFY(!MainForm->isEnabled());
    }

    void openDuringARun() {
        Start();
        MainForm->EnterBusyState();
        QTest::mouseClick(ui.tbtnAbout, Qt::LeftButton);
        QVERIFY(AboutForm->isVisible());
        AboutForm->close();
        QVERIFY(MainForm->isEnabled());
    }
};

QTEST_MAIN(TestAboutForm)
#include "tst_aboutform.moc"
