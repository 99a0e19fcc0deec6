#pragma once

#include "argumentcheck.h"

#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace Together {

// A clip's work is over, with the exit code it would have had on its own.
using ClipReport = std::function<void(std::size_t clip, int code)>;
// The ffmpeg now running (0 when none), so that a stop meant for the encoder reaches it.
using ChildReport = std::function<void(pid_t child)>;

// Encodes the sections with one ffmpeg where they can come from one encode, and reports each clip, in
// their order, as it is complete. Returns the first clip left to be encoded on its own: 0 when the clips
// cannot be encoded together at all, the count of clips when none is left.
std::size_t EncodeTogether(const std::vector<EncoderFrontEnd::CheckedClip>& clips, const std::string& ffmpeg,
                           const ClipReport& report, const ChildReport& running);

} // namespace Together
