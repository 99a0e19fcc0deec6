#include "split/clipplan.h"

#include <algorithm>
#include <cmath>

namespace {

// Without a known frame length, a rest this small is the rounding of the times, not a clip.
constexpr double NoFrameRest = 1e-6;

} // namespace

ClipPlan::ClipPlan(double start, double length, int count, bool oneClip)
    : start(start), length(length), count(oneClip ? 1 : count), oneClip(oneClip) {}

double ClipPlan::EveryCount(double length, double clipLength, double frameSeconds) {
    const double shortestRest = std::max(frameSeconds, NoFrameRest);
    // The whole clips, then one more for a rest of at least one frame; a rest of exactly one frame counts.
    return std::floor(std::max(0.0, length - shortestRest) / clipLength + 1e-9) + 1;
}

ClipPlan ClipPlan::Every(double start, double length, double clipLength, double frameSeconds) {
    ClipPlan plan(start, length, static_cast<int>(EveryCount(length, clipLength, frameSeconds)), false);
    plan.every = clipLength;
    return plan;
}

ClipPlan ClipPlan::BySize(double start, double length, qint64 maxBytes) {
    ClipPlan plan(start, length, 0, false);
    plan.maxBytes = maxBytes;
    return plan;
}

double ClipPlan::ClipLength(int i) const {
    // A clip of a split by size may run to the range's end; where it stops is learnt as it is written.
    if (oneClip || maxBytes > 0)
        return length;
    // The last clip runs to the range's end, also over a rest too short to be a clip of its own.
    if (every > 0)
        return i < count ? every : length - (i - 1) * every;
    return length / count;
}

double ClipPlan::ClipStart(int i) const {
    if (oneClip || maxBytes > 0)
        return start;
    return (i - 1) * (every > 0 ? every : length / count) + start;
}
