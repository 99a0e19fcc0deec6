#pragma once

#include "encoderarguments.h"

#include <optional>
#include <string>

// Where ffmpeg must seek and trim so that a re-encoded clip holds exactly the frames of its section,
// found by reading the source's packets the way ffmpeg will read them.
namespace EncoderFrontEnd {

struct ClipCut {
    std::string source;
    double start = 0; // seconds from the start of the file
    double length = 0;
    bool video = true; // false when the clip drops the video
    bool audio = true; // false when the clip drops the sound
};

// The first frame is the one a player shows at the start and the clip ends before the frame shown at
// start + length; the sound is cut at the same times. The input seek lands before the keyframe that
// decoding needs; where the source cannot seek there is none. Empty when the source cannot be read.
std::optional<ExactCut> PlanCut(const ClipCut& cut, std::string* problem = nullptr);

// The ffmpeg arguments for the runner's: an exact cut for a re-encoded clip, today's input seeking for
// a stream copy or arguments of another form.
std::vector<std::string> FfmpegArguments(const std::vector<std::string>& arguments);

} // namespace EncoderFrontEnd
