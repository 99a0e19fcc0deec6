#include "app/apperror.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"
#include "profilesamples.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace ProfileSamples;

namespace {
// One item in its own section; "extra" holds further keys, one per line.
QByteArray Item(const QByteArray& name, int sort, const QByteArray& extra) {
    return "[" + name + "]\nSort=" + QByteArray::number(sort) + "\n" + extra;
}
QByteArray Profile(const QList<QByteArray>& names, const QByteArray& sections) {
    QByteArray main = "[Main]\nType=mp4\nPara=" + QByteArray::number(names.size()) + "\n";
    for (int i = 0; i < names.size(); ++i)
        main += QByteArray::number(i) + "=" + names.at(i) + "\n";
    return main + sections;
}
} // namespace

class TestProfileArguments : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir;

private slots:
    void build_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("error");

        QTest::newRow("worked example") << WorkedExample << QStringList{} << " -vcodec xvid -ab 128 -an "
                                        << "";
        QTest::newRow("worked example with a custom size")
            << WorkedExample << QStringList{"Video Size=640x480"} << " -vcodec xvid -s 640x480 -ab 128 -an "
            << "";
        QTest::newRow("choices match without regard to case")
            << WorkedExample << QStringList{"Video Codec=mpeg-4", "Video Size=320X240", "Disable Audio=no"}
            << " -vcodec mpeg4 -s 320x240 -ab 128"
            << "";
        QTest::newRow("cleared free text adds nothing")
            << WorkedExample << QStringList{"Audio Bitrate="} << " -vcodec xvid -an "
            << "";
        QTest::newRow("free text passes as typed")
            << WorkedExample << QStringList{"Audio Bitrate=96k"} << " -vcodec xvid -ab 96k -an "
            << "";
        QTest::newRow("empty cmd adds nothing")
            << Profile({"A", "B"},
                       Item("A", 1, "Caption=x,\nValue=y,\n") + Item("B", 2, "List=0\nCaption=z\n"))
            << QStringList{} << ""
            << "";
        QTest::newRow("read-only free text adds Value, not Caption")
            << Profile({"A"},
                       Item("A", 3, "ReadOnly=1\nList=0\ncmd=-pix_fmt\nCaption=shown\nValue=yuv420p\n"))
            << QStringList{"A=typed"} << " -pix_fmt yuv420p"
            << "";
        QTest::newRow("backslash in a read-only item")
            << Profile({"A"}, Item("A", 1, "ReadOnly=1\nList=0\ncmd=-vn\nCaption=Yes\nValue=\\\n"))
            << QStringList{} << " -vn "
            << "";
        QTest::newRow("items in position order across groups")
            << Profile({"A", "V", "X"}, Item("A", 2, "List=0\ncmd=-c:a\nCaption=aac\n") +
                                            Item("V", 1, "List=0\ncmd=-c:v\nCaption=mpeg4\n") +
                                            Item("X", 3, "List=0\ncmd=-r\nCaption=25\n"))
            << QStringList{} << " -c:a aac -c:v mpeg4 -r 25"
            << "";
        QTest::newRow("other Sort numbers are skipped")
            << Profile({"A", "B", "C"}, Item("A", 0, "ReadOnly=1\nList=0\ncmd=-a\nValue=1\n") +
                                            Item("B", 4, "ReadOnly=1\nList=0\ncmd=-b\nValue=2\n") +
                                            Item("C", 1, "ReadOnly=1\nList=0\ncmd=-c\nValue=3\n"))
            << QStringList{} << " -c 3"
            << "";
        // ffmpeg keeps only the last -vf: deinterlacing and the even size make one chain, in item order.
        QTest::newRow("video filters of two items make one chain")
            << Profile({"D", "E", "A"},
                       Item("D", 3, "cmd=-vf\nCaption=No,Yes,\nValue=,yadif,\nIndex=1\n") +
                           Item("E", 3, "ReadOnly=1\nList=0\ncmd=-vf\nValue=pad=ceil(iw/2)*2:ih\n") +
                           Item("A", 2, "ReadOnly=1\nList=0\ncmd=-af\nValue=volume=2\n"))
            << QStringList{} << " -vf yadif,pad=ceil(iw/2)*2:ih -af volume=2"
            << "";
        QTest::newRow("the even size alone")
            << Profile({"D", "E"},
                       Item("D", 3, "cmd=-vf\nCaption=No,Yes,\nValue=,yadif,\nIndex=0\n") +
                           Item("E", 3, "ReadOnly=1\nList=0\ncmd=-vf\nValue=pad=ceil(iw/2)*2:ih\n"))
            << QStringList{} << " -vf pad=ceil(iw/2)*2:ih"
            << "";
        QTest::newRow("Para 0") << QByteArray("[Main]\nPara=0\n") << QStringList{} << ""
                                << "";
        QTest::newRow("huge Para reads only the real keys")
            << QByteArray("[Main]\nPara=2147483647\n0=A\n[A]\nSort=1\nReadOnly=1\nList=0\ncmd=-r\nValue=1\n")
            << QStringList{} << " -r 1"
            << "";
        QTest::newRow("choice past the values is refused")
            << Profile({"A", "B"}, Item("A", 1, "ReadOnly=1\nList=0\ncmd=-r\nValue=1\n") +
                                       Item("B", 1, "cmd=-b\nCaption=x,y,\nValue=only,\nIndex=1\n"))
            << QStringList{} << " -r 1"
            << "List index out of bounds (1)";
    }
    void build() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, edits);
        QFETCH(QString, expected);
        QFETCH(QString, error);
        const QString path = dir.filePath(QStringLiteral("build.apf"));
        WriteFile(path, content);
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        Edit(lists, edits);
        ProfileOptions options;
        QString raised;
        try {
            BuildProfileArguments(path, options, lists);
        } catch (const AppError& failure) {
            raised = failure.message();
        }
        QCOMPARE(raised, error);
        if (error.isEmpty())
            QCOMPARE(options.Text(), expected);
    }

    // What a profile item may pass: allowed families, one word each or a plain chain of allowed filters.
    void allowedOptions_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("result"); // the options' text, or the reason of the refusal

        QTest::newRow("stream specifier") << "-b:a:1"
                                          << "128k"
                                          << " -b:a:1 128k";
        QTest::newRow("filter chain with blanks and an instance name")
            << "-filter:v"
            << "scale@small=640:-2, setsar=1"
            << R"( -filter:v "scale@small=640:-2, setsar=1")";
        QTest::newRow("stream map of the source") << "-map"
                                                  << "0:a:1?"
                                                  << " -map 0:a:1?";
        QTest::newRow("cut points") << "-cut_points"
                                    << "keyframes"
                                    << " -cut_points keyframes";
        QTest::newRow("stream of another input")
            << "-map"
            << "1:v"
            << R"("-map" takes only streams of the source, such as 0, 0:v or 0:a:1, not "1:v")";
        QTest::newRow("sendcmd filter") << "-af"
                                        << "sendcmd=f=cmds.txt,volume=2"
                                        << R"(the filter "sendcmd" is not one that a profile may use)";
        QTest::newRow("two chains")
            << "-vf"
            << "scale=640:-2;movie=x"
            << R"(the filters of "-vf" must be a plain chain such as scale=640:-2,setsar=1, )"
               R"(without quotes, brackets, backslashes or ";")";
        QTest::newRow("a URL") << "-c:v"
                               << "http://host/x"
                               << R"(the value of "-c:v" names a URL)";
    }
    void allowedOptions() {
        QFETCH(QString, option);
        QFETCH(QString, value);
        QFETCH(QString, result);
        const QString path = dir.filePath(QStringLiteral("allowed.apf"));
        WriteFile(path, Profile({"Item"}, Item("Item", 3,
                                               "List=0\ncmd=" + option.toUtf8() +
                                                   "\nCaption=" + value.toUtf8() + "\n")));
        ProfileWorkingLists lists;
        lists.LoadProfile(path);
        ProfileOptions options;
        BuildProfileArguments(path, options, lists);
        if (options.Refused())
            QCOMPARE(options.Refusal(),
                     QStringLiteral("The profile item \"Item\" cannot be used: ") + result + ".");
        else
            QCOMPARE(options.Text(), result);
    }

    void valuesComeFromTheListsWhateverTheyHold() {
        // The lists were last loaded from another profile: items without a row read as the empty text.
        const QString shown = dir.filePath(QStringLiteral("shown.apf"));
        WriteFile(shown, Profile({"Codec", "Fixed", "Empty Choice", "Typed"},
                                 Item("Codec", 1, "cmd=-c:v\nCaption=A,B,\nValue=a,b,\nIndex=1\n") +
                                     Item("Fixed", 1, "ReadOnly=1\nList=0\ncmd=-pix_fmt\nValue=yuv420p\n") +
                                     Item("Empty Choice", 2, "cmd=-ac\nCaption=,Mono,\nValue=2,1,\n") +
                                     Item("Typed", 2, "List=0\ncmd=-b:a\nCaption=128k\n")));
        const QString other = dir.filePath(QStringLiteral("other.apf"));
        WriteFile(other, WorkedExample);
        ProfileWorkingLists lists;
        lists.LoadProfile(other);
        ProfileOptions options;
        BuildProfileArguments(shown, options, lists);
        QCOMPARE(options.Text(), QStringLiteral(" -pix_fmt yuv420p -ac 2"));
    }

    void missingFileLeavesTheText() {
        ProfileWorkingLists lists;
        ProfileOptions options{{QStringLiteral("-an"), std::nullopt}};
        BuildProfileArguments(dir.filePath(QStringLiteral("missing.apf")), options, lists);
        QCOMPARE(options.Text(), QStringLiteral(" -an "));
    }
};

QTEST_GUILESS_MAIN(TestProfileArguments)
#include "tst_profilearguments.moc"
