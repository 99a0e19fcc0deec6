#include "app/apperror.h"
#include "profiles/commalist.h"
#include "profiles/profileworkinglists.h"
#include "profilesamples.h"
#include "readonlyfolder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ProfileSamples;

namespace {
// Runs a load and returns the error's message, or the empty text when it succeeded.
QString LoadError(ProfileWorkingLists& lists, const QString& path) {
    try {
        lists.LoadProfile(path);
    } catch (const AppError& error) {
        return error.message();
    }
    return QString();
}

const QByteArray TwoItems =
    "[Main]\nType=mkv\nPara=2\n0=Codec\n1=Rate\n"
    "[Codec]\nSort=1\ncmd=-c:v\nCaption=H.264,VP9,\nValue=libx264,libvpx-vp9,\nIndex=1\n"
    "[Rate]\nSort=2\nList=0\ncmd=-b:a\nCaption=128k\nValue=128k\n";
} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;
    QString PathFor(const QByteArray& content) {
        const QString path = dir.filePath(QStringLiteral("test.apf"));
        WriteFile(path, content);
        return path;
    }

private slots:
    void splitCommaList_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("three entries") << "A,B,C," << QStringList{"A", "B", "C"};
        QTest::newRow("text after the last comma is dropped") << "A,B,C" << QStringList{"A", "B"};
        QTest::newRow("leading comma gives an empty entry") << ",x," << QStringList{"", "x"};
        QTest::newRow("no comma gives no entry") << "abc" << QStringList{};
        QTest::newRow("empty text") << "" << QStringList{};
        QTest::newRow("lone comma") << "," << QStringList{""};
        QTest::newRow("entries are not trimmed") << " a , b ," << QStringList{" a ", " b "};
        QTest::newRow("backslash entry") << ",\\," << QStringList{"", "\\"};
    }
    void splitCommaList() {
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        QCOMPARE(SplitCommaList(text), entries);
    }

    void placeholdersBeforeFirstLoad() {
        ProfileWorkingLists lists;
        QCOMPARE(Rows(lists.vleVideo), (QStringList{"Video Codec=", "Video Size=", "Bit Rate=", "Frame Rate=",
                                                    "Aspect=", "Disable Video="}));
        QCOMPARE(Rows(lists.vleAudio), (QStringList{"Audio Codec=", "Audio Bitrate=", "Sample Rate=",
                                                    "Channels=", "Volumn=", "Disable Audio="}));
        QCOMPARE(Rows(lists.vleAdvanced), (QStringList{"Bit Exact Algorithms=", "Deinterlace="}));
    }

    void load_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("video");
        QTest::addColumn<QStringList>("audio");
        QTest::addColumn<QStringList>("advanced");
        QTest::addColumn<QString>("outputExt");
        QTest::addColumn<QString>("error");

        QTest::newRow("worked example")
            << WorkedExample << QStringList{"Video Codec=XviD", "Video Size=Original Size"}
            << QStringList{"Audio Bitrate=128", "Disable Audio=Yes"} << QStringList{} << ".avi"
            << "";
        QTest::newRow("no Para empties the lists")
            << QByteArray("[Main]\nType=mkv\n0=Codec\n[Codec]\nSort=1\nCaption=A,\n") << QStringList{}
            << QStringList{} << QStringList{} << ".mkv"
            << "";
        QTest::newRow("no Type gives mp4")
            << QByteArray("[Main]\nPara=0\n") << QStringList{} << QStringList{} << QStringList{} << ".mp4"
            << "";
        QTest::newRow("empty file") << QByteArray() << QStringList{} << QStringList{} << QStringList{}
                                    << ".mp4"
                                    << "";
        QTest::newRow("missing List key means a list")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=3\nCaption=A,B,\nIndex=1\n") << QStringList{}
            << QStringList{} << QStringList{"X=B"} << ".mp4"
            << "";
        QTest::newRow("missing Index means the first choice")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=2\nCaption=A,B,\n") << QStringList{}
            << QStringList{"X=A"} << QStringList{} << ".mp4"
            << "";
        QTest::newRow("hexadecimal Index")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=1\nCaption=A,B,\nIndex=0x1\n") << QStringList{"X=B"}
            << QStringList{} << QStringList{} << ".mp4"
            << "";
        QTest::newRow("A,B offers only A")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=1\nCaption=A,B\nIndex=1\n") << QStringList{"X="}
            << QStringList{} << QStringList{} << ".mp4"
            << "List index out of bounds (1)";
        QTest::newRow("Index -1 is refused")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=1\nCaption=A,B,\nIndex=-1\n") << QStringList{"X="}
            << QStringList{} << QStringList{} << ".mp4"
            << "List index out of bounds (-1)";
        QTest::newRow("list without comma has no choice")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=1\nCaption=A\n") << QStringList{"X="}
            << QStringList{} << QStringList{} << ".mp4"
            << "List index out of bounds (0)";
        QTest::newRow("bad index keeps earlier rows and the extension")
            << QByteArray("[Main]\nType=wmv\nPara=3\n0=A\n1=B\n2=C\n[A]\nSort=2\nList=0\nCaption=1\n"
                          "[B]\nSort=1\nCaption=x,\nIndex=5\n[C]\nSort=3\nList=0\nCaption=3\n")
            << QStringList{"B="} << QStringList{"A=1"} << QStringList{} << ".wmv"
            << "List index out of bounds (5)";
        QTest::newRow("free text shows Caption, not Value")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=1\nList=0\nReadOnly=1\nCaption=shown\nValue=used\n")
            << QStringList{"X=shown"} << QStringList{} << QStringList{} << ".mp4"
            << "";
        QTest::newRow("other Sort numbers are skipped")
            << QByteArray(
                   "[Main]\nPara=4\n0=A\n1=B\n2=C\n3=D\n[A]\nSort=0\nList=0\nCaption=a\n"
                   "[B]\nSort=4\nList=0\nCaption=b\n[C]\nList=0\nCaption=c\n[D]\nSort=3\nList=0\nCaption=d\n")
            << QStringList{} << QStringList{} << QStringList{"D=d"} << ".mp4"
            << "";
        QTest::newRow("a missing position in between")
            << QByteArray("[Main]\nPara=3\n0=A\n2=C\n[A]\nSort=1\nList=0\nCaption=a\n[C]\nSort=1\nList="
                          "0\nCaption=c\n")
            << QStringList{"A=a", "C=c"} << QStringList{} << QStringList{} << ".mp4"
            << "";
        QTest::newRow("positions past Para are not read")
            << QByteArray("[Main]\nPara=1\n0=A\n1=B\n[A]\nSort=1\nList=0\nCaption=a\n[B]\nSort=1\nList="
                          "0\nCaption=b\n")
            << QStringList{"A=a"} << QStringList{} << QStringList{} << ".mp4"
            << "";
        QTest::newRow("huge Para reads only the real keys")
            << QByteArray("[Main]\nPara=2147483647\n0=A\n1=B\n[A]\nSort=1\nList=0\nCaption=a\n"
                          "[B]\nSort=3\nList=0\nCaption=b\n")
            << QStringList{"A=a"} << QStringList{} << QStringList{"B=b"} << ".mp4"
            << "";
        QTest::newRow("names and keys match without regard to case")
            << QByteArray(
                   "[MAIN]\ntype=mov\npara=1\n0=Video Codec\n[video codec]\nSORT=1\ncaption=A,B,\nindex=1\n")
            << QStringList{"Video Codec=B"} << QStringList{} << QStringList{} << ".mov"
            << "";
    }
    void load() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, video);
        QFETCH(QStringList, audio);
        QFETCH(QStringList, advanced);
        QFETCH(QString, outputExt);
        QFETCH(QString, error);
        ProfileWorkingLists lists;
        QSignalSpy loaded(&lists, &ProfileWorkingLists::ProfileLoaded);
        QCOMPARE(LoadError(lists, PathFor(content)), error);
        QCOMPARE(Rows(lists.vleVideo), video);
        QCOMPARE(Rows(lists.vleAudio), audio);
        QCOMPARE(Rows(lists.vleAdvanced), advanced);
        QCOMPARE(lists.OutputExt(), outputExt);
        // Views fit themselves only to a load that finished.
        QCOMPARE(loaded.count(), error.isEmpty() ? 1 : 0);
    }

    void loadSetsRowFlags() {
        ProfileWorkingLists lists;
        lists.LoadProfile(PathFor(WorkedExample));
        const ValueListModel& video = lists.vleVideo;
        // A list item is read-only to typing whatever its ReadOnly key says.
        QVERIFY(video.ReadOnly(0));
        QCOMPARE(video.Style(0), ValueListModel::EditStyle::PickList);
        QCOMPARE(video.PickList(0), (QStringList{"MPEG-4", "XviD"}));
        QVERIFY(!lists.vleAudio.ReadOnly(0));
        QCOMPARE(lists.vleAudio.Style(0), ValueListModel::EditStyle::FreeText);

        lists.LoadProfile(
            PathFor("[Main]\nPara=1\n0=Note\n[Note]\nSort=3\nList=0\nReadOnly=1\nCaption=fixed\n"));
        QVERIFY(lists.vleAdvanced.ReadOnly(0));
        QCOMPARE(lists.vleAdvanced.Style(0), ValueListModel::EditStyle::FreeText);
    }

    void loadOfMissingFileChangesNothing() {
        ProfileWorkingLists lists;
        lists.LoadProfile(PathFor(TwoItems));
        lists.LoadProfile(dir.filePath(QStringLiteral("missing.apf")));
        lists.LoadProfile(dir.path()); // a folder is no profile either
        QCOMPARE(Rows(lists.vleVideo), QStringList{"Codec=VP9"});
        QCOMPARE(Rows(lists.vleAudio), QStringList{"Rate=128k"});
        QCOMPARE(lists.OutputExt(), QStringLiteral(".mkv"));
    }

    void loadReplacesEveryList() {
        ProfileWorkingLists lists;
        lists.LoadProfile(PathFor(WorkedExample));
        lists.LoadProfile(PathFor("[Main]\nPara=1\n0=D\n[D]\nSort=3\nList=0\nCaption=d\n"));
        QVERIFY(Rows(lists.vleVideo).isEmpty());
        QVERIFY(Rows(lists.vleAudio).isEmpty());
        QCOMPARE(Rows(lists.vleAdvanced), QStringList{"D=d"});
    }

    void save_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QByteArray>("saved");

        QTest::newRow("unchanged values keep the file") << TwoItems << QStringList{} << TwoItems;
        QTest::newRow("choice saved as its position, without regard to case")
            << TwoItems << QStringList{"Codec=h.264"} << QByteArray(TwoItems).replace("Index=1", "Index=0");
        QTest::newRow("value that is no choice keeps the file's index")
            << TwoItems << QStringList{"Codec=640x480"} << TwoItems;
        QTest::newRow("free text saved into Caption and Value")
            << TwoItems << QStringList{"Rate=640"}
            << QByteArray(TwoItems).replace("Caption=128k\nValue=128k", "Caption=640\nValue=640");
        QTest::newRow("missing Index key is added to its section")
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=1\nCaption=A,B,\n\n[Other]\nk=v\n")
            << QStringList{"X=B"}
            << QByteArray("[Main]\nPara=1\n0=X\n[X]\nSort=1\nCaption=A,B,\nIndex=1\n\n[Other]\nk=v\n");
        QTest::newRow("read-only items are never written")
            << QByteArray("[Main]\nPara=2\n0=X\n1=Y\n[X]\nSort=1\nReadOnly=1\nList=0\nCaption=a\nValue=b\n"
                          "[Y]\nSort=1\nReadOnly=1\nCaption=A,B,\nIndex=0\n")
            << QStringList{"X=edited", "Y=B"}
            << QByteArray("[Main]\nPara=2\n0=X\n1=Y\n[X]\nSort=1\nReadOnly=1\nList=0\nCaption=a\nValue=b\n"
                          "[Y]\nSort=1\nReadOnly=1\nCaption=A,B,\nIndex=0\n");
        QTest::newRow("comments and unknown keys stay")
            << QByteArray("; made by hand\n[Main]\nPara=1\n0=X\nExtra=1\n[X]\n; the codec\nSort=1\nList=0\n"
                          "Caption=a\nValue=a\nmore=yes\n")
            << QStringList{"X=z"}
            << QByteArray("; made by hand\n[Main]\nPara=1\n0=X\nExtra=1\n[X]\n; the codec\nSort=1\nList=0\n"
                          "Caption=z\nValue=z\nmore=yes\n");
    }
    void save() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, edits);
        QFETCH(QByteArray, saved);
        ProfileWorkingLists lists;
        const QString path = PathFor(content);
        lists.LoadProfile(path);
        Edit(lists, edits);
        lists.SaveProfile(path);
        QCOMPARE(ReadFile(path), saved);
    }

    void valueThatIsNoChoiceKeepsTheProfileLoadable() {
        ProfileWorkingLists lists;
        const QString path = PathFor(WorkedExample);
        lists.LoadProfile(path);
        lists.vleVideo.SetValueOf(QStringLiteral("Video Size"), QStringLiteral("640x480"));
        lists.SaveProfile(path);
        QCOMPARE(LoadError(lists, path), QString());
        QCOMPARE(lists.vleVideo.ValueOf(QStringLiteral("Video Size")), QStringLiteral("Original Size"));
    }

    // The editor's OK saves into its own profile while the lists may hold the main window's: an index is
    // only ever one of the file's own choices, and items without rows keep their values.
    void saveFromAnotherProfile_data() {
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("a choice the file lacks")
            << QByteArray(
                   "[Main]\nPara=1\n0=Codec\n[Codec]\nSort=1\nCaption=MPEG-4,XviD,MS MPEG-4 V3,\nIndex=2\n")
            << TwoItems;
        QTest::newRow("a choice the file holds elsewhere")
            << QByteArray("[Main]\nPara=1\n0=Codec\n[Codec]\nSort=1\nCaption=VP9,H.264,\nIndex=1\n")
            << QByteArray(TwoItems).replace("Index=1", "Index=0");
        QTest::newRow("items the lists hold no rows for") << WorkedExample << TwoItems;
    }
    void saveFromAnotherProfile() {
        QFETCH(QByteArray, other);
        QFETCH(QByteArray, saved);
        ProfileWorkingLists lists;
        const QString otherPath = dir.filePath(QStringLiteral("other.apf"));
        WriteFile(otherPath, other);
        lists.LoadProfile(otherPath);
        const QString path = PathFor(TwoItems);
        lists.SaveProfile(path);
        QCOMPARE(ReadFile(path), saved);
        QCOMPARE(LoadError(lists, path), QString());
    }

    void saveIgnoresRowsTheFileDoesNotName() {
        ProfileWorkingLists lists;
        const QString path = PathFor(TwoItems);
        lists.LoadProfile(path);
        lists.vleVideo.AppendRow(QStringLiteral("Extra"), QStringLiteral("x"));
        lists.SaveProfile(path);
        QCOMPARE(ReadFile(path), TwoItems);
    }

    void saveIntoReadOnlyFolderFails() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("locked.apf"));
        WriteFile(path, TwoItems);
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        lists.vleAudio.SetValueOf(QStringLiteral("Rate"), QStringLiteral("96k"));
        ReadOnlyFolder locked(folder.path());
        if (!locked.active())
            QSKIP("This machine cannot make a folder read-only");
        QString message;
        try {
            lists.SaveProfile(path);
        } catch (const AppError& error) {
            message = error.message();
        }
        QCOMPARE(message, QStringLiteral("Unable to write to %1").arg(path));
        QCOMPARE(ReadFile(path), TwoItems);
    }

    void copy_data() {
        QTest::addColumn<bool>("sourceExists");
        QTest::addColumn<QByteArray>("destinationBefore");
        QTest::addColumn<QByteArray>("destinationAfter");
        const QByteArray edited = QByteArray(TwoItems).replace("Index=1", "Index=0");
        QTest::newRow("new file") << true << QByteArray() << edited;
        QTest::newRow("replaces an existing file") << true << QByteArray("[Main]\nType=avi\n") << edited;
        QTest::newRow("missing source does nothing")
            << false << QByteArray("[Main]\nType=avi\n") << QByteArray("[Main]\nType=avi\n");
    }
    void copy() {
        QFETCH(bool, sourceExists);
        QFETCH(QByteArray, destinationBefore);
        QFETCH(QByteArray, destinationAfter);
        QTemporaryDir folder;
        const QString source = folder.filePath(QStringLiteral("Source.apf"));
        const QString destination = folder.filePath(QStringLiteral("Copy of it.apf"));
        WriteFile(source, TwoItems);
        ProfileWorkingLists lists;
        lists.LoadProfile(source);
        lists.vleVideo.SetValueOf(QStringLiteral("Codec"), QStringLiteral("H.264"));
        if (!sourceExists)
            QFile::remove(source);
        if (!destinationBefore.isEmpty())
            WriteFile(destination, destinationBefore);
        lists.CopyProfile(source, destination);
        QCOMPARE(ReadFile(destination), destinationAfter);
        if (sourceExists)
            QCOMPARE(ReadFile(source), TwoItems);
    }

    void copyIntoMissingFolderWritesNothing() {
        ProfileWorkingLists lists;
        const QString source = PathFor(TwoItems);
        lists.LoadProfile(source);
        const QString destination = dir.filePath(QStringLiteral("no such folder/copy.apf"));
        lists.CopyProfile(source, destination);
        QVERIFY(!QFile::exists(destination));
        QCOMPARE(ReadFile(source), TwoItems);
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
