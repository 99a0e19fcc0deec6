#pragma once

// The clips of one run: the marked range from Start to Start + Length as one clip, or cut into Count
// equal sections.
class ClipPlan {
public:
    ClipPlan() = default;
    ClipPlan(double start, double length, int count, bool oneClip);

    double Start() const { return start; }
    double Length() const { return length; }
    int Count() const { return count; }
    bool OneClip() const { return oneClip; }

    // The length of every clip: the whole range, or the range divided by the number of sections.
    double ClipLength() const;
    // The start of clip i (from 1).
    double ClipStart(int i) const;

private:
    double start = 0;
    double length = 0;
    int count = 1;
    bool oneClip = true;
};
