#pragma once

#include <QtGlobal>

// The clips of one run: the marked range from Start to Start + Length as one clip, cut into Count equal
// sections, or cut into clips of a chosen length of which the last holds the rest.
class ClipPlan {
public:
    ClipPlan() = default;
    ClipPlan(double start, double length, int count, bool oneClip);
    // Clips of clipLength from the start. The rest makes a short last clip, unless it is shorter than one
    // frame (frameSeconds; 0 when unknown): the last full clip then takes it. clipLength must be above 0.
    static ClipPlan Every(double start, double length, double clipLength, double frameSeconds);
    // How many clips of clipLength the range gives, as Every counts them; may exceed any int.
    static double EveryCount(double length, double clipLength, double frameSeconds);
    // Clips of at most maxBytes each: where each one ends is learnt only as it is written, so the plan
    // holds the range and the size, and Count() is 0.
    static ClipPlan BySize(double start, double length, qint64 maxBytes);

    double Start() const { return start; }
    double Length() const { return length; }
    int Count() const { return count; }
    bool OneClip() const { return oneClip; }
    // Above zero for clips of a chosen size.
    qint64 MaxBytes() const { return maxBytes; }

    // The length of clip i (from 1): the whole range, the range divided by the number of sections, or the
    // chosen length, with the rest of the range for the last clip.
    double ClipLength(int i) const;
    // The start of clip i (from 1).
    double ClipStart(int i) const;

private:
    double start = 0;
    double length = 0;
    int count = 1;
    bool oneClip = true;
    // Above zero: clips of this length rather than equal sections.
    double every = 0;
    qint64 maxBytes = 0;
};
