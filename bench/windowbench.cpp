// Measures the main window itself, offscreen, for bench/run.sh. Each mode prints "name=value" lines.
//
//   windowbench freeze PROGRAM_DIR SOURCE SECTIONS END
//       The longest gap between the ticks of a 10 ms timer of the main window: first while the window
//       is idle with SOURCE loaded, then during a real run of SECTIONS sections from 0 to END.
//   windowbench startup PROGRAM_DIR SOURCE
//       Starts the program's window in a fresh process: the time from the process start to the window
//       shown, and the resident memory when idle with SOURCE loaded.
//   windowbench bare
//       The same two figures for a bare Qt window of the same size, as the reference.
#include "app/appcontext.h"
#include "mainformlookup.h"
#include "platform/inifile.h"
#include "platform/tesselapplication.h"
#include "preview/sourcepreview.h"
#include "profiles/opsettingform.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/forms.h"
#include "ui/mainform.h"
#include "ui/skin.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

const char* const StartEnvironment = "TESSEL_BENCH_T0_NS";
constexpr int IdleMilliseconds = 3000;

qint64 MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

long ResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void Print(const char* name, double value) {
    std::printf("%s=%.3f\n", name, value);
    std::fflush(stdout);
}

// Lets events through until the condition holds; false when it never did within the time.
bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void Idle(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// A program folder like the shipped one, with the run's closing actions off so that nothing quits or
// turns the machine off, and the encoder front-end of the build.
void PrepareProgram(const TempProgramDir& program, const QString& shippedDir, const QString& outputDir) {
    const QDir profiles(shippedDir + QStringLiteral("/Profiles"));
    for (const QString& name : profiles.entryList(QDir::Files))
        QFile::copy(profiles.filePath(name), program.path() + QStringLiteral("Profiles/") + name);
    QFile::link(shippedDir + QStringLiteral("/wmaspi.dll"), program.path() + QStringLiteral("wmaspi.dll"));
    program.Write(QStringLiteral("Preferences.ini"),
                  "[Main]\nPreview=1\nOverwrite=1\nAptotic=1\nOutput Dir=" + outputDir.toUtf8() +
                      "\nAuto Open Dir=0\nAuto Exit=0\nAuto Turn Off=0\nProfile=0\n");
}

bool LoadAndWait(TMainForm* form, const QString& source) {
    form->LoadSource(source);
    return WaitFor([form] { return form->Preview()->SourceLoaded(); }, 60000);
}

// Records when the window is first exposed.
class ExposeWatch : public QObject {
public:
    qint64 exposedNs = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && exposedNs == 0)
            exposedNs = MonotonicNs();
        return QObject::eventFilter(watched, event);
    }
};

int Freeze(const QString& shippedDir, const QString& source, int sections, const QString& end) {
    PlatformDoubles doubles;
    TempProgramDir program;
    const QString outputDir = program.path() + QStringLiteral("out");
    QDir().mkpath(outputDir);
    PrepareProgram(program, shippedDir, outputDir);
    auto forms = std::make_unique<Forms>(QStringList());
    TMainForm* MainForm = forms->MainForm;
    const MainFormControls ui = FindMainControls(MainForm);
    MainForm->show();
    if (!LoadAndWait(MainForm, source)) {
        std::fprintf(stderr, "the source did not load: %s\n", qPrintable(source));
        return 1;
    }

    qint64 last = 0;
    qint64 longest = 0;
    int ticks = 0;
    // The window owns its timer, as it owns its own timers.
    auto* ticker = new QTimer(MainForm);
    QObject::connect(ticker, &QTimer::timeout, [&] {
        const qint64 now = MonotonicNs();
        if (last != 0)
            longest = std::max(longest, now - last);
        last = now;
        ++ticks;
    });
    ticker->setTimerType(Qt::PreciseTimer);
    ticker->start(10);

    Idle(IdleMilliseconds);
    const double idleGap = longest / 1e6;

    ui.edtStart->setText(QStringLiteral("00:00:00"));
    ui.edtEnd->setText(end);
    ui.rdbEqual->setChecked(true);
    ui.edtSectionQty->setText(QString::number(sections));
    ui.edtOutputDir->setText(outputDir);
    ui.cmbProfile->setCurrentText(QStringLiteral("MP4 (H.264 + AAC)"));
    MainForm->cmbProfileChange();
    ProfileOptions arguments;
    BuildProfileArguments(App().ProfilePath(ui.cmbProfile->currentText()), arguments,
                          forms->opSettingForm->Lists);

    // What Start does after its hit test.
    last = 0;
    longest = 0;
    ticks = 0;
    QElapsedTimer run;
    run.start();
    MainForm->RunSplit(arguments);
    const double runSeconds = run.elapsed() / 1000.0;
    ticker->stop();

    const bool completed =
        doubles.messages.Texts().contains(QStringLiteral("Splitting is completed successfully."));
    const int clips = QDir(outputDir).entryList(QDir::Files).size();
    Print("idle_max_gap_ms", idleGap);
    Print("run_max_gap_ms", longest / 1e6);
    Print("run_seconds", runSeconds);
    Print("run_ticks", ticks);
    Print("clips", clips);
    forms.reset();
    if (!completed || clips != sections) {
        std::fprintf(stderr, "the run did not complete: %s\n",
                     qPrintable(doubles.messages.Texts().join('|')));
        return 1;
    }
    return 0;
}

// Runs in the child: the same steps as the program's start, then the figures.
int StartupChild(int argc, char** argv, bool bare) {
    const qint64 start = qEnvironmentVariable(StartEnvironment).toLongLong();
    ExposeWatch watch;
    if (bare) {
        QApplication application(argc, argv);
        QWidget window;
        window.setFixedSize(772, 410);
        window.show();
        window.windowHandle()->installEventFilter(&watch);
        WaitFor([&] { return watch.exposedNs != 0; }, 30000);
        Print("shown_ms", (watch.exposedNs - start) / 1e6);
        Idle(IdleMilliseconds);
        Print("rss_mb", ResidentKilobytes() / 1024.0);
        return 0;
    }

    // The program folder was laid down by the launcher; from here on these are the program's own steps.
    TesselApplication application(argc, argv);
    App().SetAppDir(QString::fromLocal8Bit(argv[2]));
    const QString source = QString::fromLocal8Bit(argv[3]);
    PlatformDoubles doubles;
    Skin::Apply(application);
    auto forms = std::make_unique<Forms>(QStringList());
    TMainForm* MainForm = forms->MainForm;
    MainForm->show();
    MainForm->windowHandle()->installEventFilter(&watch);
    WaitFor([&] { return watch.exposedNs != 0; }, 30000);
    Print("shown_ms", (watch.exposedNs - start) / 1e6);
    Idle(IdleMilliseconds);
    Print("rss_no_source_mb", ResidentKilobytes() / 1024.0);
    if (!LoadAndWait(MainForm, source)) {
        std::fprintf(stderr, "the source did not load: %s\n", qPrintable(source));
        return 1;
    }
    // Loading plays the source; the figure is taken while it plays, and again once it is paused.
    Idle(IdleMilliseconds);
    Print("rss_mb", ResidentKilobytes() / 1024.0);
    MainForm->imgPauseClick();
    Idle(IdleMilliseconds);
    Print("rss_paused_mb", ResidentKilobytes() / 1024.0);
    forms.reset();
    return 0;
}

// Starts a child with the start time in its environment and passes its figures on.
int Launch(const QStringList& childArguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(StartEnvironment), QString::number(MonotonicNs()));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), childArguments);
    if (!child.waitForFinished(120000))
        return 1;
    std::fputs(child.readAllStandardOutput().constData(), stdout);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

} // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("startup-child") || mode == QLatin1String("bare-child"))
        return StartupChild(argc, argv, mode == QLatin1String("bare-child"));
    if (mode == QLatin1String("bare") && argc == 2) {
        QCoreApplication application(argc, argv);
        return Launch({QStringLiteral("bare-child")});
    }
    if (mode == QLatin1String("startup") && argc == 4) {
        QCoreApplication application(argc, argv);
        TempProgramDir program;
        PrepareProgram(program, QString::fromLocal8Bit(argv[2]), program.path());
        return Launch({QStringLiteral("startup-child"), program.path(), QString::fromLocal8Bit(argv[3])});
    }
    if (mode == QLatin1String("freeze") && argc == 6) {
        TesselApplication application(argc, argv);
        Skin::Apply(application);
        return Freeze(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                      QString::fromLocal8Bit(argv[4]).toInt(), QString::fromLocal8Bit(argv[5]));
    }
    std::fprintf(stderr, "usage: windowbench freeze PROGRAM_DIR SOURCE SECTIONS END | startup PROGRAM_DIR "
                         "SOURCE | bare\n");
    return 2;
}
