#include "split/encoderfailure.h"

#include <QRegularExpression>

namespace {

bool IsProgressLine(const QString& line) {
    return line.startsWith(QLatin1String("frame=")) || line.startsWith(QLatin1String("size=")) ||
           line.startsWith(QLatin1String("time=")) || line.contains(QLatin1String(" time="));
}

} // namespace

QString LastErrorLine(const QByteArray& output) {
    const QStringList lines = QString::fromLocal8Bit(output).split(
        QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
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
