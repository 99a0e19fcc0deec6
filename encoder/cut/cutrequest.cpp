#include "cutrequest.h"

#include "contract/cliprequest.h"

#include <set>

namespace Cut {

namespace {

bool IsCopyCodecOption(const std::string& option) {
    static const std::set<std::string> options{"-c", "-codec", "-c:v", "-c:a", "-c:s", "-vcodec", "-acodec"};
    return options.count(option) > 0;
}

} // namespace

std::optional<CutRequest> ParseCutRequest(const std::vector<std::string>& arguments) {
    const Contract::ClipParse parse = Contract::ParseClipArguments(arguments);
    if (!parse.request)
        return std::nullopt;
    const Contract::ClipRequest& clip = *parse.request;
    CutRequest request;
    request.source = clip.source;
    request.output = clip.output;
    request.start = clip.start;
    request.length = clip.length;
    request.overwrite = clip.overwrite;
    bool copyAll = false;
    const std::vector<std::string>& options = clip.options;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        const std::string value = i + 1 < options.size() ? options[i + 1] : std::string();
        if (option == "-vn") {
            request.video = false;
        } else if (option == "-an") {
            request.audio = false;
        } else if (option == "-sn") {
            request.subtitles = false;
        } else if (option == "-ignore_unknown") {
            // Streams of unknown kinds are never copied.
        } else if (option == "-map" && value == "0") {
            ++i;
        } else if (IsCopyCodecOption(option) && value == "copy") {
            copyAll = copyAll || option == "-c" || option == "-codec";
            ++i;
        } else if (option == "-cut_points" && (value == "exact" || value == "keyframes")) {
            request.cutPoints = value == "exact" ? CutPoints::Exact : CutPoints::Keyframes;
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (!copyAll || request.output[0] == '-')
        return std::nullopt;
    return request;
}

} // namespace Cut
