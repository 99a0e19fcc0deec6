#include "cutrequest.h"

#include "contract/cliprequest.h"
#include "contract/mediaformats.h"
#include "contract/streamcopyoptions.h"

namespace Cut {

std::optional<CutRequest> ParseCutRequest(const std::vector<std::string>& arguments) {
    const Contract::ClipParse parse = Contract::ParseClipArguments(arguments);
    if (!parse.request)
        return std::nullopt;
    const Contract::ClipRequest& clip = *parse.request;
    CutRequest request;
    request.source = clip.source;
    request.output = clip.output;
    request.muxer = clip.muxer.empty() ? Contract::MuxerOfPath(clip.output) : clip.muxer;
    request.start = clip.start;
    request.length = clip.length;
    request.overwrite = clip.overwrite;
    const auto copy = Contract::ReadStreamCopyOptions(clip.options);
    if (!copy || request.output[0] == '-')
        return std::nullopt;
    request.video = copy->video;
    request.audio = copy->audio;
    request.subtitles = copy->subtitles;
    request.cutPoints = copy->cutPoints;
    return request;
}

} // namespace Cut
