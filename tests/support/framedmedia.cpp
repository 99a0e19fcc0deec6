#include "framedmedia.h"

#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>

namespace FramedMedia {

namespace {

// Each plane carries one base-25 digit in steps of 8, far coarser than any encoder's error on a flat picture.
constexpr int Digits = 25;
constexpr int Step = 8;
constexpr int Floor = 16;

QString DefaultVideoCodec(const QString& extension) {
    static const QHash<QString, QString> codecs{
        {"webm", "libvpx-vp9"}, {"avi", "mpeg4"},       {"wmv", "wmv2"},       {"asf", "wmv2"},
        {"mpg", "mpeg2video"},  {"mpeg", "mpeg2video"}, {"vob", "mpeg2video"}, {"ogv", "libtheora"}};
    return codecs.value(extension, QStringLiteral("libx264"));
}

QString DefaultAudioCodec(const QString& extension) {
    static const QHash<QString, QString> codecs{{"webm", "libopus"}, {"avi", "libmp3lame"}, {"wmv", "wmav2"},
                                                {"asf", "wmav2"},    {"mpg", "mp2"},        {"mpeg", "mp2"},
                                                {"vob", "mp2"},      {"ogv", "libvorbis"}};
    return codecs.value(extension, QStringLiteral("aac"));
}

QString Number(double value) {
    return QString::number(value, 'f', 3);
}

// Keyframes at a fixed interval only: a flat picture that changes every frame would look like a scene cut.
QStringList GopOptions(const QString& codec, int gopFrames) {
    QStringList options{QStringLiteral("-g"), QString::number(gopFrames)};
    if (codec == QLatin1String("libx264") || codec == QLatin1String("mpeg4") ||
        codec == QLatin1String("mpeg2video"))
        options << QStringLiteral("-sc_threshold") << QStringLiteral("1000000000");
    if (codec == QLatin1String("libx264"))
        options << QStringLiteral("-x264-params") << QStringLiteral("scenecut=0");
    if (codec == QLatin1String("libx265"))
        options << QStringLiteral("-x265-params") << QStringLiteral("scenecut=0:log-level=error");
    if (codec == QLatin1String("libvpx-vp9"))
        options << QStringLiteral("-keyint_min") << QString::number(gopFrames) << QStringLiteral("-deadline")
                << QStringLiteral("realtime") << QStringLiteral("-cpu-used") << QStringLiteral("8");
    return options;
}

QString RunFfmpegTool(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        *exitCode = -1;
        return QString();
    }
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAll());
}

StreamSpan ProbeSpan(const QString& path, const QString& stream, bool* found) {
    int code = 0;
    const QString text = RunFfmpegTool(QStringLiteral("ffprobe"),
                                       {"-v", "error", "-select_streams", stream, "-show_entries",
                                        "packet=pts_time,duration_time", "-of", "csv=p=0", path},
                                       &code);
    StreamSpan span;
    bool any = false;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(QLatin1Char(','));
        bool ok = false;
        const double pts = fields.value(0).toDouble(&ok);
        if (!ok)
            continue;
        const double end = pts + fields.value(1).toDouble();
        span.start = any ? std::min(span.start, pts) : pts;
        span.end = any ? std::max(span.end, end) : end;
        any = true;
    }
    *found = code == 0 && any;
    return span;
}

} // namespace

QList<int> Decoded::Numbers() const {
    QList<int> numbers;
    numbers.reserve(frames.size());
    for (const Frame& frame : frames)
        numbers << frame.number;
    return numbers;
}

bool Make(const QString& path, const SourceSpec& spec, QString* error) {
    const QString extension = QFileInfo(path).suffix().toLower();
    const QString videoCodec = spec.videoCodec.isEmpty() ? DefaultVideoCodec(extension) : spec.videoCodec;
    const QString picture =
        QStringLiteral("color=c=gray:s=%1:r=%2:d=%3,geq=lum='%4+%5*mod(N,%6)':cb='%4+%5*mod(floor(N/%6),%6)'"
                       ":cr='%4+%5*mod(floor(N/%7),%6)'")
            .arg(spec.size)
            .arg(spec.fps)
            .arg(Number(spec.seconds))
            .arg(Floor)
            .arg(Step)
            .arg(Digits)
            .arg(Digits * Digits);
    QStringList arguments{"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i", picture};
    if (spec.audio)
        arguments
            << "-f"
            << "lavfi"
            << "-i"
            << QStringLiteral("sine=frequency=440:sample_rate=48000:duration=%1").arg(Number(spec.seconds));
    arguments << "-c:v" << videoCodec << "-pix_fmt"
              << "yuv420p"
              << GopOptions(videoCodec, std::max(1, int(std::lround(spec.gopSeconds * spec.fps))));
    if (spec.audio)
        arguments << "-c:a" << DefaultAudioCodec(extension);
    if (spec.timestampOffset > 0)
        arguments << "-output_ts_offset" << Number(spec.timestampOffset);
    arguments << spec.extraOptions << path;
    int code = 0;
    const QString output = RunFfmpegTool(QStringLiteral("ffmpeg"), arguments, &code);
    if (code != 0 && error)
        *error = QStringLiteral("ffmpeg could not make %1: %2").arg(path, output);
    return code == 0;
}

Decoded Decode(const QString& path) {
    static const QRegularExpression frameLine(
        QStringLiteral(R"(pts_time:\s*(-?[0-9.eE+-]+).*mean:\[(\d+) (\d+) (\d+)\])"));
    // The stored times, less the file's start: ffmpeg's own timeline starts some files at their video.
    int code = 0;
    const double fileStart =
        RunFfmpegTool(QStringLiteral("ffprobe"),
                      {"-v", "error", "-show_entries", "format=start_time", "-of", "csv=p=0", path}, &code)
            .trimmed()
            .toDouble();
    const QString output = RunFfmpegTool(
        QStringLiteral("ffmpeg"),
        {"-hide_banner", "-nostats", "-loglevel", "repeat+level+info", "-copyts", "-i", path, "-map", "0:v:0",
         "-vf", "format=yuv444p,showinfo", "-fps_mode", "passthrough", "-f", "null", "-"},
        &code);
    Decoded decoded;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        // The null muxer's complaints about the timing of the last frames are not the decoder's.
        const bool problem =
            line.contains(QLatin1String("[error]")) || line.contains(QLatin1String("[fatal]"));
        if (problem && !line.contains(QLatin1String("[null @"))) {
            decoded.errors << line.trimmed();
            continue;
        }
        const QRegularExpressionMatch match = frameLine.match(line);
        if (!match.hasMatch())
            continue;
        const auto digit = [&](int group) {
            return std::clamp(int(std::lround((match.captured(group).toDouble() - Floor) / Step)), 0,
                              Digits - 1);
        };
        decoded.frames << Frame{match.captured(1).toDouble() - fileStart,
                                digit(2) + Digits * digit(3) + Digits * Digits * digit(4)};
    }
    // The video lasts from its first frame to the end of its last, which lasts as long as the one before.
    if (!decoded.frames.isEmpty()) {
        const int last = int(decoded.frames.size()) - 1;
        const double step = last > 0 ? decoded.frames[last].seconds - decoded.frames[last - 1].seconds : 0;
        decoded.video = {decoded.frames.first().seconds, decoded.frames[last].seconds + step};
    }
    decoded.audio = ProbeSpan(path, QStringLiteral("a:0"), &decoded.hasAudio);
    decoded.audio.start -= fileStart;
    decoded.audio.end -= fileStart;
    decoded.ok = code == 0 && !decoded.frames.isEmpty();
    return decoded;
}

int FrameShownAt(const Decoded& source, double seconds) {
    // A frame is shown from its own time until the next one's; a hair of tolerance for rounded times.
    int shown = -1;
    for (const Frame& frame : source.frames)
        if (frame.seconds <= seconds + 1e-4)
            shown = frame.number;
    return shown;
}

} // namespace FramedMedia
