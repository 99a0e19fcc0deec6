#pragma once

#include "encoderarguments.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct AVFormatContext;

// Where ffmpeg must seek and trim so that a re-encoded clip holds exactly the frames of its section,
// found by reading the source's packets the way ffmpeg will read them.
namespace EncoderFrontEnd {

// The ffmpeg arguments for the runner's: an exact cut for a re-encoded clip, today's input seeking for
// a stream copy or arguments of another form. The cutter's own "-cut_points" is left out.
std::vector<std::string> FfmpegArguments(const std::vector<std::string>& arguments);

// The exact cut of a re-encoded clip: where ffmpeg seeks and trims. Empty when the source cannot be read.
std::optional<ExactCut> PlanExactCut(const ClipRequest& request);

// The exact cuts of clips of the first one's source, planned one after another on one opening of it, which
// is first shown to `opened`. A cut is empty where the source cannot be read or is another.
std::vector<std::optional<ExactCut>>
PlanExactCuts(const std::vector<ClipRequest>& requests,
              const std::function<void(const AVFormatContext&)>& opened = nullptr);

} // namespace EncoderFrontEnd
