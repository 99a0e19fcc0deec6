#include "framedmedia.h"

#include "testmedia.h"

#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

struct Probe {
    double tick = 0;  // the video's time base
    double start = 0; // of the file: the earliest of its streams
    StreamSpan video;
    StreamSpan audio;
    bool hasVideo = false;
    bool hasAudio = false;
};

Probe ProbeFile(const QString& path) {
    int code = 0;
    const QString text = TestMedia::RunMerged(QStringLiteral("ffprobe"),
                                              {"-v", "quiet", "-show_entries",
                                               "stream=index,codec_type,time_base:format=start_time:"
                                               "packet=stream_index,pts_time,duration_time",
                                               "-of", "json", path},
                                              &code);
    const QJsonObject root = QJsonDocument::fromJson(text.toUtf8()).object();
    Probe probe;
    int video = -1;
    int audio = -1;
    for (const QJsonValue& value : root.value(QStringLiteral("streams")).toArray()) {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value(QStringLiteral("codec_type")).toString();
        if (type == QLatin1String("video") && video < 0) {
            video = stream.value(QStringLiteral("index")).toInt();
            const QStringList base =
                stream.value(QStringLiteral("time_base")).toString().split(QLatin1Char('/'));
            if (base.size() == 2 && base[1].toDouble() > 0)
                probe.tick = base[0].toDouble() / base[1].toDouble();
        } else if (type == QLatin1String("audio") && audio < 0) {
            audio = stream.value(QStringLiteral("index")).toInt();
        }
    }
    probe.start = root.value(QStringLiteral("format"))
                      .toObject()
                      .value(QStringLiteral("start_time"))
                      .toString()
                      .toDouble();
    for (const QJsonValue& value : root.value(QStringLiteral("packets")).toArray()) {
        const QJsonObject packet = value.toObject();
        const int index = packet.value(QStringLiteral("stream_index")).toInt();
        bool ok = false;
        const double pts = packet.value(QStringLiteral("pts_time")).toString().toDouble(&ok);
        if (!ok || (index != video && index != audio))
            continue;
        const double end = pts + packet.value(QStringLiteral("duration_time")).toString().toDouble();
        StreamSpan& span = index == video ? probe.video : probe.audio;
        bool& any = index == video ? probe.hasVideo : probe.hasAudio;
        span.start = any ? std::min(span.start, pts) : pts;
        span.end = any ? std::max(span.end, end) : end;
        any = true;
    }
    return probe;
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
    const QString output = TestMedia::RunMerged(QStringLiteral("ffmpeg"), arguments, &code);
    if (code != 0 && error)
        *error = QStringLiteral("ffmpeg could not make %1: %2").arg(path, output);
    return code == 0;
}

Decoded Decode(const QString& path) {
    static const QRegularExpression frameLine(
        QStringLiteral(R"(pts:\s*(-?\d+).*mean:\[(\d+) (\d+) (\d+)\])"));
    // The frames' own timestamps, counted from the start of the file: without -copyts ffmpeg counts a
    // program or transport stream from the first of the streams it decodes.
    const Probe probe = ProbeFile(path);
    int code = 0;
    const QString output = TestMedia::RunMerged(
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
        decoded.frames << Frame{match.captured(1).toLongLong() * probe.tick - probe.start,
                                digit(2) + Digits * digit(3) + Digits * Digits * digit(4)};
    }
    // The video lasts from its first frame to the end of its last, which lasts as long as the one before:
    // program streams leave the durations of their packets out.
    decoded.video = {probe.video.start - probe.start, probe.video.end - probe.start};
    if (!decoded.frames.isEmpty()) {
        const int last = int(decoded.frames.size()) - 1;
        const double step = last > 0 ? decoded.frames[last].seconds - decoded.frames[last - 1].seconds : 0;
        decoded.video = {decoded.frames.first().seconds, decoded.frames[last].seconds + step};
    }
    decoded.audio = {probe.audio.start - probe.start, probe.audio.end - probe.start};
    decoded.hasAudio = probe.hasAudio;
    decoded.ok = code == 0 && probe.hasVideo && probe.tick > 0;
    return decoded;
}

namespace {

// A frame is shown from its own time until the next one's; a hair of tolerance for rounded times.
qsizetype IndexShownAt(const Decoded& source, double seconds) {
    qsizetype shown = -1;
    for (qsizetype i = 0; i < source.frames.size(); ++i)
        if (source.frames[i].seconds <= seconds + 1e-4)
            shown = i;
    return shown;
}

} // namespace

int FrameShownAt(const Decoded& source, double seconds) {
    const qsizetype shown = IndexShownAt(source, seconds);
    return shown < 0 ? -1 : source.frames[shown].number;
}

QList<int> FramesShownBetween(const Decoded& source, double from, double to) {
    const qsizetype first = std::max<qsizetype>(0, IndexShownAt(source, from));
    const qsizetype stop = IndexShownAt(source, to);
    return source.Numbers().mid(first, std::max<qsizetype>(0, stop - first));
}

} // namespace FramedMedia
