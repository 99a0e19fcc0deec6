#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "platform/inifile.h"
#include "prefs/preferences.h"
#include "testmedia.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The booleans in a fixed order, so that a table row can name them in one text: "1" checked, "0" not.
QString Flags(const Preferences& p) {
    QString flags;
    for (bool value : {p.Preview, p.Overwrite, p.Aptotic, p.AutoOpenDir, p.AutoExit, p.AutoTurnOff})
        flags += value ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}

QString ShippedPreferences() {
    return qEnvironmentVariable("TESSEL_SOURCE_DIR") + QStringLiteral("/data/Preferences.ini");
}

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT
private slots:
    void readingRules_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<int>("profile");
        QTest::newRow("missing file") << QByteArray() << "111111" << 0;
        QTest::newRow("zeros") << QByteArray("[Main]\nPreview=0\nOverwrite=0\nAptotic=0\nAuto Open Dir=0\n"
                                             "Auto Exit=0\nAuto Turn Off=0\nProfile=3\n")
                               << "000000" << 3;
        QTest::newRow("words read as the default")
            << QByteArray("[Main]\nOverwrite=no\nAuto Exit=false\nProfile=two\n") << "111111" << 0;
        QTest::newRow("empty values read as the default")
            << QByteArray("[Main]\nOverwrite=\nAuto Exit=\nProfile=\n") << "111111" << 0;
        QTest::newRow("hexadecimal") << QByteArray("[Main]\nPreview=0x0\nOverwrite=0X10\nProfile=0x2\n")
                                     << "011111" << 2;
        QTest::newRow("bare 0x is no number")
            << QByteArray("[Main]\nAptotic=0x\nProfile=0x\n") << "111111" << 0;
        QTest::newRow("any nonzero is true")
            << QByteArray("[Main]\nAptotic=-7\nAuto Turn Off=42\n") << "111111" << 0;
        QTest::newRow("names without regard to case")
            << QByteArray("[MAIN]\n auto turn off = 0 \nPROFILE=-1\n") << "111110" << -1;
        QTest::newRow("trailing text is no number")
            << QByteArray("[Main]\nAuto Exit=0abc\n") << "111111" << 0;
        QTest::newRow("other sections are not read")
            << QByteArray("[Default]\nPreview=0\nProfile=4\n[Other]\nOverwrite=0\n") << "111111" << 0;
    }
    void readingRules() {
        QFETCH(QByteArray, content);
        QFETCH(QString, flags);
        QFETCH(int, profile);
        TempProgramDir program;
        if (!content.isEmpty())
            program.Write(QStringLiteral("Preferences.ini"), content);
        const Preferences loaded = Preferences::Load(IniFile(App().PreferencesPath()), false);
        QCOMPARE(Flags(loaded), flags);
        QCOMPARE(loaded.Profile, profile);
        QCOMPARE(loaded.OutputDir, program.path());
    }

    void loadDefault_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("outputDir");
        QTest::addColumn<int>("profile");
        const QByteArray main = "[Main]\nPreview=0\nOverwrite=0\nAptotic=0\nOutput Dir=/main/\n"
                                "Auto Open Dir=0\nAuto Exit=0\nAuto Turn Off=0\nProfile=2\n";
        QTest::newRow("no Default section") << main << "111111" << QString() << 2;
        QTest::newRow("full Default section")
            << main + "[Default]\nPreview=1\nOverwrite=0\nAptotic=1\nOutput Dir=/default/\n"
                      "Auto Open Dir=0\nAuto Exit=1\nAuto Turn Off=0\nProfile=5\n"
            << "101010"
            << "/default/" << 2;
        QTest::newRow("partial Default section") << main + "[Default]\nAuto Exit=0\n"
                                                 << "111101" << QString() << 2;
        QTest::newRow("no Profile in Main")
            << QByteArray("[Default]\nProfile=5\n") << "111111" << QString() << 0;
    }
    void loadDefault() {
        QFETCH(QByteArray, content);
        QFETCH(QString, flags);
        QFETCH(QString, outputDir);
        QFETCH(int, profile);
        TempProgramDir program;
        program.Write(QStringLiteral("Preferences.ini"), content);
        const Preferences loaded = Preferences::Load(IniFile(App().PreferencesPath()), true);
        QCOMPARE(Flags(loaded), flags);
        QCOMPARE(loaded.OutputDir, outputDir.isEmpty() ? program.path() : outputDir);
        QCOMPARE(loaded.Profile, profile);
    }

    void saveWritesMainInOrder() {
        TempProgramDir program;
        Preferences preferences;
        preferences.Overwrite = false;
        preferences.AutoExit = false;
        preferences.OutputDir = QStringLiteral("/clips/without separator");
        preferences.Profile = -1;
        IniFile ini(App().PreferencesPath());
        preferences.Save(ini);
        QCOMPARE(ReadAll(App().PreferencesPath()),
                 QByteArray("[Main]\nPreview=1\nOverwrite=0\nAptotic=1\nOutput Dir=/clips/without separator\n"
                            "Auto Open Dir=1\nAuto Exit=0\nAuto Turn Off=1\nProfile=-1\n"));
    }

    void saveKeepsDefaultAndOtherLines() {
        TempProgramDir program;
        const QByteArray before = "; kept\n[Main]\nVersion=2.0\nAuto Exit=1\n\n[Default]\nAuto Exit=0\n";
        program.Write(QStringLiteral("Preferences.ini"), before);
        Preferences preferences = Preferences::Load(IniFile(App().PreferencesPath()), true);
        preferences.Profile = 4;
        IniFile ini(App().PreferencesPath());
        preferences.Save(ini);

        const IniFile saved(App().PreferencesPath());
        QCOMPARE(saved.ReadString("Main", "Version", QString()), QStringLiteral("2.0"));
        QCOMPARE(saved.ReadString("Main", "Auto Exit", QString()), QStringLiteral("0"));
        QCOMPARE(saved.ReadInteger("Main", "Profile", 0), 4);
        QCOMPARE(saved.Keys("Default"), QStringList{"Auto Exit"});
        QVERIFY(ReadAll(App().PreferencesPath()).startsWith("; kept\n[Main]\nVersion=2.0\nAuto Exit=0\n"));

        // What was saved reads back the same.
        const Preferences reread = Preferences::Load(saved, false);
        QCOMPARE(Flags(reread), Flags(preferences));
        QCOMPARE(reread.OutputDir, preferences.OutputDir);
        QCOMPARE(reread.Profile, 4);
    }

    void shippedFileHasSafeCompletionActions_data() {
        QTest::addColumn<bool>("useDefaults");
        QTest::newRow("Main") << false;
        QTest::newRow("Default") << true;
    }
    void shippedFileHasSafeCompletionActions() {
        QFETCH(bool, useDefaults);
        TempProgramDir program;
        QVERIFY(QFile::copy(ShippedPreferences(), App().PreferencesPath()));
        const IniFile ini(App().PreferencesPath());
        const Preferences shipped = Preferences::Load(ini, useDefaults);
        QVERIFY(!shipped.AutoExit);
        QVERIFY(!shipped.AutoTurnOff);
        QVERIFY(shipped.Preview && shipped.Overwrite && shipped.Aptotic && shipped.AutoOpenDir);
        // No fixed folder is shipped, so the program folder it lands in is used.
        QCOMPARE(shipped.OutputDir, program.path());
        // The stored index picks the MP4 profile out of the shipped list, sorted as the main window sorts it.
        const QStringList profiles =
            ListFilesByExtension(qEnvironmentVariable("TESSEL_SOURCE_DIR") + "/data/Profiles", ".apf");
        QVERIFY(shipped.Profile >= 0 && shipped.Profile < profiles.size());
        QVERIFY(profiles.at(shipped.Profile).startsWith(QStringLiteral("MP4")));
        QCOMPARE(ini.ReadString("Main", "Version", QString()), QStringLiteral("1.8"));
        QVERIFY(!ini.HasKey("Default", "Profile"));
    }

    void buildLaysPreferencesOnlyWhenMissing() {
        TempProgramDir program;
        const QString script = qEnvironmentVariable("TESSEL_SOURCE_DIR") + "/cmake/CopyIfMissing.cmake";
        const QString destination = program.path() + QStringLiteral("sub/Preferences.ini");
        const QStringList arguments{"-DSOURCE=" + ShippedPreferences(), "-DDESTINATION=" + destination, "-P",
                                    script};
        int exitCode = -1;
        TestMedia::RunAndRead(QStringLiteral(TESSEL_CMAKE_COMMAND), arguments, &exitCode);
        QCOMPARE(exitCode, 0);
        QCOMPARE(ReadAll(destination), ReadAll(ShippedPreferences()));

        const QByteArray saved = "[Main]\nAuto Turn Off=1\n";
        program.Write(QStringLiteral("sub/Preferences.ini"), saved);
        TestMedia::RunAndRead(QStringLiteral(TESSEL_CMAKE_COMMAND), arguments, &exitCode);
        QCOMPARE(exitCode, 0);
        QCOMPARE(ReadAll(destination), saved);
    }
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
