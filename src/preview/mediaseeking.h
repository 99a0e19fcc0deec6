#pragma once

#include <QtGlobal>

// The seeking side of the media graph that the position track follows and moves. Times are whole
// milliseconds from the start of the source. A query that cannot be answered returns false.
class MediaSeeking {
public:
    virtual ~MediaSeeking() = default;
    virtual bool GetDuration(qint64& milliseconds) const = 0;
    virtual bool GetCurrentPosition(qint64& milliseconds) const = 0;
    // Where playback stops: the end of the source.
    virtual bool GetStopPosition(qint64& milliseconds) const = 0;
    // Absolute positioning; the stop position stays.
    virtual void SetPositions(qint64 milliseconds) = 0;
};
