#include "cli/splitcommand.h"

#include "app/appcontext.h"
#include "app/apperror.h"
#include "app/filehelpers.h"
#include "app/userfolder.h"
#include "cli/consolesplitview.h"
#include "cli/durationprobe.h"
#include "cli/headlessinputs.h"
#include "cli/signalpipe.h"
#include "cli/splitexitcode.h"
#include "cli/splitoptions.h"
#include "platform/inifile.h"
#include "prefs/preferences.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/profileworkinglists.h"
#include "split/clipjob.h"
#include "split/earlyfrontend.h"
#include "split/inputcheck.h"
#include "split/splitrunner.h"

#include <QCoreApplication>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

constexpr int ExitBadInput = 2;
constexpr int ExitInterrupted = 130;

void Print(FILE* stream, const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// A problem of the command itself, led by the program's name as command-line tools do.
void PrintProblem(const QString& text) {
    Print(stderr, QStringLiteral("tessel-split: ") + text);
}

// The profile as the window has it at Start: loaded into the working lists when it was chosen, which
// gives the clips' extension, then turned into the encoder's options.
struct StartProfile {
    ProfileOptions options;
    QString outputExt;
};

// A missing file leaves both empty, and a refused item is carried along; the run's checks then refuse
// either.
StartProfile LoadStartProfile(const QString& profileName) {
    const QString path = App().ProfilePath(profileName);
    ProfileWorkingLists lists;
    lists.LoadProfile(path);
    StartProfile profile;
    BuildProfileArguments(path, profile.options, lists);
    profile.outputExt = lists.OutputExt();
    return profile;
}

// The fields as the window would have them: the command line's, and the stored preferences for the rest.
// Nothing when the preferences cannot be read, as their stored choices (the overwrite one among them) must
// not silently become the built-in ones.
std::optional<HeadlessInputs> ResolveInputs(const SplitOptions& options) {
    try {
        UserFolder::UseProgramFolder(QCoreApplication::applicationDirPath());
    } catch (const AppError& error) {
        // What is already there may still do; a profile that is missing is refused later.
        Print(stderr, App().ProductName + QStringLiteral(": ") + error.message());
    }
    const IniFile preferencesFile(App().PreferencesPath());
    if (!preferencesFile.Readable()) {
        PrintProblem(QStringLiteral("Unable to read ") + preferencesFile.path());
        return std::nullopt;
    }
    return ResolveHeadlessInputs(options, Preferences::Load(preferencesFile, false), ProgramProfileNames());
}

void ReportRefusal(const InputCheck& check, const DurationProbe& probe) {
    Print(stderr, check.caption + QStringLiteral(": ") + check.message);
    // The window would not have loaded such a source at all; say why its start time is refused.
    if (!probe.problem.isEmpty() && check.problem == InputProblem::StartPastEnd)
        PrintProblem(probe.problem);
}

void PrintCommandLines(const SplitInputs& inputs, const ClipPlan& plan, const StartProfile& profile) {
    const QString outputFolder = EnsureTrailingBackslash(inputs.outputDirText);
    // Where clips of a chosen size stop is learnt only by writing them: the first clip shows the command.
    if (plan.MaxBytes() > 0)
        Print(stdout,
              MakeSizeClipJob(inputs, plan, 1, plan.Start(), outputFolder, profile.options, profile.outputExt)
                  .commandLine);
    for (int i = 1; i <= plan.Count(); ++i)
        Print(stdout,
              MakeClipJob(inputs, plan, i, outputFolder, profile.options, profile.outputExt).commandLine);
}

int RunOnConsole(const SplitOptions& options, const HeadlessInputs& resolved, const StartProfile& profile,
                 int clipCount) {
    ConsoleSettings settings;
    settings.quiet = options.quiet;
    settings.liveProgress = isatty(STDOUT_FILENO) == 1;
    settings.askQuestions = isatty(STDIN_FILENO) == 1;
    ConsoleSplitView view(resolved.inputs, profile.outputExt, resolved.overwrite, clipCount, settings);
    SplitRunner runner(view);
    view.Attach(runner);
    const SplitResult result = runner.RunSplit(profile.options);
    const int exitCode = SplitExitCode(result, SignalPipe::Pending());
    if (exitCode == ExitInterrupted)
        PrintProblem(QStringLiteral("interrupted; the encoder was stopped."));
    return exitCode;
}

} // namespace

int RunSplitCommand(const QStringList& arguments) {
    const SplitOptionsParse parse = ParseSplitOptions(arguments);
    if (parse.options.help) {
        std::fputs(SplitUsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (parse.options.version) {
        std::fputs(SplitVersionText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!parse.error.isEmpty()) {
        PrintProblem(parse.error + QStringLiteral("\nTry 'tessel-split --help' for more information."));
        return ExitBadInput;
    }

    SignalPipe stopSignals;
    std::optional<HeadlessInputs> resolved = ResolveInputs(parse.options);
    if (!resolved)
        return ExitBadInput;
    SplitInputs& inputs = resolved->inputs;
    StartProfile profile;
    try {
        profile = LoadStartProfile(inputs.profileName);
    } catch (const std::exception& error) {
        Print(stderr, App().ProductName + QStringLiteral(": ") + QString::fromLocal8Bit(error.what()));
        return ExitBadInput;
    }

    // A run of several clips has one front-end for them all, started first: with FFmpeg's libraries
    // loaded it tells the source's length sooner than an ffprobe would.
    std::optional<EarlySessionFrontEnd> earlyFrontEnd;
    if (!inputs.oneClip && !parse.options.dryRun && SourceFileExists(inputs.sourcePath))
        earlyFrontEnd.emplace();

    DurationProbe probe;
    if (SourceFileExists(inputs.sourcePath)) {
        std::optional<DurationProbe> told;
        if (earlyFrontEnd)
            told =
                DurationFromFrontEnd(earlyFrontEnd->AskSourceLength(inputs.sourcePath, &SignalPipe::Pending));
        probe = told ? *told : ProbeSourceDuration(inputs.sourcePath, &SignalPipe::Pending);
    }
    if (SignalPipe::Pending()) {
        PrintProblem(QStringLiteral("interrupted."));
        return ExitInterrupted;
    }
    inputs.sourceDurationMs = probe.durationMs;
    inputs.sourceFrameRate = probe.frameRate;

    const InputCheck check = CheckSplitInputs(inputs, profile.options);
    if (!check.ok) {
        ReportRefusal(check, probe);
        return ExitBadInput;
    }
    if (parse.options.dryRun) {
        PrintCommandLines(inputs, check.plan, profile);
        return 0;
    }
    return RunOnConsole(parse.options, *resolved, profile, check.plan.Count());
}
