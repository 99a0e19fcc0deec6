#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// The duration of a source as the preview would report it, in whole milliseconds; 0 with the reason
// when it cannot be told. The frame rate is that of its first video stream, 0 when it has none or none
// is told (a still picture, such as the cover of a song).
struct DurationProbe {
    qint64 durationMs = 0;
    double frameRate = 0;
    QString problem;
};

// ffprobe, found the way the encoder front-end finds ffmpeg; empty when there is none.
QString FindFfprobe();

// Asks ffprobe for the source's duration and frame rate. stop is polled while ffprobe runs; when it says so,
// ffprobe is ended and the probe gives up.
DurationProbe ProbeSourceDuration(const QString& sourcePath, const std::function<bool()>& stop = {});

// The duration and frame rate in the encoder front-end's answer (its source-length record's value, which
// holds ffprobe's figures); nothing when it gave none, and ffprobe must be asked.
std::optional<DurationProbe> DurationFromFrontEnd(const std::optional<QByteArray>& answer);
