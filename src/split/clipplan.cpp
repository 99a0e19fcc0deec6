#include "split/clipplan.h"

ClipPlan::ClipPlan(double start, double length, int count, bool oneClip)
    : start(start), length(length), count(oneClip ? 1 : count), oneClip(oneClip) {}

double ClipPlan::ClipLength() const {
    return oneClip ? length : length / count;
}

double ClipPlan::ClipStart(int i) const {
    return oneClip ? start : (i - 1) * ClipLength() + start;
}
