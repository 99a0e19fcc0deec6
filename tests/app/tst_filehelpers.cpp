#include "app/appcontext.h"
#include "app/apperror.h"
#include "app/filehelpers.h"
#include "testmedia.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestFileHelpers : public QObject {
    Q_OBJECT
private slots:
    void removeExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("profile") << "Default.apf"
                                 << "Default";
        QTest::newRow("two dots") << "a.b.c"
                                  << "a.b";
        QTest::newRow("only extension") << ".apf"
                                        << "";
        QTest::newRow("no dot") << "noext"
                                << "noext";
        QTest::newRow("source profile") << "Settings of the source file..apf"
                                        << "Settings of the source file.";
    }
    void removeExtension() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(RemoveExtension(name), expected);
    }

    void trailingSeparator() {
        const QString sep = NativeSeparator();
        QCOMPARE(EnsureTrailingBackslash(QStringLiteral("clips")), QStringLiteral("clips") + sep);
        QCOMPARE(EnsureTrailingBackslash(QStringLiteral("clips") + sep), QStringLiteral("clips") + sep);
        QCOMPARE(EnsureTrailingBackslash(sep), sep);
        QCOMPARE(EnsureTrailingBackslash(QString()), QString());
    }

    void supportedExtension_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("supported");
        QTest::newRow("upper") << "MOVIE.AVI" << true;
        QTest::newRow("mixed") << "movie.Avi" << true;
        QTest::newRow("mpeg") << "X.MPEG" << true;
        QTest::newRow("mpe") << "X.mpe" << false;
        QTest::newRow("none") << "movie" << false;
        QTest::newRow("double") << "movie.avi.txt" << false;
        QTest::newRow("dot in folder") << "/dir.avi/file" << false;
    }
    void supportedExtension() {
        QFETCH(QString, path);
        QFETCH(bool, supported);
        const QStringList list{".avi", ".mpg", ".mpeg", ".mp4", ".wmv", ".mov", ".vob", ".asf"};
        QCOMPARE(HasSupportedExtension(path, list), supported);
    }

    void sourceFileExists() {
        QTemporaryDir dir;
        QVERIFY(!SourceFileExists(dir.path()));
        QVERIFY(!SourceFileExists(dir.filePath("missing.avi")));
        QFile file(dir.filePath("x.avi"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(SourceFileExists(file.fileName()));
        QVERIFY(!SourceFileExists(QString()));
    }

    void listFilesSortedWithoutCase() {
        QTemporaryDir dir;
        for (const char* name : {"b.APF", "A.apf", "c.txt", ".hidden.apf"}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir("d.apf"));
        QCOMPARE(ListFilesByExtension(dir.path(), ".apf"), QStringList({"A.apf", "b.APF"}));
        QCOMPARE(ListFilesByExtension(dir.path(), ".APF"), QStringList({"A.apf", "b.APF"}));
    }

    void listFilesOfMissingFolderThrows() {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(AppError, ListFilesByExtension(dir.filePath("Profiles"), ".apf"));
    }

    void pathParts() {
        QCOMPARE(FileNameOf("/videos/talk.part1.avi"), QStringLiteral("talk.part1.avi"));
        QCOMPARE(FolderOf("/videos/talk.avi"), QStringLiteral("/videos"));
        QCOMPARE(FolderOf("talk.avi"), QString());
        QCOMPARE(FolderOf("/talk.avi"), QStringLiteral("/"));
    }

    void appContextPaths() {
        AppContext context;
        context.SetAppDir(QStringLiteral("/opt/splitter"));
        QCOMPARE(context.AppDir, QStringLiteral("/opt/splitter/"));
        QCOMPARE(context.EncoderPath, QStringLiteral("/opt/splitter/wmaspi.dll"));
        QCOMPARE(context.ProfilePath("MP4"), QStringLiteral("/opt/splitter/Profiles/MP4.apf"));
        QVERIFY(context.HelpFilePath.startsWith("/opt/splitter/Corvexa."));
    }
};

QTEST_GUILESS_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
