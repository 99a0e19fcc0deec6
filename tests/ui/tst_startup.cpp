#include "app/appcontext.h"
#include "app/apperror.h"
#include "app/commandline.h"
#include "app/supportedfiles.h"
#include "mainformlookup.h"
#include "preview/sourcepreview.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"
#include "windowdoubles.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QtTest>

namespace {

const QString ExpectedFilter = QStringLiteral(
    "All Support "
    "Files(*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;*.vob;*.asf;)|*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;"
    "*.vob;*.asf;|AVI Files (*.avi)|*.avi|MPG Files (*.mpg)|*.mpg|MPEG Files (*.mpeg)|*.mpeg|MP4 Files "
    "(*.mp4)|"
    "*.mp4|WMV Files (*.wmv)|*.wmv|MOV Files (*.mov)|*.mov|VOB Files (*.vob)|*.vob|ASF Files (*.asf)|*.asf|"
    "All Files (*.*)|*.*");

const QStringList TodaysExtensions{".mkv", ".webm", ".m4v", ".ts", ".m2ts", ".mts", ".flv", ".3gp", ".ogv"};

// The filter of the program's list: the eight first, then today's containers, each with its own entry.
const QString FullFilter = QStringLiteral(
    "All Support Files(*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;*.vob;*.asf;*.mkv;*.webm;*.m4v;*.ts;*.m2ts;*.mts;"
    "*.flv;*.3gp;*.ogv;)|*.avi;*.mpg;*.mpeg;*.mp4;*.wmv;*.mov;*.vob;*.asf;*.mkv;*.webm;*.m4v;*.ts;*.m2ts;*."
    "mts;"
    "*.flv;*.3gp;*.ogv;|AVI Files (*.avi)|*.avi|MPG Files (*.mpg)|*.mpg|MPEG Files (*.mpeg)|*.mpeg|MP4 Files "
    "(*.mp4)|*.mp4|WMV Files (*.wmv)|*.wmv|MOV Files (*.mov)|*.mov|VOB Files (*.vob)|*.vob|ASF Files (*.asf)|"
    "*.asf|MKV Files (*.mkv)|*.mkv|WEBM Files (*.webm)|*.webm|M4V Files (*.m4v)|*.m4v|TS Files "
    "(*.ts)|*.ts|M2TS "
    "Files (*.m2ts)|*.m2ts|MTS Files (*.mts)|*.mts|FLV Files (*.flv)|*.flv|3GP Files (*.3gp)|*.3gp|OGV Files "
    "(*.ogv)|*.ogv|All Files (*.*)|*.*");

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void openDialogFilter() {
        QCOMPARE(BuildOpenDialogFilter(DefaultSupportedExtensions().mid(0, 8)), ExpectedFilter);
        QCOMPARE(BuildOpenDialogFilter(DefaultSupportedExtensions()), FullFilter);
        QCOMPARE(
            BuildOpenDialogFilter({".avi"}),
            QStringLiteral("All Support Files(*.avi;)|*.avi;|AVI Files (*.avi)|*.avi|All Files (*.*)|*.*"));
    }

    // Names are written into the program folder; "<dir>" in an argument or list line stands for it.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QByteArray>("listContent");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no argument") << QStringList() << "" << QByteArray() << "";
        QTest::newRow("existing upper case")
            << QStringList{"<dir>MOVIE.AVI"} << "" << QByteArray() << "<dir>MOVIE.AVI";
        QTest::newRow("second extension") << QStringList{"<dir>movie.avi.txt"} << "" << QByteArray() << "";
        QTest::newRow("folder named like a video") << QStringList{"<dir>x.avi"} << "" << QByteArray() << "";
        QTest::newRow("missing file") << QStringList{"<dir>gone.mp4"} << "" << QByteArray() << "";
        QTest::newRow("only the first argument")
            << QStringList{"<dir>gone.mp4", "<dir>clip.wmv"} << "" << QByteArray() << "";
        QTest::newRow("list file, second line ignored")
            << QStringList{"<dir>list.TMP"} << "list.TMP" << QByteArray("<dir>clip.wmv\n<dir>MOVIE.AVI\n")
            << "<dir>clip.wmv";
        QTest::newRow("list file with CR LF") << QStringList{"<dir>list.tmp"} << "list.tmp"
                                              << QByteArray("<dir>clip.wmv\r\n") << "<dir>clip.wmv";
        QTest::newRow("list file without line end")
            << QStringList{"<dir>list.tmp"} << "list.tmp" << QByteArray("<dir>clip.wmv") << "<dir>clip.wmv";
        QTest::newRow("list naming a missing file") << QStringList{"<dir>list.tmp"} << "list.tmp"
                                                    << QByteArray("<dir>gone.wmv\n<dir>clip.wmv\n") << "";
        QTest::newRow("list with an empty first line")
            << QStringList{"<dir>list.tmp"} << "list.tmp" << QByteArray("\n<dir>clip.wmv\n") << "";
        QTest::newRow("today's container")
            << QStringList{"<dir>Camcorder.MTS"} << "" << QByteArray() << "<dir>Camcorder.MTS";
        QTest::newRow("list naming an unsupported file")
            << QStringList{"<dir>list.tmp"} << "list.tmp" << QByteArray("<dir>movie.avi.txt\n") << "";
        // Relative names are taken from the folder the program was started in (here the program folder).
        QTest::newRow("relative name") << QStringList{"MOVIE.AVI"} << "" << QByteArray() << "<dir>MOVIE.AVI";
        QTest::newRow("relative with dots")
            << QStringList{"./x.avi/../clip.wmv"} << "" << QByteArray() << "<dir>clip.wmv";
        QTest::newRow("relative list and line")
            << QStringList{"list.tmp"} << "list.tmp" << QByteArray("clip.wmv\n") << "<dir>clip.wmv";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, listName);
        QFETCH(QByteArray, listContent);
        QFETCH(QString, expected);
        TempProgramDir program;
        const QString dir = program.path();
        program.Write("MOVIE.AVI", "video");
        program.Write("clip.wmv", "video");
        program.Write("movie.avi.txt", "text");
        program.Write("Camcorder.MTS", "video");
        QDir().mkpath(dir + "x.avi");
        if (!listName.isEmpty())
            program.Write(listName, listContent.replace("<dir>", dir.toLocal8Bit()));
        for (QString& argument : arguments)
            argument.replace("<dir>", dir);
        const QString startFolder = QDir::currentPath();
        QDir::setCurrent(dir);
        const QString source = CommandLineSource(arguments, DefaultSupportedExtensions());
        QDir::setCurrent(startFolder);
        QCOMPARE(source, expected.replace("<dir>", dir));
    }

    void unreadableListFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << "empty"
                               << "empty";
        QTest::newRow("missing") << "missing"
                                 << "No such file";
        QTest::newRow("a folder") << "folder"
                                  << "";
    }
    void unreadableListFile() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        TempProgramDir program;
        const QString list = program.path() + "list.tmp";
        if (kind == "empty")
            program.Write("list.tmp", QByteArray());
        else if (kind == "folder")
            QDir().mkpath(list);
        try {
            CommandLineSource({list}, DefaultSupportedExtensions());
            QFAIL("no error raised");
        } catch (const AppError& error) {
            QVERIFY2(error.message().contains(QDir::toNativeSeparators(list)), qPrintable(error.message()));
            QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
        }
    }

    void startupValues() {
        PlatformDoubles doubles;
        TempProgramDir program;
        MainFormDialogsDouble dialogs;
        TMainForm form(dialogs);
        const MainFormControls ui = FindMainControls(&form);
        form.FormCreate({});
        QVERIFY(doubles.messages.calls.isEmpty());
        QCOMPARE(form.Preview()->SupportedExtensions,
                 QStringList({".avi", ".mpg", ".mpeg", ".mp4", ".wmv", ".mov", ".vob", ".asf"}) +
                     TodaysExtensions);
        QCOMPARE(form.Preview()->OpenDialogFilter, FullFilter);
        QCOMPARE(ui.panProgress->height(), 217);
        QVERIFY(!form.Preview()->SourceLoaded());
        QVERIFY(form.acceptDrops());
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tessel Video Splitter"));
        QCOMPARE(App().EncoderPath, program.path() + "wmaspi.dll");
    }

    // The command line opens its source as if the person had opened it.
    void commandLineSourceIsLoaded_data() {
        QTest::addColumn<bool>("throughList");
        QTest::newRow("video") << false;
        QTest::newRow("list file") << true;
    }
    void commandLineSourceIsLoaded() {
        QFETCH(bool, throughList);
        PlatformDoubles doubles;
        TempProgramDir program;
        const QString video = program.path() + "clip.mp4";
        QString error;
        QVERIFY2(
            TestMedia::MakeVideo(video, 2, {"-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a", "aac"}, &error),
            qPrintable(error));
        const QString argument = throughList ? program.Write("list.tmp", video.toLocal8Bit() + "\n") : video;
        MainFormDialogsDouble dialogs;
        TMainForm form(dialogs);
        const MainFormControls ui = FindMainControls(&form);
        form.FormCreate({argument});
        QVERIFY(doubles.messages.calls.isEmpty());
        QVERIFY(form.Preview()->SourceLoaded());
        QCOMPARE(ui.edtSource->text(), video);
        QVERIFY(form.acceptDrops());
    }

    void caption_data() {
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<QString>("caption");
        QTest::newRow("no preferences file") << QByteArray() << "Tessel Video Splitter V1.8";
        QTest::newRow("no version key") << QByteArray("[Main]\nProfile=1\n") << "Tessel Video Splitter V1.8";
        QTest::newRow("version 2.0") << QByteArray("[Main]\nVersion=2.0\n") << "Tessel Video Splitter V2.0";
        QTest::newRow("any case, blanks")
            << QByteArray("[main]\n version = 2.0 \n") << "Tessel Video Splitter V2.0";
        QTest::newRow("only under Default")
            << QByteArray("[Default]\nVersion=3.0\n") << "Tessel Video Splitter V1.8";
    }
    void caption() {
        QFETCH(QByteArray, preferences);
        QFETCH(QString, caption);
        PlatformDoubles doubles;
        TempProgramDir program;
        if (!preferences.isEmpty())
            program.Write("Preferences.ini", preferences);
        MainFormDialogsDouble dialogs;
        TMainForm form(dialogs);
        form.FormCreate({});
        QCOMPARE(form.windowTitle(), caption);
        QCOMPARE(App().AppVersion, caption.section('V', -1));
    }

    void profileList() {
        PlatformDoubles doubles;
        TempProgramDir program;
        program.Write("Profiles/b.APF", "[Main]\n");
        program.Write("Profiles/A.apf", "[Main]\n");
        program.Write("Profiles/c.txt", "text");
        QDir().mkpath(program.path() + "Profiles/d.apf");
        MainFormDialogsDouble dialogs;
        TMainForm form(dialogs);
        const MainFormControls ui = FindMainControls(&form);
        form.FormCreate({});
        QCOMPARE(Items(ui.cmbProfile), QStringList({"A", "b"}));
        QCOMPARE(ui.cmbProfile->currentIndex(), -1);
        QCOMPARE(ui.cmbProfile->currentText(), QString());
    }

    // A failing step is reported with its reason; the steps after it are skipped and the window still opens.
    void failingSteps_data() {
        QTest::addColumn<bool>("profilesFolder");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<int>("profileCount");
        QTest::newRow("missing Profiles folder") << false << "list.tmp"
                                                 << "Profiles" << 0;
        QTest::newRow("empty list file") << true << "empty.tmp"
                                         << "empty.tmp" << 1;
        QTest::newRow("missing list file") << true << "gone.tmp"
                                           << "gone.tmp" << 1;
    }
    void failingSteps() {
        QFETCH(bool, profilesFolder);
        QFETCH(QString, argument);
        QFETCH(QString, expectedText);
        QFETCH(int, profileCount);
        PlatformDoubles doubles;
        TempProgramDir program;
        program.Write("Profiles/Only.apf", "[Main]\n");
        if (!profilesFolder)
            QDir(program.path() + "Profiles").removeRecursively();
        program.Write("empty.tmp", QByteArray());
        program.Write("list.tmp", program.path().toLocal8Bit() + "gone.avi\n");
        MainFormDialogsDouble dialogs;
        TMainForm form(dialogs);
        const MainFormControls ui = FindMainControls(&form);
        form.FormCreate({program.path() + argument});
        QCOMPARE(doubles.messages.calls.size(), 1);
        const MessageBoxDouble::Call& call = doubles.messages.calls.constFirst();
        QVERIFY2(call.text.contains(expectedText), qPrintable(call.text));
        QCOMPARE(call.caption, QStringLiteral("Tessel Video Splitter"));
        QCOMPARE(call.icon, MsgIcon::Stop);
        QCOMPARE(call.buttons, MsgButtons::Ok);
        QCOMPARE(ui.cmbProfile->count(), profileCount);
        QVERIFY(!form.acceptDrops());
        // The steps before the failing one have taken effect.
        QCOMPARE(form.windowTitle(), QStringLiteral("Tessel Video Splitter V1.8"));
        QCOMPARE(form.Preview()->OpenDialogFilter, FullFilter);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
