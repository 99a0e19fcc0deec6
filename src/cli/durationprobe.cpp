#include "cli/durationprobe.h"

#include "app/appcontext.h"
#include "encoderarguments.h"

#include <QProcess>
#include <cmath>

namespace {

constexpr int PollMs = 100;
// A source that ffprobe cannot size up within this time will not play in the preview either.
constexpr int GiveUpMs = 60000;

} // namespace

QString FindFfprobe() {
    const QByteArray probe = qgetenv("TESSEL_FFPROBE");
    const QByteArray ffmpeg = qgetenv("TESSEL_FFMPEG");
    const QByteArray path = qgetenv("PATH");
    QString folder = App().AppDir;
    if (folder.size() > 1 && folder.endsWith(NativeSeparator()))
        folder.chop(1);
    const auto found = EncoderFrontEnd::FindFfprobe(
        probe.isEmpty() ? nullptr : probe.constData(), ffmpeg.isEmpty() ? nullptr : ffmpeg.constData(),
        folder.toStdString(), path.isNull() ? nullptr : path.constData());
    return found ? QString::fromStdString(*found) : QString();
}

DurationProbe ProbeSourceDuration(const QString& sourcePath, const std::function<bool()>& stop) {
    DurationProbe result;
    const QString ffprobe = FindFfprobe();
    if (ffprobe.isEmpty()) {
        result.problem = QStringLiteral("ffprobe was not found (set TESSEL_FFPROBE or install ffmpeg)");
        return result;
    }

    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                            QStringLiteral("format=duration"), QStringLiteral("-of"),
                            QStringLiteral("default=noprint_wrappers=1:nokey=1"), sourcePath});
    if (!process.waitForStarted()) {
        result.problem = QStringLiteral("cannot start %1: %2").arg(ffprobe, process.errorString());
        return result;
    }
    int waited = 0;
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(PollMs)) {
        waited += PollMs;
        if ((stop && stop()) || waited >= GiveUpMs) {
            process.kill();
            process.waitForFinished();
            result.problem = QStringLiteral("ffprobe did not finish");
            return result;
        }
    }

    const QString output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    bool ok = false;
    const double seconds = output.toDouble(&ok);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || !ok ||
        !std::isfinite(seconds) || seconds < 0) {
        QString reason = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        const int lastBreak = reason.lastIndexOf(QLatin1Char('\n'));
        if (lastBreak >= 0)
            reason = reason.mid(lastBreak + 1);
        if (reason.isEmpty())
            reason = QStringLiteral("no duration");
        result.problem = QStringLiteral("ffprobe cannot read the source's duration: ") + reason;
        return result;
    }
    result.durationMs = std::llround(seconds * 1000);
    return result;
}
