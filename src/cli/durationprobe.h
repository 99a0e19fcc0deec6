#pragma once

#include <QString>
#include <functional>

// The duration of a source as the preview would report it, in whole milliseconds; 0 with the reason
// when it cannot be told.
struct DurationProbe {
    qint64 durationMs = 0;
    QString problem;
};

// ffprobe, found the way the encoder front-end finds ffmpeg; empty when there is none.
QString FindFfprobe();

// Asks ffprobe for the source's duration. stop is polled while ffprobe runs; when it says so, ffprobe
// is ended and the probe gives up.
DurationProbe ProbeSourceDuration(const QString& sourcePath, const std::function<bool()>& stop = {});
