#include "app/appcontext.h"
#include "app/apperror.h"
#include "formsfixture.h"
#include "platform/inifile.h"
#include "prefs/preferences.h"
#include "prefs/settingform.h"
#include "profiles/opsettingform.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"
#include "smalldisk.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>

namespace {

constexpr int OneMegabyte = 1024 * 1024;
// A line as long as a profile or preferences file may hold: a file over 1 MB is not read at all.
constexpr int LongLine = 1000 * 1000;

// Bytes of every value but '[', so that no section can appear by chance.
QByteArray Junk(int size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray junk(size, '\0');
    for (char& c : junk) {
        c = static_cast<char>(random.bounded(256));
        if (c == '[')
            c = ']';
    }
    return junk;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList Rows(const ValueListModel& list) {
    QStringList rows;
    for (int i = 0; i < list.RowCount(); ++i)
        rows << list.Key(i) + QLatin1Char('=') + list.Value(i);
    return rows;
}

QStringList AllRows(const ProfileWorkingLists& lists) {
    return Rows(lists.vleVideo) + Rows(lists.vleAudio) + Rows(lists.vleAdvanced);
}

const QByteArray TwoItems =
    "[A]\nSort=1\nList=0\ncmd=-r\nCaption=1\n[B]\nSort=2\nList=0\ncmd=-ac\nCaption=2\n";

} // namespace

// Profiles and preferences that were damaged on disk load without a crash and without hanging, and a
// save on a full disk leaves the file it replaces whole.
class TestDamagedFiles : public QObject, public FormsFixture {
    Q_OBJECT

private slots:
    void damagedProfiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("outputExt");

        const QString longValue(2047, QLatin1Char('x'));
        QTest::newRow("binary junk") << Junk(256 * 1024, 1) << QStringList{} << ""
                                     << ".mp4";
        QTest::newRow("junk around a profile")
            << Junk(4096, 2) + "\n[Main]\nType=avi\nPara=2\n0=A\n1=B\n" + TwoItems + Junk(4096, 3)
            << QStringList{"A=1", "B=2"} << " -r 1 -ac 2"
            << ".avi";
        QTest::newRow("1 MB line, read as its first 2047 characters")
            << "[Main]\nType=mkv\nPara=2\n0=A\n1=B\n[A]\nSort=1\nList=0\ncmd=-r\nCaption=" +
                   QByteArray(LongLine, 'x') + "\n[B]\nSort=2\nList=0\ncmd=-ac\nCaption=2\n"
            << QStringList{"A=" + longValue, "B=2"} << " -r " + longValue + " -ac 2"
            << ".mkv";
        QTest::newRow("1 MB line of commas")
            << "[Main]\nPara=1\n0=A\n[A]\nSort=3\ncmd=-a\nIndex=2\nCaption=" + QByteArray(LongLine / 2, ',') +
                   "\nValue=" + QByteArray(LongLine / 2, ',')
            << QStringList{"A="} << ""
            << ".mp4";
        QTest::newRow("1 MB of one line and no line break")
            << QByteArray(OneMegabyte, '=') << QStringList{} << ""
            << ".mp4";
        QTest::newRow("missing [Main]") << "[a]\n" + TwoItems << QStringList{} << ""
                                        << ".mp4";
        QTest::newRow("Para 2147483647 with a key far out")
            << "[Main]\nType=avi\nPara=2147483647\n0=A\n2147483646=B\n" + TwoItems
            << QStringList{"A=1", "B=2"} << " -r 1 -ac 2"
            << ".avi";
        QTest::newRow("Para 0x7fffffff")
            << "[Main]\nPara=0x7fffffff\n0=A\n1=B\n" + TwoItems << QStringList{"A=1", "B=2"} << " -r 1 -ac 2"
            << ".mp4";
        QTest::newRow("Para -2147483648")
            << "[Main]\nPara=-2147483648\n0=A\n1=B\n" + TwoItems << QStringList{} << ""
            << ".mp4";
    }
    void damagedProfiles() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, rows);
        QFETCH(QString, arguments);
        QFETCH(QString, outputExt);
        TempProgramDir program;
        const QString path = program.Write(QStringLiteral("Profiles/Damaged.apf"), content);

        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        QCOMPARE(AllRows(lists), rows);
        QCOMPARE(lists.OutputExt(), outputExt);
        ProfileOptions built;
        BuildProfileArguments(path, built, lists);
        QCOMPARE(built.Text(), arguments);

        // What a save writes, the next load reads back the same.
        lists.SaveProfile(path);
        ProfileWorkingLists reloaded;
        reloaded.LoadProfile(path);
        QCOMPARE(AllRows(reloaded), rows);
    }

    void damagedPreferences_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<int>("profile");
        QTest::newRow("binary junk") << Junk(256 * 1024, 4) << true << 0;
        QTest::newRow("1 MB output folder")
            << "[Main]\nPreview=0\nOutput Dir=" + QByteArray(LongLine, 'd') + "\nProfile=1\n"
            << false << 1;
        QTest::newRow("missing [Main]") << QByteArray("[Default]\nPreview=0\n") << true << 0;
        QTest::newRow("profile 2147483647")
            << QByteArray("[Main]\nProfile=2147483647\n") << true << 2147483647;
        QTest::newRow("profile -2147483648")
            << QByteArray("[Main]\nProfile=-2147483648\n") << true << -2147483647 - 1;
    }
    void damagedPreferences() {
        QFETCH(QByteArray, content);
        QFETCH(bool, preview);
        QFETCH(int, profile);
        TempProgramDir program;
        const QString path = program.Write(QStringLiteral("Preferences.ini"), content);

        IniFile ini(path);
        Preferences loaded = Preferences::Load(ini, false);
        QCOMPARE(loaded.Preview, preview);
        QCOMPARE(loaded.Profile, profile);
        QVERIFY(loaded.OutputDir.size() <= 2047);

        loaded.Preview = !preview;
        loaded.Save(ini);
        QCOMPARE(Preferences::Load(IniFile(path), false).Preview, !preview);
    }

    // The whole program starts on a damaged preferences file and a damaged only profile, and closes.
    void startUpWithDamagedFiles_data() {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<QByteArray>("profile");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("savedProfile");
        const QStringList placeholders{"Video Codec=",
                                       "Video Size=",
                                       "Bit Rate=",
                                       "Frame Rate=",
                                       "Aspect=",
                                       "Disable Video=",
                                       "Audio Codec=",
                                       "Audio Bitrate=",
                                       "Sample Rate=",
                                       "Channels=",
                                       "Volumn=",
                                       "Disable Audio=",
                                       "Bit Exact Algorithms=",
                                       "Deinterlace="};
        QTest::newRow("junk") << Junk(64 * 1024, 5) << Junk(64 * 1024, 6) << QStringList{} << 0;
        QTest::newRow("huge Para") << QByteArray("[Main]\nProfile=0\n")
                                   << "[Main]\nPara=2147483647\n0=A\n2147483646=B\n" + TwoItems
                                   << QStringList{"A=1", "B=2"} << 0;
        QTest::newRow("huge profile index, nothing chosen")
            << QByteArray("[Main]\nProfile=2147483647\n") << "[Main]\nPara=2\n0=A\n1=B\n" + TwoItems
            << placeholders << -1;
        QTest::newRow("1 MB lines") << "[Main]\nOutput Dir=" + QByteArray(LongLine, 'd') + "\n"
                                    << "[Main]\nPara=1\n0=" + QByteArray(LongLine, 'A') + "\n"
                                    << QStringList{} << 0;
    }
    void startUpWithDamagedFiles() {
        QFETCH(QByteArray, preferences);
        QFETCH(QByteArray, profile);
        QFETCH(QStringList, rows);
        QFETCH(int, savedProfile);
        PlatformDoubles doubles;
        TempProgramDir program;
        program.Write(QStringLiteral("Preferences.ini"), preferences);
        program.Write(QStringLiteral("Profiles/Damaged.apf"), profile);

        CreateForms({});
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        QCOMPARE(ui.cmbProfile->count(), 1);
        QCOMPARE(AllRows(opSettingForm->Lists), rows);
        QVERIFY(ui.edtOutputDir->text().size() <= 2048);
        QVERIFY(MainForm->close());
        DestroyForms();
        QCOMPARE(doubles.messages.Texts(), QStringList{});
        // Closing saved the preferences into the damaged file, and they read back.
        QCOMPARE(IniFile(program.path() + QStringLiteral("Preferences.ini"))
                     .ReadInteger(QStringLiteral("Main"), QStringLiteral("Profile"), -7),
                 savedProfile);
    }

    // A file that is there but cannot be read is reported, never taken as empty, and never written over.
    // Reading /proc/self/mem at its start fails with an input/output error, also for root. A FIFO, which
    // would block, and a device that never ends are not read at all.
    void unreadableFilesAreReportedAndKept_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"input/output error", "FIFO", "endless device"}) {
            QTest::addRow("profile, %s", kind) << "Profiles/Only.apf" << kind;
            QTest::addRow("preferences, %s", kind) << "Preferences.ini" << kind;
        }
        QTest::newRow("preferences, a folder in its place") << "Preferences.ini"
                                                            << "folder";
    }
    void unreadableFilesAreReportedAndKept() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        PlatformDoubles doubles;
        TempProgramDir program;
        program.Write(QStringLiteral("Profiles/Only.apf"), "[Main]\nType=avi\nPara=1\n0=A\n" + TwoItems);
        const QString path = program.path() + name;
        QFile::remove(path);
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        else if (kind == QLatin1String("FIFO"))
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else
            QVERIFY(QFile::link(kind == QLatin1String("endless device") ? QStringLiteral("/dev/zero")
                                                                        : QStringLiteral("/proc/self/mem"),
                                path));
        const QFileInfo before(path);

        CreateForms({});
        MainForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(MainForm));
        // The window does not even offer a FIFO among the profiles.
        const bool offered = !(kind == QLatin1String("FIFO") && name.endsWith(QLatin1String(".apf")));
        QCOMPARE(doubles.messages.Texts(),
                 offered ? QStringList{QStringLiteral("Unable to read ") + path} : QStringList{});
        if (name.endsWith(QLatin1String(".apf"))) {
            QVERIFY(opSettingForm->Lists.OutputExt().isEmpty());
            // Start builds the profile's options first, and stops there.
            ProfileOptions built;
            QVERIFY_THROWS_EXCEPTION(AppError, BuildProfileArguments(path, built, opSettingForm->Lists));
        }
        QVERIFY(MainForm->close());
        DestroyForms();
        const QFileInfo after(path);
        QCOMPARE(after.isDir(), before.isDir());
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.isFile(), before.isFile());
    }

    void saveOnAFullDiskKeepsTheOldFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("profile") << "profile";
        QTest::newRow("preferences") << "preferences";
    }
    void saveOnAFullDiskKeepsTheOldFile() {
        QFETCH(QString, kind);
        TempProgramDir program;
        const QString folder = program.path() + QStringLiteral("disk");
        SmallDisk disk(folder, 256 * 1024);
        if (!disk.active())
            QSKIP(qPrintable(disk.reason()));

        const QString path = folder + (kind == QLatin1String("profile") ? QStringLiteral("/Clip.apf")
                                                                        : QStringLiteral("/Preferences.ini"));
        const QByteArray old =
            kind == QLatin1String("profile")
                ? "[Main]\nType=avi\nPara=2\n0=A\n1=C\n" + TwoItems + "[C]\nSort=1\nCaption=x,y,\nIndex=0\n"
                : QByteArray("[Main]\nPreview=1\nProfile=3\n");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(old), old.size());
        }
        QVERIFY(disk.Fill());

        const QString expected = QStringLiteral("Unable to write to ") + path;
        try {
            if (kind == QLatin1String("profile")) {
                ProfileWorkingLists lists;
                lists.LoadProfile(path);
                QVERIFY(lists.vleVideo.SetValueOf(QStringLiteral("A"), QStringLiteral("changed")));
                QVERIFY(lists.vleVideo.SetValueOf(QStringLiteral("C"), QStringLiteral("y")));
                lists.SaveProfile(path);
            } else {
                IniFile ini(path);
                Preferences preferences = Preferences::Load(ini, false);
                preferences.Preview = false;
                preferences.Save(ini);
            }
            QFAIL("the save on a full disk was reported as done");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), expected);
        }
        QCOMPARE(ReadAll(path), old);
        // Nothing half-written is left beside it either.
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{FileNameOfPath(path), QStringLiteral("filler")}));
    }

private:
    static QString FileNameOfPath(const QString& path) {
        return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    }
};

QTEST_MAIN(TestDamagedFiles)
#include "tst_damagedfiles.moc"
