#include "split/encoderfailure.h"

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
    // The front-end reads a clip back and fails it when it holds nothing; an empty file tells by itself.
    if (QFileInfo(outputPath).size() == 0)
        return QStringLiteral("the encoder wrote no frames");
    return QString();
}
