#include "decodedvideo.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>

namespace {

constexpr int ThumbnailWidth = 32;
constexpr int ThumbnailHeight = 18;

QString Run(const QStringList& arguments, bool* ok) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral("ffmpeg"), arguments);
    const bool finished = process.waitForFinished(300000);
    if (!finished)
        process.kill();
    *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAll());
}

} // namespace

DecodedVideo DecodedVideo::Of(const QString& path, const QString& thumbnails) {
    static const QRegularExpression durationLine(
        QStringLiteral(R"(Duration: (?:(\d+):(\d+):([\d.]+)|N/A), start: (-?[\d.]+))"));
    static const QRegularExpression timeBaseLine(
        QStringLiteral(R"(showinfo.*config in time_base: (\d+)/(\d+))"));
    static const QRegularExpression frameLine(
        QStringLiteral(R"(showinfo.* pts:\s*(-?\d+) .* iskey:(\d) .* plane_checksum:\[([0-9A-F ]+)\])"));
    const QString graph =
        QStringLiteral("[0:v:0]showinfo,split[v][t];[t]scale=%1:%2:flags=area,format=gray[s]")
            .arg(ThumbnailWidth)
            .arg(ThumbnailHeight);
    bool ran = false;
    const QString output = Run({"-hide_banner",
                                "-nostdin",
                                "-nostats",
                                "-loglevel",
                                "repeat+level+info",
                                "-copyts",
                                "-i",
                                path,
                                "-filter_complex",
                                graph,
                                "-map",
                                "[s]",
                                "-fps_mode",
                                "passthrough",
                                "-f",
                                "rawvideo",
                                "-y",
                                thumbnails,
                                "-map",
                                "[v]",
                                "-map",
                                "0:a?",
                                "-fps_mode",
                                "passthrough",
                                "-f",
                                "null",
                                "-"},
                               &ran);
    DecodedVideo decoded;
    double start = 0;
    double tick = 0;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("[error]")) || line.contains(QLatin1String("[fatal]"))) {
            // The muxers' complaints about the timing they are given are not decoding errors.
            if (!line.contains(QLatin1String("[null @")) && !line.contains(QLatin1String("[rawvideo @")))
                decoded.errors << line.trimmed();
            continue;
        }
        if (const auto match = durationLine.match(line); match.hasMatch() && tick == 0) {
            start = match.captured(4).toDouble();
            if (!match.captured(1).isEmpty())
                decoded.duration = match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60 +
                                   match.captured(3).toDouble();
        } else if (const auto base = timeBaseLine.match(line); base.hasMatch() && tick == 0) {
            tick = base.captured(1).toDouble() / std::max(1.0, base.captured(2).toDouble());
        } else if (const auto frame = frameLine.match(line); frame.hasMatch()) {
            decoded.frames << Frame{frame.captured(1).toLongLong() * tick - start,
                                    frame.captured(2) == QLatin1String("1"),
                                    frame.captured(3),
                                    {}};
        }
    }
    QFile file(thumbnails);
    const QByteArray pictures = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    constexpr qsizetype size = ThumbnailWidth * ThumbnailHeight;
    decoded.ok =
        ran && tick > 0 && !decoded.frames.isEmpty() && pictures.size() == size * decoded.frames.size();
    if (decoded.ok)
        for (qsizetype i = 0; i < decoded.frames.size(); ++i)
            decoded.frames[i].thumbnail = pictures.mid(i * size, size);
    if (!ran)
        decoded.errors << output.section(QLatin1Char('\n'), -3);
    return decoded;
}

qsizetype DecodedVideo::IndexShownAt(double seconds) const {
    qsizetype shown = -1;
    for (qsizetype i = 0; i < frames.size(); ++i)
        if (frames[i].seconds <= seconds + 1e-4)
            shown = i;
    return shown;
}

double DecodedVideo::VideoEnd() const {
    if (frames.isEmpty())
        return 0;
    const qsizetype last = frames.size() - 1;
    return frames[last].seconds + (last > 0 ? frames[last].seconds - frames[last - 1].seconds : 0);
}

double DecodedVideo::Difference(const Frame& one, const Frame& other) {
    if (one.thumbnail.size() != other.thumbnail.size() || one.thumbnail.isEmpty())
        return 255;
    long total = 0;
    for (qsizetype i = 0; i < one.thumbnail.size(); ++i)
        total += std::abs(int(quint8(one.thumbnail[i])) - int(quint8(other.thumbnail[i])));
    return double(total) / double(one.thumbnail.size());
}
