#include "app/appcontext.h"
#include "app/apperror.h"
#include "app/userfolder.h"
#include "platform/inifile.h"
#include "prefs/preferences.h"
#include "readonlyfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void Write(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

// Where profiles and preferences live: beside a portable program, in the user's data folder for an
// installed one, which then starts with the shipped files and keeps the person's own.
class TestUserFolder : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home;
    QString program;
    QString user;

private slots:
    void init() {
        QVERIFY(home.isValid());
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("XDG_DATA_HOME");
        program = home.path() + QStringLiteral("/program/");
        user = home.path() + QStringLiteral("/.local/share/tessel-video-splitter/");
        QDir(home.path()).removeRecursively();
        QDir().mkpath(program);
        Write(program + QStringLiteral("Profiles/MP4.apf"), "[Main]\nType=mp4\n");
        Write(program + QStringLiteral("Profiles/MKV.apf"), "[Main]\nType=mkv\n");
        Write(program + QStringLiteral("Profiles/notes.txt"), "not a profile");
        Write(program + QStringLiteral("Preferences.ini"), "[Main]\nProfile=1\n");
    }

    void personsFilesFollowTheProgramFolder_data() {
        QTest::addColumn<bool>("marked");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("perUser");
        QTest::newRow("portable folder") << false << false << false;
        QTest::newRow("installed by the package") << true << false << true;
        QTest::newRow("folder that cannot be written") << false << true << true;
    }
    void personsFilesFollowTheProgramFolder() {
        QFETCH(bool, marked);
        QFETCH(bool, readOnly);
        QFETCH(bool, perUser);
        if (marked)
            Write(program + UserFolder::InstalledMark, "");
        std::unique_ptr<ReadOnlyFolder> locked;
        if (readOnly) {
            locked = std::make_unique<ReadOnlyFolder>(program);
            if (!locked->active())
                QSKIP("This machine cannot make a folder read-only");
        }
        UserFolder::UseProgramFolder(program);
        QCOMPARE(App().AppDir, program);
        QCOMPARE(App().EncoderPath, program + QStringLiteral("wmaspi.dll"));
        const QString expected = perUser ? user : program;
        QCOMPARE(App().PreferencesPath(), expected + QStringLiteral("Preferences.ini"));
        QCOMPARE(App().ProfilePath(QStringLiteral("MP4")), expected + QStringLiteral("Profiles/MP4.apf"));
        QCOMPARE(ReadAll(App().ProfilePath(QStringLiteral("MKV"))), QByteArray("[Main]\nType=mkv\n"));
        QCOMPARE(QFileInfo::exists(user), perUser);
    }

    void perUserFolderFollowsXdgDataHome_data() {
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unset") << QByteArray() << "HOME/.local/share/tessel-video-splitter/";
        QTest::newRow("absolute") << QByteArray("/srv/data/") << "/srv/data/tessel-video-splitter/";
        QTest::newRow("relative is ignored")
            << QByteArray("data") << "HOME/.local/share/tessel-video-splitter/";
    }
    void perUserFolderFollowsXdgDataHome() {
        QFETCH(QByteArray, dataHome);
        QFETCH(QString, expected);
        if (!dataHome.isEmpty())
            qputenv("XDG_DATA_HOME", dataHome);
        QCOMPARE(UserFolder::PerUserDir(), expected.replace(QStringLiteral("HOME"), home.path()));
    }

    void layingDownKeepsWhatThePersonHas() {
        Write(user + QStringLiteral("Profiles/MP4.apf"), "[Main]\nType=mp4\n; edited\n");
        Write(user + QStringLiteral("Profiles/Mine.apf"), "[Main]\nType=avi\n");
        UserFolder::LayDown(program, user);
        QCOMPARE(ReadAll(user + QStringLiteral("Profiles/MP4.apf")),
                 QByteArray("[Main]\nType=mp4\n; edited\n"));
        QCOMPARE(ReadAll(user + QStringLiteral("Profiles/MKV.apf")), QByteArray("[Main]\nType=mkv\n"));
        QCOMPARE(ReadAll(user + QStringLiteral("Preferences.ini")), QByteArray("[Main]\nProfile=1\n"));
        QCOMPARE(
            QDir(user + QStringLiteral("Profiles")).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase),
            QStringList({"Mine.apf", "MKV.apf", "MP4.apf"}));
    }

    // Installed: clips go to the videos folder, also over the data folder that an earlier version stored.
    void defaultOutputFolder_data() {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QByteArray>("xdgUserDir"); // its script; empty: not installed
        QTest::addColumn<QString>("expected");
        const QByteArray videos = "[ \"$1\" = VIDEOS ] && echo HOME/Videos";
        QTest::newRow("portable") << false << videos << "PROGRAM";
        QTest::newRow("installed") << true << videos << "HOME/Videos/";
        QTest::newRow("a folder that is not there") << true << QByteArray("echo HOME/Gone") << "HOME/";
        QTest::newRow("no xdg-user-dir") << true << QByteArray() << "HOME/";
    }
    void defaultOutputFolder() {
        QFETCH(bool, installed);
        QFETCH(QByteArray, xdgUserDir);
        QFETCH(QString, expected);
        const QString home = this->home.path();
        QVERIFY(QDir().mkpath(home + "/Videos") && QDir().mkpath(home + "/bin"));
        if (!xdgUserDir.isEmpty())
            Write(home + "/bin/xdg-user-dir",
                  "#!/bin/sh\n" + xdgUserDir.replace("HOME", home.toLocal8Bit()) + '\n');
        QFile(home + "/bin/xdg-user-dir").setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        if (installed) {
            Write(program + UserFolder::InstalledMark, "");
            Write(program + QStringLiteral("Preferences.ini"), "[Main]\nOutput Dir=" + user.toUtf8() + '\n');
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(home + "/bin"));
        UserFolder::UseProgramFolder(program);
        qputenv("PATH", path);
        expected.replace(QStringLiteral("HOME"), home).replace(QStringLiteral("PROGRAM"), program);
        QCOMPARE(Preferences::Load(IniFile(App().PreferencesPath()), false).OutputDir, expected);
    }

    void unwritableUserFolderIsReported() {
        Write(home.path() + QStringLiteral("/blocked"), "a file where the folder should be");
        try {
            UserFolder::LayDown(program, home.path() + QStringLiteral("/blocked/"));
            QFAIL("no error");
        } catch (const AppError& error) {
            QCOMPARE(error.message(),
                     "Unable to write to " + home.path() + QStringLiteral("/blocked/Profiles"));
        }
    }
};

QTEST_GUILESS_MAIN(TestUserFolder)
#include "tst_userfolder.moc"
