#pragma once

#include "contract/cliprequest.h"

#include <string>
#include <vector>

// The front-end's own check of a clip's arguments, the second line of defence behind the profile reader:
// exactly one input and one output, both absolute paths, a muxer from our list, and between them only
// options that a profile may pass. It checks on its own, whoever started the front-end.
namespace EncoderFrontEnd {

struct CheckedClip {
    // The arguments to work from, with the muxer named (from the clip's extension where none was given).
    std::vector<std::string> arguments;
    Contract::ClipRequest request;
    // Why the arguments are refused, for one line on standard error; empty when they are not.
    std::string problem;
};

CheckedClip CheckClipArguments(const std::vector<std::string>& arguments);

} // namespace EncoderFrontEnd
