#include "cli/durationprobe.h"

#include "app/appcontext.h"
#include "encoderarguments.h"

#include <QMap>
#include <QProcess>
#include <cmath>

namespace {

constexpr int PollMs = 100;
// A source that ffprobe cannot size up within this time will not play in the preview either.
constexpr int GiveUpMs = 60000;

// ffprobe's "key=value" lines.
QMap<QString, QString> KeyValues(const QByteArray& output) {
    QMap<QString, QString> values;
    for (const QString& line : QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            values.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return values;
}

// "30000/1001" as frames a second; 0 for "0/0" and anything else that is no rate.
double FrameRate(const QString& fraction) {
    const QStringList parts = fraction.split(QLatin1Char('/'));
    bool numeratorOk = false;
    bool denominatorOk = false;
    const double numerator = parts.value(0).toDouble(&numeratorOk);
    const double denominator = parts.size() == 2 ? parts.at(1).toDouble(&denominatorOk) : 1;
    if (!numeratorOk || (parts.size() == 2 && !denominatorOk) || parts.size() > 2 || !(denominator > 0))
        return 0;
    const double rate = numerator / denominator;
    return std::isfinite(rate) && rate > 0 ? rate : 0;
}

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
    process.start(ffprobe, {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                            QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                            QStringLiteral("format=duration:stream=avg_frame_rate"), QStringLiteral("-of"),
                            QStringLiteral("default=noprint_wrappers=1"), sourcePath});
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

    const QMap<QString, QString> values = KeyValues(process.readAllStandardOutput());
    bool ok = false;
    const double seconds = values.value(QStringLiteral("duration")).toDouble(&ok);
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
    result.frameRate = FrameRate(values.value(QStringLiteral("avg_frame_rate")));
    return result;
}
