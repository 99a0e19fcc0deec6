#include "headplan.h"

#include "cuterror.h"
#include "streamtime.h"

#include <algorithm>
#include <limits>

namespace Cut {

namespace {

constexpr std::int64_t Open = StreamTime::OpenTicks;
constexpr std::int64_t None = std::numeric_limits<std::int64_t>::min();
// Distances that differ by less than a microsecond count as equal.
constexpr double Tie = 1e-6;

// Keyframe cut points: the nearer of the keyframes around the start, the earlier one on a tie, as the
// clip before chooses for its end.
HeadPlan NearestKey(const std::vector<PacketTimes>& video, const HeadRequest& request, std::size_t before,
                    std::size_t after) {
    HeadPlan plan;
    plan.kind = HeadPlan::Kind::Copy;
    plan.copyFrom = before;
    const double early = request.start - request.seconds(video[before].pts);
    if (after < video.size()) {
        if (request.seconds(video[after].pts) - request.start < early - Tie)
            plan.copyFrom = after;
    } else if (request.reachedEnd && request.duration > 0 &&
               request.duration - request.start <= early + Tie) {
        throw CutError{
            "the clip holds no video frames: its start and its end move to the same keyframe (exact "
            "cut points can cut it)"};
    }
    plan.decodeFrom = plan.decodeTo = plan.copyFrom;
    plan.clipStart = video[plan.copyFrom].pts;
    plan.moved = std::abs(request.seconds(plan.clipStart) - request.start) >= 1e-4;
    return plan;
}

} // namespace

HeadPlan PlanHead(const std::vector<PacketTimes>& video, const HeadRequest& request) {
    // Video before the first keyframe cannot be decoded.
    std::size_t first = 0;
    while (first < video.size() && !video[first].key)
        ++first;
    if (first == video.size())
        return HeadPlan{};

    std::int64_t shown = None;
    std::int64_t lastAtEnd = None;
    std::int64_t last = None;
    bool passedEnd = false;
    for (std::size_t v = first; v < video.size(); ++v) {
        const std::int64_t pts = video[v].pts;
        if (pts <= request.startLimit)
            shown = std::max(shown, pts);
        if (request.endLimit != Open && pts <= request.endLimit)
            lastAtEnd = std::max(lastAtEnd, pts);
        last = std::max(last, pts);
        passedEnd = passedEnd || (request.endLimit != Open && video[v].dts > request.endLimit);
    }
    // The last frame is shown only while it lasts: a start after the video's end has no frame.
    if (request.reachedEnd && shown != None && shown == last &&
        request.start >= request.seconds(last + request.frameTicks) - 1e-4)
        throw CutError{"the clip starts after the end of the video: it holds no frames"};

    HeadPlan plan;
    if (shown == None && request.exact) {
        // The start lies before the first frame: the clip keeps the time until it.
        plan.kind = HeadPlan::Kind::Copy;
        plan.clipStart = request.startTicks;
        plan.decodeFrom = plan.decodeTo = plan.copyFrom = first;
        return plan;
    }
    plan.clipStart = shown != None ? shown : video[first].pts;
    // The keyframes that matter: the last one shown no later than the start, and the first one after it.
    std::size_t nextKey = video.size();
    plan.decodeFrom = first;
    for (std::size_t v = first; v < video.size(); ++v) {
        if (!video[v].key)
            continue;
        if (video[v].pts <= plan.clipStart)
            plan.decodeFrom = v;
        else if (nextKey == video.size())
            nextKey = v;
    }
    if (!request.exact)
        return NearestKey(video, request, plan.decodeFrom, nextKey);
    if (video[plan.decodeFrom].pts == plan.clipStart) {
        plan.kind = HeadPlan::Kind::Copy;
        plan.copyFrom = plan.decodeTo = plan.decodeFrom;
        return plan;
    }
    const bool keyInside =
        nextKey < video.size() && (request.endLimit == Open || video[nextKey].pts <= request.endLimit);
    if (!keyInside) {
        plan.kind = HeadPlan::Kind::EncodeAll;
        plan.encodeTo = passedEnd ? (lastAtEnd != None ? lastAtEnd : plan.clipStart) : Open;
        plan.decodeTo = plan.copyFrom = video.size();
        return plan;
    }
    const PacketTimes& key = video[nextKey];
    plan.kind = HeadPlan::Kind::EncodeThenCopy;
    plan.copyFrom = nextKey;
    plan.encodeTo = key.pts;
    plan.decodeDelay = std::max<std::int64_t>(0, key.pts - key.dts);
    // Frames after the keyframe in the file that are shown before it belong to the head.
    plan.decodeTo = nextKey + 1;
    while (plan.decodeTo < video.size() && video[plan.decodeTo].pts < key.pts)
        ++plan.decodeTo;
    return plan;
}

} // namespace Cut
