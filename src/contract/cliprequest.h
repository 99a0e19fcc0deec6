#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One clip as the runner asks the encoder front-end for it, and the one reading of those arguments:
// "-y -i SOURCE -ss START -t LENGTH [profile options] [-fs BYTES] [-f MUXER] OUTPUT".
namespace Contract {

struct ClipRequest {
    std::string source;
    double start = 0;
    double length = 0;
    // The profile's options, each option and each value one argument, in their order.
    std::vector<std::string> options;
    // The most bytes the clip may take, 0 for no limit: ffmpeg's "-fs", which the front-end keeps exactly
    // for a stream copy. Only the "-fs" right after the options is the limit; one among them is an option.
    std::int64_t maxBytes = 0;
    // The muxer the clip is written with; empty for one that ffmpeg chooses by the output's name.
    std::string muxer;
    std::string output;
    bool overwrite = true;
};

// The arguments that carry the request; times in full, always with a point, whatever the locale.
std::vector<std::string> ClipArguments(const ClipRequest& request);

// The request, or why the arguments do not have that form.
struct ClipParse {
    std::optional<ClipRequest> request;
    std::string problem;
};
ClipParse ParseClipArguments(const std::vector<std::string>& arguments);

// Seconds as ffmpeg reads them: the shortest text that reads back the same, with a point and no exponent.
std::string SecondsText(double seconds);

} // namespace Contract
