#pragma once

#include "split/clipplan.h"

#include <QByteArray>
#include <QString>

// The time that one chunk of encoder output reports: the text after the first "time" and the one
// character that follows it, up to the next blank, read as seconds or as hours:minutes:seconds with a
// decimal point. -1 when the chunk holds no such number.
double ChunkEncoderTime(const QByteArray& chunk);

// A percentage as a progress bar holds it: rounded to whole with halves to even, clamped to 0..100.
int BarPosition(double percent);

// The estimated seconds still to go when the run has taken elapsedSeconds for totalPercent of its work;
// 0 while nothing is done yet.
long long RemainingSeconds(int elapsedSeconds, int totalPercent);

// The remaining time as the progress panel shows it: empty until it can be estimated (nothing done yet,
// or not a second gone), "00:00:00" once everything is done.
QString RemainingTimeText(int elapsedSeconds, int totalPercent);

// The two progress bars of a run, fed with the encoder's output chunk by chunk. The current bar follows
// the best time seen for the clip and never goes back; the total counts every earlier clip as complete.
class ClipProgress {
public:
    explicit ClipProgress(const ClipPlan& plan);

    // Clip i (from 1) is the one the next chunks belong to.
    void SetClip(int i);
    // For a split by size, whose clips are not known ahead: clip i starts at from (seconds of the source)
    // and is taken to run to the range's end until SetClipEnd tells where it stops. The total bar then
    // counts the time covered.
    void SetSizeClip(int i, double from);
    void SetClipEnd(double to);
    // After a clip: the current bar and the best time go back to 0; the total keeps its value.
    void EndClip();
    void Feed(const QByteArray& chunk);

    int Current() const { return current; }
    int Total() const { return total; }
    double BestTime() const { return bestTime; }

private:
    ClipPlan plan;
    double clipLength;
    int count;
    int clip = 1;
    double clipFrom = 0;
    double bestTime = 0;
    int current = 0;
    int total = 0;
};
