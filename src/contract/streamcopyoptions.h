#pragma once

#include <optional>
#include <string>
#include <vector>

// Whether a profile's options make a clip a stream copy. The runner asks it to choose the clip's type and
// how the front-end runs; the front-end asks it to cut the clip itself. One rule for both, so that a copy
// of the stream-copy profile saved under another name still copies.
namespace Contract {

enum class CutPoints {
    Exact,     // every clip starts on the frame asked for; the frames up to the next keyframe are re-encoded
    Keyframes, // nothing is re-encoded; every cut moves to the nearest keyframe
};

// What the options of a stream copy ask for.
struct StreamCopyOptions {
    bool video = true;
    bool audio = true;
    bool subtitles = true;
    CutPoints cutPoints = CutPoints::Exact;
};

// The profile's options alone (no input, times or output): what they ask for when they copy every stream
// ("-c copy" or "-codec copy") and use only options the cutter knows; nothing when anything else is asked,
// which is then an encode.
std::optional<StreamCopyOptions> ReadStreamCopyOptions(const std::vector<std::string>& options);

} // namespace Contract
