#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A video file decoded by ffmpeg as a player decodes it: every frame of its first video stream with its
// time, whether it is a keyframe, a checksum of its planes and a small grey thumbnail, the sound decoded
// beside it, and every error that the demuxer and the decoders reported.
struct DecodedVideo {
    struct Frame {
        double seconds = 0; // from the start of the file
        bool key = false;
        QString checksum;
        QByteArray thumbnail;
    };

    QList<Frame> frames; // in display order
    QStringList errors;
    double duration = -1; // of the file as its container says, -1 when it does not
    bool ok = false;      // ffmpeg ran and found video

    // thumbnails is a scratch file for the thumbnails.
    static DecodedVideo Of(const QString& path, const QString& thumbnails);

    // The frame shown at a time (the last one that begins by then), -1 before the first.
    qsizetype IndexShownAt(double seconds) const;
    // When the last frame ends: it lasts as long as the one before it.
    double VideoEnd() const;
    // How far apart two frames' pictures are: the mean difference of their thumbnails, 0 to 255.
    static double Difference(const Frame& one, const Frame& other);
};
