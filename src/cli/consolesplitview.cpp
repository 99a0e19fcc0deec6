#include "cli/consolesplitview.h"

#include "cli/progressline.h"
#include "cli/signalpipe.h"
#include "split/splitrunner.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <unistd.h>

ConsoleSplitView::ConsoleSplitView(const SplitInputs& inputs, const QString& outputExt, bool overwrite,
                                   int clipCount, const ConsoleSettings& settings, FILE* out, FILE* err,
                                   int inFd)
    : inputs(inputs), outputExt(outputExt), overwrite(overwrite), clipCount(clipCount), settings(settings),
      out(out), err(err), inFd(inFd), ticker(new QTimer(this)) {
    // The elapsed and remaining times move on while the encoder is silent.
    ticker->setInterval(1000);
    connect(ticker, &QTimer::timeout, this, [this] {
        if (lineOpen)
            DrawLiveLine();
    });
}

void ConsoleSplitView::Attach(SplitRunner& runner) {
    connect(&runner, &SplitRunner::ClipPending, this, &ConsoleSplitView::ClipPending);
    connect(&runner, &SplitRunner::ClipStarted, this,
            [this](int started, const QString&) { ClipStarted(started); });
}

bool ConsoleSplitView::StopRequested() const {
    return SignalPipe::Pending();
}

void ConsoleSplitView::ShowMessage(const QString& text, const QString& caption, SplitMessageKind kind) {
    EndLiveLine();
    if (outcome == Outcome::NotStarted || outcome == Outcome::Refused) {
        // Only the checks speak before the run has begun.
        outcome = Outcome::Refused;
        Err(caption + QStringLiteral(": ") + text);
        return;
    }
    if (kind == SplitMessageKind::Information) {
        // Notes that follow a failure report leave the run failed.
        if (outcome != Outcome::Failed)
            outcome = Outcome::Completed;
        if (!settings.quiet)
            Out(text);
        return;
    }
    outcome = Outcome::Failed;
    Err(caption + QStringLiteral(": ") + text);
}

bool ConsoleSplitView::AskYesNo(const QString& text, const QString& caption) {
    EndLiveLine();
    if (settings.askQuestions) {
        Err(caption + QStringLiteral(": ") + text + QStringLiteral(" ") + pendingOutput +
                QStringLiteral(" [y/N] "),
            false);
        return ReadAnswer();
    }
    const QString consequence = inputs.oneClip ? QStringLiteral("The run stops.")
                                               : QStringLiteral("Section %1 is skipped.").arg(clip);
    Err(caption + QStringLiteral(": The output file is existent: ") + pendingOutput + QStringLiteral(". ") +
        consequence + QStringLiteral(" (--overwrite replaces it)"));
    return false;
}

bool ConsoleSplitView::ReadAnswer() {
    QByteArray answer;
    bool ended = false;
    QEventLoop loop;
    QSocketNotifier input(inFd, QSocketNotifier::Read);
    connect(&input, &QSocketNotifier::activated, &loop, [&] {
        char buffer[256];
        const ssize_t count = read(inFd, buffer, sizeof(buffer));
        if (count > 0)
            answer.append(buffer, count);
        if (count <= 0 || answer.contains('\n')) {
            ended = true;
            loop.quit();
        }
    });
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (SignalPipe::Pending())
                loop.quit();
        });
    if (!SignalPipe::Pending())
        loop.exec();
    if (!ended) {
        Err(QString());
        return false;
    }
    const QByteArray reply = answer.trimmed().toLower();
    return reply == "y" || reply == "yes";
}

void ConsoleSplitView::EnterBusyState() {
    outcome = Outcome::Running;
    current = 0;
    total = 0;
    printedTotal = 0;
    elapsed.start();
    if (settings.liveProgress && !settings.quiet)
        ticker->start();
}

void ConsoleSplitView::LeaveBusyState() {
    EndLiveLine();
    ticker->stop();
    // Cancelled, stopped at an existing file, or the encoder could not be started.
    if (outcome == Outcome::Running)
        outcome = Outcome::Stopped;
}

void ConsoleSplitView::ShowProgress(int currentPercent, int totalPercent) {
    current = currentPercent;
    total = totalPercent;
    if (settings.quiet)
        return;
    if (settings.liveProgress) {
        DrawLiveLine();
    } else if (total != printedTotal) {
        printedTotal = total;
        Out(ProgressLineText(clip, clipCount, current, total, ElapsedSeconds()));
    }
}

void ConsoleSplitView::ResetCurrentBar() {
    // The clip's line keeps what it reached; the next clip gets a line of its own.
    EndLiveLine();
    current = 0;
}

void ConsoleSplitView::StopRunTimers() {
    ticker->stop();
}

void ConsoleSplitView::ClipPending(int pending, const QString& outputPath) {
    clip = pending;
    pendingOutput = outputPath;
}

void ConsoleSplitView::ClipStarted(int started) {
    EndLiveLine();
    clip = started;
    current = 0;
    if (settings.liveProgress && !settings.quiet)
        DrawLiveLine();
}

void ConsoleSplitView::DrawLiveLine() {
    const QString line = ProgressLineText(clip, clipCount, current, total, ElapsedSeconds());
    if (lineOpen && line == drawnLine)
        return;
    // Back to the line's start, the new text, then the rest of the old line cleared.
    std::fputs(("\r" + line + QStringLiteral("\x1b[K")).toLocal8Bit().constData(), out);
    std::fflush(out);
    drawnLine = line;
    lineOpen = true;
}

void ConsoleSplitView::EndLiveLine() {
    if (!lineOpen)
        return;
    DrawLiveLine();
    std::fputc('\n', out);
    std::fflush(out);
    lineOpen = false;
}

void ConsoleSplitView::Out(const QString& text) {
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), out);
    std::fflush(out);
}

void ConsoleSplitView::Err(const QString& text, bool newline) {
    std::fputs((newline ? text + QLatin1Char('\n') : text).toLocal8Bit().constData(), err);
    std::fflush(err);
}

qint64 ConsoleSplitView::ElapsedSeconds() const {
    return elapsed.isValid() ? elapsed.elapsed() / 1000 : 0;
}
