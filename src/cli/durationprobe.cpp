#include "cli/durationprobe.h"

#include "app/appcontext.h"
#include "contract/mediaformats.h"
#include "encoderarguments.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <limits>

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

namespace {

struct ProbeRun {
    QByteArray out;
    QString problem; // empty when ffprobe ran to its end
    QString lastError;
    bool failed = false;
};

// Runs ffprobe on the source, its last argument; stop is polled while it runs. The source is read as one
// media file: never a playlist, a pattern or a protocol.
ProbeRun RunFfprobe(const QString& ffprobe, QStringList arguments, const std::function<bool()>& stop) {
    const QString sourcePath = arguments.takeLast();
    for (const std::string& argument : Contract::SourceOpenArguments())
        arguments << QString::fromStdString(argument);
    arguments << QString::fromStdString(
        Contract::FileUrl(QFile::encodeName(QFileInfo(sourcePath).absoluteFilePath()).toStdString()));
    ProbeRun run;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(ffprobe, arguments);
    if (!process.waitForStarted()) {
        run.problem = QStringLiteral("cannot start %1: %2").arg(ffprobe, process.errorString());
        return run;
    }
    int waited = 0;
    // The output of a long stream's packets is read as it comes, so that ffprobe never waits on the pipe.
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(PollMs)) {
        run.out += process.readAllStandardOutput();
        waited += PollMs;
        if ((stop && stop()) || waited >= GiveUpMs) {
            process.kill();
            process.waitForFinished();
            run.problem = QStringLiteral("ffprobe did not finish");
            return run;
        }
    }
    run.out += process.readAllStandardOutput();
    run.failed = process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0;
    run.lastError = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return run;
}

// The length that the stream's own packets span, from the file's start to the end of the last one: for
// sources whose container tells none or only guesses it from a bit rate (a raw MPEG video stream reports
// 0.009 s for 20 s). Negative when the packets tell nothing either.
double StreamLength(const QString& ffprobe, const QString& sourcePath, double fileStart, bool video,
                    const std::function<bool()>& stop) {
    const ProbeRun run =
        RunFfprobe(ffprobe,
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                    video ? QStringLiteral("v:0") : QStringLiteral("a:0"), QStringLiteral("-show_entries"),
                    QStringLiteral("packet=pts_time,dts_time,duration_time"), QStringLiteral("-of"),
                    QStringLiteral("csv=p=0"), sourcePath},
                   stop);
    if (!run.problem.isEmpty())
        return -1;
    double end = -1;
    double first = std::numeric_limits<double>::infinity();
    for (const QByteArray& line : run.out.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(',');
        if (fields.size() < 2)
            continue;
        bool ok = false;
        double time = fields[0].toDouble(&ok);
        if (!ok)
            time = fields[1].toDouble(&ok);
        if (!ok || !std::isfinite(time))
            continue;
        const double duration = fields.size() > 2 ? fields[2].toDouble() : 0;
        first = std::min(first, time);
        end = std::max(end, time + (std::isfinite(duration) && duration > 0 ? duration : 0));
    }
    if (end < 0)
        return -1;
    return end - (std::isfinite(fileStart) ? fileStart : first);
}

} // namespace

DurationProbe ProbeSourceDuration(const QString& sourcePath, const std::function<bool()>& stop) {
    DurationProbe result;
    const QString ffprobe = FindFfprobe();
    if (ffprobe.isEmpty()) {
        result.problem = QStringLiteral("ffprobe was not found (set TESSEL_FFPROBE or install ffmpeg)");
        return result;
    }

    // Warnings too: "Estimating duration from bitrate" says that the container's length is a guess.
    const ProbeRun run =
        RunFfprobe(ffprobe,
                   {QStringLiteral("-v"), QStringLiteral("warning"), QStringLiteral("-select_streams"),
                    QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                    QStringLiteral("format=duration,start_time:stream=avg_frame_rate"), QStringLiteral("-of"),
                    QStringLiteral("default=noprint_wrappers=1"), sourcePath},
                   stop);
    if (!run.problem.isEmpty()) {
        result.problem = run.problem;
        return result;
    }
    const QMap<QString, QString> values = KeyValues(run.out);
    bool ok = false;
    double seconds = values.value(QStringLiteral("duration")).toDouble(&ok);
    const bool guessed = run.lastError.contains(QLatin1String("Estimating duration from bitrate"));
    if (!run.failed && (guessed || !ok || !std::isfinite(seconds))) {
        bool startOk = false;
        const double fileStart = values.value(QStringLiteral("start_time")).toDouble(&startOk);
        const bool video = values.contains(QStringLiteral("avg_frame_rate"));
        const double length = StreamLength(ffprobe, sourcePath, startOk ? fileStart : NAN, video, stop);
        if (length >= 0) {
            seconds = length;
            ok = true;
        }
    }
    if (run.failed || !ok || !std::isfinite(seconds) || seconds < 0) {
        QString reason = run.lastError.mid(run.lastError.lastIndexOf(QLatin1Char('\n')) + 1);
        // ffprobe names the demuxer it would not use: "[hls @ 0x...] Format not on whitelist".
        static const QRegularExpression notListed(
            QStringLiteral(R"(\[(\S+) @ [^\]]*\] Format not on whitelist)"));
        if (const QRegularExpressionMatch match = notListed.match(run.lastError); match.hasMatch())
            reason = QString::fromStdString(Contract::SourceDemuxerRefusal(match.captured(1).toStdString()));
        if (reason.isEmpty())
            reason = QStringLiteral("no duration");
        result.problem = QStringLiteral("ffprobe cannot read the source's duration: ") + reason;
        return result;
    }
    result.durationMs = std::llround(seconds * 1000);
    result.frameRate = FrameRate(values.value(QStringLiteral("avg_frame_rate")));
    return result;
}

std::optional<DurationProbe> DurationFromFrontEnd(const std::optional<QByteArray>& answer) {
    if (!answer)
        return std::nullopt;
    const QStringList fields = QString::fromLatin1(*answer).split(QLatin1Char(' '));
    bool ok = false;
    const double seconds = fields.value(0).toDouble(&ok);
    if (fields.size() != 2 || !ok || !std::isfinite(seconds) || seconds < 0)
        return std::nullopt;
    DurationProbe result;
    result.durationMs = std::llround(seconds * 1000);
    result.frameRate = FrameRate(fields.at(1));
    return result;
}
