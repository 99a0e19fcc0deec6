#include "split/encoderfailure.h"

#include "app/timetext.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

bool IsProgressLine(const QString& line) {
    return line.startsWith(QLatin1String("frame=")) || line.startsWith(QLatin1String("size=")) ||
           line.startsWith(QLatin1String("time=")) || line.contains(QLatin1String(" time="));
}

QStringList OutputLines(const QByteArray& output) {
    return QString::fromLocal8Bit(output).split(QRegularExpression(QStringLiteral("[\r\n]")),
                                                Qt::SkipEmptyParts);
}

} // namespace

bool ReportsNothingEncoded(const QByteArray& output) {
    const QStringList lines = OutputLines(output);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString text = line->trimmed();
        if (!IsProgressLine(text))
            continue;
        // A single video frame may report no time at all, and audio-only output reports no frame count.
        static const QRegularExpression frames(QStringLiteral("(?:^|\\s)frame=\\s*(\\d+)"));
        static const QRegularExpression time(QStringLiteral("(?:^|\\s)time=\\s*(\\S+)"));
        const QRegularExpressionMatch frameMatch = frames.match(text);
        if (frameMatch.hasMatch() && frameMatch.captured(1).toLongLong() > 0)
            return false;
        const QRegularExpressionMatch timeMatch = time.match(text);
        return !timeMatch.hasMatch() || !(EncoderTimeToSeconds(timeMatch.captured(1)) > 0);
    }
    return false;
}

QString LastErrorLine(const QByteArray& output) {
    const QStringList lines = OutputLines(output);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QString text = line->trimmed();
        if (!text.isEmpty() && !IsProgressLine(text))
            return text;
    }
    return QString();
}

QString FailureReport(const QList<FailedClip>& clips) {
    QString text = QStringLiteral("The encoder failed to write these clips:");
    for (const FailedClip& clip : clips) {
        text += QLatin1Char('\n') + clip.fileName;
        if (!clip.lastErrorLine.isEmpty())
            text += QStringLiteral(": ") + clip.lastErrorLine;
    }
    return text;
}

QString ClipFailure(const ClipExit& exit, const QString& outputPath, const QByteArray& outputTail) {
    // What the encoder said on exit decides first; our own stop after the exit changes nothing.
    if (exit.crashed || exit.exitCode != 0) {
        const QString reason = LastErrorLine(outputTail);
        if (!reason.isEmpty())
            return reason;
        return exit.crashed ? QStringLiteral("the encoder stopped unexpectedly")
                            : QStringLiteral("the encoder ended with exit code %1").arg(exit.exitCode);
    }
    // ffmpeg ends well even when the folder was removed under it and the clip went with it.
    if (!QFileInfo::exists(outputPath))
        return QStringLiteral("the encoder ended, but the clip file is missing");
    // A range past the source's end gives a clip of headers only, and ffmpeg still ends well.
    if (QFileInfo(outputPath).size() == 0 || ReportsNothingEncoded(outputTail))
        return QStringLiteral("the encoder wrote no frames");
    return QString();
}
