#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace Cut {

// The times of one video packet, in the video's ticks.
struct PacketTimes {
    std::int64_t pts = 0;
    std::int64_t dts = 0;
    bool key = false;
};

// What deciding a clip's head needs to know, in the video's ticks (an open end is StreamTime::OpenTicks)
// and in seconds from the start of the file.
struct HeadRequest {
    std::int64_t startTicks = 0; // the start asked for
    std::int64_t startLimit = 0; // the latest frame time that still counts as shown at the start
    std::int64_t endLimit = 0;   // the same for the end
    double start = 0;
    bool exact = true;
    bool reachedEnd = false; // the packets run to the end of the file
    double duration = -1;    // of the file, negative when unknown
    std::int64_t frameTicks = 1;
    std::function<double(std::int64_t ticks)> seconds;
};

// How a clip begins, as indexes into the video packets read from a keyframe before its start.
struct HeadPlan {
    enum class Kind {
        Nothing,        // no keyframe to decode from: the clip gets no video from these packets
        Copy,           // copied from the keyframe at copyFrom
        EncodeThenCopy, // frames from clipStart to encodeTo re-encoded, then copied from copyFrom
        EncodeAll,      // no keyframe inside the clip: all of its frames re-encoded
    };
    Kind kind = Kind::Nothing;
    std::int64_t clipStart = 0;
    std::size_t decodeFrom = 0; // the keyframe that decoding begins with
    std::size_t decodeTo = 0;   // one past the last packet that the re-encoded frames need
    std::size_t copyFrom = 0;
    std::int64_t encodeTo = 0; // open: to the end of the video
    // How far the frames' decoding times run ahead of their own at the copied keyframe.
    std::int64_t decodeDelay = 0;
    // At keyframe cut points: the clip starts at a keyframe away from the start asked for.
    bool moved = false;
};

// Decides the head from the video packets in file order. In exact mode the clip starts with the frame
// shown at the start; at keyframe cut points with the nearer keyframe, the end of the video counting as
// one (the clip before keeps the last GOP up to it). Throws CutError when the clip can hold no frame.
HeadPlan PlanHead(const std::vector<PacketTimes>& video, const HeadRequest& request);

} // namespace Cut
