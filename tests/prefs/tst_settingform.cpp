#include "app/appcontext.h"
#include "formsfixture.h"
#include "platform/inifile.h"
#include "prefs/settingform.h"
#include "profiles/opsettingform.h"
#include "readonlyfolder.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray StoredMain = "[Main]\nPreview=0\nOverwrite=0\nAptotic=0\nOutput Dir=/stored\n"
                              "Auto Open Dir=0\nAuto Exit=0\nAuto Turn Off=0\nProfile=2\n";

} // namespace

class TestSettingForm : public QObject, public FormsFixture {
    Q_OBJECT

    QList<QCheckBox*> Boxes() {
        return {SettingForm->chkPreview, SettingForm->chkOverwrite, SettingForm->chkoutputdir,
                SettingForm->chkOpenDir, SettingForm->chkExit,      SettingForm->chkTurnoff};
    }

    // "1" for a checked box, "0" for a clear one, in the order of Boxes().
    QString Flags() {
        QString flags;
        for (QCheckBox* box : Boxes())
            flags += box->isChecked() ? QLatin1Char('1') : QLatin1Char('0');
        return flags;
    }

    void SetFlags(const QString& flags) {
        const QList<QCheckBox*> boxes = Boxes();
        for (int i = 0; i < boxes.size(); ++i)
            boxes.at(i)->setChecked(flags.at(i) == QLatin1Char('1'));
    }

    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;

    // Creates the windows over a program folder holding the given preferences (none when empty).
    void Start(const QByteArray& preferences, const QStringList& profiles = {"A", "B", "C"}) {
        program = std::make_unique<TempProgramDir>();
        for (const QString& name : profiles)
            program->Write("Profiles/" + name + ".apf", "[Main]\nType=avi\n");
        if (!preferences.isEmpty())
            program->Write(QStringLiteral("Preferences.ini"), preferences);
        CreateForms({});
        // Where the main window does not fill its list from the profiles folder, fill it the same way and
        // load again, as the dialog's creation would have.
        if (ui.cmbProfile->count() == 0) {
            const QSignalBlocker blocker(ui.cmbProfile);
            ui.cmbProfile->addItems(profiles);
            SettingForm->LoadPreferences(false);
        }
    }

private slots:
    void init() { doubles = std::make_unique<PlatformDoubles>(); }
    void cleanup() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void missingFileChecksEverything() {
        Start(QByteArray());
        QCOMPARE(Flags(), QStringLiteral("111111"));
        QCOMPARE(SettingForm->edtOutputDir->text(), App().AppDir);
        QCOMPARE(ui.edtOutputDir->text(), App().AppDir);
        QCOMPARE(ui.cmbProfile->currentIndex(), 0);
        QVERIFY(!SettingForm->isVisible());
        QVERIFY(!QFile::exists(App().PreferencesPath()));
    }

    // Each key reaches its own box and no other, both ways.
    void keysMapToTheirBoxes_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("box");
        QTest::newRow("Preview") << "Preview" << 0;
        QTest::newRow("Overwrite") << "Overwrite" << 1;
        QTest::newRow("Aptotic") << "Aptotic" << 2;
        QTest::newRow("Auto Open Dir") << "Auto Open Dir" << 3;
        QTest::newRow("Auto Exit") << "Auto Exit" << 4;
        QTest::newRow("Auto Turn Off") << "Auto Turn Off" << 5;
    }
    void keysMapToTheirBoxes() {
        QFETCH(QString, key);
        QFETCH(int, box);
        Start("[Main]\n" + key.toUtf8() + "=0\n");
        QString expected = QStringLiteral("111111");
        expected[box] = QLatin1Char('0');
        QCOMPARE(Flags(), expected);

        SetFlags(QStringLiteral("000000"));
        Boxes().at(box)->setChecked(true);
        SettingForm->SavePreferences();
        const IniFile saved(App().PreferencesPath());
        for (const QString& name :
             {"Preview", "Overwrite", "Aptotic", "Auto Open Dir", "Auto Exit", "Auto Turn Off"})
            QCOMPARE(saved.ReadString("Main", name, QString()), name == key ? "1" : "0");
    }

    void storedProfileSelection_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("selected");
        QTest::newRow("last entry") << QByteArray("2") << 2;
        QTest::newRow("minus one") << QByteArray("-1") << -1;
        QTest::newRow("one past the list") << QByteArray("3") << -1;
    }
    void storedProfileSelection() {
        QFETCH(QByteArray, value);
        QFETCH(int, selected);
        Start("[Main]\nProfile=" + value + "\n");
        QCOMPARE(ui.cmbProfile->currentIndex(), selected);
        // No selection is stored back as -1.
        SettingForm->SavePreferences();
        QCOMPARE(IniFile(App().PreferencesPath()).ReadInteger("Main", "Profile", 99), selected);
    }

    void loadingTheProfileDoesNotRunTheChangeHandler() {
        Start(StoredMain);
        QSignalSpy changes(ui.cmbProfile, &QComboBox::currentIndexChanged);
        ui.cmbProfile->setCurrentIndex(0);
        changes.clear();
        SettingForm->LoadPreferences(false);
        QCOMPARE(ui.cmbProfile->currentIndex(), 2);
        QCOMPARE(changes.count(), 0);
    }

    void loadDefault() {
        Start(StoredMain + "[Default]\nPreview=1\nAptotic=0\nOutput Dir=/shipped/\nProfile=1\n");
        const QByteArray before = ReadAll(App().PreferencesPath());
        ui.cmbProfile->setCurrentIndex(0);
        QTest::mouseClick(SettingForm->btnDefault, Qt::LeftButton);
        QCOMPARE(Flags(), QStringLiteral("110111"));
        QCOMPARE(SettingForm->edtOutputDir->text(), QStringLiteral("/shipped/"));
        // The profile always comes from [Main], undoing the change made since.
        QCOMPARE(ui.cmbProfile->currentIndex(), 2);
        QCOMPARE(ReadAll(App().PreferencesPath()), before);
    }

    void showDisablesTheMainWindowAndCentres() {
        Start(StoredMain);
        MainForm->move(100, 80);
        MainForm->show();
        MainForm->tbtnSettingsClick();
        QVERIFY(SettingForm->isVisible());
        QVERIFY(!MainForm->isEnabled());
        QVERIFY(SettingForm->isEnabled());
        QVERIFY(SettingForm->btnOK->isEnabled());
        // The profile editor is a window of its own and stays usable.
        QVERIFY(opSettingForm->isEnabled());
        QCOMPARE(SettingForm->geometry().center(), MainForm->geometry().center());
    }

    void cancelRestoresMain() {
        Start(StoredMain);
        MainForm->tbtnSettingsClick();
        SetFlags(QStringLiteral("111111"));
        SettingForm->edtOutputDir->setText(QStringLiteral("/typed"));
        ui.cmbProfile->setCurrentIndex(0);
        QTest::mouseClick(SettingForm->btnCancel, Qt::LeftButton);
        QVERIFY(!SettingForm->isVisible());
        QVERIFY(MainForm->isEnabled());
        QCOMPARE(Flags(), QStringLiteral("000000"));
        QCOMPARE(SettingForm->edtOutputDir->text(), QStringLiteral("/stored"));
        QCOMPARE(ui.cmbProfile->currentIndex(), 2);
    }

    // Cancel and Load Default put the stored profile back in the main window, and load it: the next run
    // must not mix its name with the lists and extension of the one chosen since.
    void restoredProfileIsLoaded_data() {
        QTest::addColumn<bool>("loadDefault");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Load Default") << true;
    }
    void restoredProfileIsLoaded() {
        QFETCH(bool, loadDefault);
        Start(StoredMain);
        program->Write(QStringLiteral("Profiles/A.apf"), "[Main]\nType=avi\n");
        program->Write(QStringLiteral("Profiles/C.apf"), "[Main]\nType=mov\n");
        MainForm->show();
        QCOMPARE(opSettingForm->Lists.OutputExt(), QStringLiteral(".mov"));
        ui.cmbProfile->setCurrentIndex(0);
        MainForm->cmbProfileChange();
        QCOMPARE(opSettingForm->Lists.OutputExt(), QStringLiteral(".avi"));

        MainForm->tbtnSettingsClick();
        QTest::mouseClick(loadDefault ? SettingForm->btnDefault : SettingForm->btnCancel, Qt::LeftButton);
        QCOMPARE(ui.cmbProfile->currentIndex(), 2);
        QCOMPARE(opSettingForm->Lists.OutputExt(), QStringLiteral(".mov"));
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void okSavesAndCopies_data() {
        QTest::addColumn<bool>("aptotic");
        QTest::newRow("aptotic on") << true;
        QTest::newRow("aptotic off") << false;
    }
    void okSavesAndCopies() {
        QFETCH(bool, aptotic);
        Start(StoredMain);
        ui.edtOutputDir->setText(QStringLiteral("/from the source"));
        MainForm->tbtnSettingsClick();
        SetFlags(QStringLiteral("101111"));
        SettingForm->chkoutputdir->setChecked(aptotic);
        SettingForm->edtOutputDir->setText(QStringLiteral("/typed without separator"));
        ui.cmbProfile->setCurrentIndex(1);
        QTest::mouseClick(SettingForm->btnOK, Qt::LeftButton);

        QVERIFY(doubles->messages.calls.isEmpty());
        QVERIFY(!SettingForm->isVisible());
        QVERIFY(MainForm->isEnabled());
        QCOMPARE(ui.edtOutputDir->text(),
                 aptotic ? QStringLiteral("/typed without separator") : QStringLiteral("/from the source"));
        QVERIFY(ui.chkPreview->isChecked());
        const IniFile saved(App().PreferencesPath());
        QCOMPARE(saved.ReadString("Main", "Output Dir", QString()),
                 QStringLiteral("/typed without separator"));
        QCOMPARE(saved.ReadBool("Main", "Aptotic", !aptotic), aptotic);
        QCOMPARE(saved.ReadBool("Main", "Overwrite", true), false);
        QCOMPARE(saved.ReadInteger("Main", "Profile", -5), 1);
    }

    void failedOkKeepsTheDialogOpen() {
        Start(StoredMain);
        const QByteArray before = ReadAll(App().PreferencesPath());
        ui.edtOutputDir->setText(QStringLiteral("/from the source"));
        ui.chkPreview->setChecked(false);
        MainForm->tbtnSettingsClick();
        SetFlags(QStringLiteral("111111"));
        SettingForm->edtOutputDir->setText(QStringLiteral("/typed"));
        {
            ReadOnlyFolder readOnly(program->path());
            if (!readOnly.active())
                QSKIP("this machine cannot make a folder read-only");
            QTest::mouseClick(SettingForm->btnOK, Qt::LeftButton);
        }
        QCOMPARE(doubles->messages.Texts(), QStringList{"Unable to write to " + App().PreferencesPath()});
        QCOMPARE(doubles->messages.calls.first().caption, App().ProductName);
        QCOMPARE(doubles->messages.calls.first().icon, MsgIcon::Stop);
        QVERIFY(SettingForm->isVisible());
        QVERIFY(!MainForm->isEnabled());
        QCOMPARE(ui.edtOutputDir->text(), QStringLiteral("/from the source"));
        QVERIFY(!ui.chkPreview->isChecked());
        QCOMPARE(ReadAll(App().PreferencesPath()), before);
        QCOMPARE(Flags(), QStringLiteral("111111"));
    }

    void failedSaveAtCloseIsShown() {
        Start(StoredMain);
        const QByteArray before = ReadAll(App().PreferencesPath());
        {
            ReadOnlyFolder readOnly(program->path());
            if (!readOnly.active())
                QSKIP("this machine cannot make a folder read-only");
            MainForm->FormClose();
        }
        QCOMPARE(doubles->messages.Texts(), QStringList{"Unable to write to " + App().PreferencesPath()});
        QCOMPARE(ReadAll(App().PreferencesPath()), before);
    }

    void closeBoxKeepsChangesLive() {
        Start(StoredMain);
        MainForm->tbtnSettingsClick();
        QVERIFY(!MainForm->isEnabled());
        SettingForm->chkTurnoff->setChecked(true);
        QVERIFY(SettingForm->close());
        QVERIFY(!SettingForm->isVisible());
        QVERIFY(MainForm->isEnabled());
        QVERIFY(SettingForm->chkTurnoff->isChecked());
        QVERIFY(!IniFile(App().PreferencesPath()).ReadBool("Main", "Auto Turn Off", true));
        // Closing the main window writes what the boxes hold.
        MainForm->FormClose();
        QVERIFY(IniFile(App().PreferencesPath()).ReadBool("Main", "Auto Turn Off", false));
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void browse_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("chosen") << "/clips"
                                << "/clips/";
        QTest::newRow("chosen with separator") << "/clips/"
                                               << "/clips/";
        QTest::newRow("cancelled") << QString() << "/stored";
    }
    void browse() {
        QFETCH(QString, answer);
        QFETCH(QString, expected);
        Start(StoredMain);
        doubles->folders.answer = answer;
        QTest::mouseClick(SettingForm->bbtnBrowse, Qt::LeftButton);
        QCOMPARE(doubles->folders.calls, 1);
        QCOMPARE(doubles->folders.lastCaption, QStringLiteral("Select the output directory."));
        QCOMPARE(SettingForm->edtOutputDir->text(), expected);
    }
};

QTEST_MAIN(TestSettingForm)
#include "tst_settingform.moc"
