#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Test sources whose pictures carry their own frame number, and the decoding that reads the numbers back,
// so that a test knows exactly which frames a clip holds, whatever the container did to its timestamps.
namespace FramedMedia {

struct SourceSpec {
    double seconds = 20;
    int fps = 25;
    double gopSeconds = 2;
    // Where the file's timestamps begin (-output_ts_offset), as camcorders and TV recordings do.
    double timestampOffset = 0;
    // Empty: the usual codec of the container (H.264 for MP4, VP9 for WebM, MPEG-2 for .mpg, ...).
    QString videoCodec;
    bool audio = true;
    // More output options, for example B-frames or an open GOP.
    QStringList extraOptions;
    QString size = QStringLiteral("160x120");
};

// Makes the source; the container follows the path's extension. Returns false with the reason in error.
bool Make(const QString& path, const SourceSpec& spec, QString* error = nullptr);

struct Frame {
    double seconds = 0; // from the start of the file, as a player counts
    int number = -1;
};

struct StreamSpan {
    double start = 0; // from the start of the file
    double end = 0;
    double Length() const { return end - start; }
};

struct Decoded {
    QList<Frame> frames; // in display order
    StreamSpan video;
    StreamSpan audio;
    bool hasAudio = false;
    QStringList errors; // what the demuxer and the decoder reported as errors
    bool ok = false;    // ffmpeg ran and found a video stream

    int FirstNumber() const { return frames.isEmpty() ? -1 : frames.first().number; }
    QList<int> Numbers() const;
};

// Decodes every frame of the first video stream and reads its number; also measures both streams.
Decoded Decode(const QString& path);

// The number of the frame that a player shows at a time counted from the start of the file.
int FrameShownAt(const Decoded& source, double seconds);

// The frames of a clip from one time to another: from the frame shown at the first (the first frame when
// none is shown yet) up to the one shown at the second, without it.
QList<int> FramesShownBetween(const Decoded& source, double from, double to);

} // namespace FramedMedia
