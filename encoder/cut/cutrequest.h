#pragma once

#include "contract/streamcopyoptions.h"

#include <optional>
#include <string>
#include <vector>

namespace Cut {

using CutPoints = Contract::CutPoints;

// One clip of a stream copy: the runner's "-y -i SOURCE -ss START -t LENGTH" with the copy profile's
// options and the output path.
struct CutRequest {
    std::string source;
    std::string output;
    // The clip's muxer, as the runner chose it from the list we write.
    std::string muxer;
    double start = 0;
    double length = 0;
    bool overwrite = false;
    bool video = true;
    bool audio = true;
    bool subtitles = true;
    CutPoints cutPoints = CutPoints::Exact;
};

// The request when the arguments copy every stream and use only options the cutter knows; nothing when
// they ask for anything else, which then goes to ffmpeg as it is.
std::optional<CutRequest> ParseCutRequest(const std::vector<std::string>& arguments);

} // namespace Cut
