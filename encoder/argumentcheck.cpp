#include "argumentcheck.h"

#include "contract/mediaformats.h"
#include "contract/optionrules.h"

#include <optional>

namespace EncoderFrontEnd {

namespace {

std::string OptionsProblem(const std::vector<std::string>& options) {
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        std::optional<std::string> value;
        if (Contract::OptionTakesValue(option) && i + 1 < options.size())
            value = options[++i];
        if (const std::string refusal = Contract::OptionRefusal(option, value); !refusal.empty())
            return refusal;
    }
    return std::string();
}

} // namespace

CheckedClip CheckClipArguments(const std::vector<std::string>& arguments) {
    CheckedClip checked;
    Contract::ClipParse parse = Contract::ParseClipArguments(arguments);
    if (!parse.request) {
        checked.problem = "refused: " + parse.problem;
        return checked;
    }
    Contract::ClipRequest& request = *parse.request;
    if (request.source[0] != '/' || request.output[0] != '/') {
        checked.problem = "refused: the source and the clip must be named by their absolute paths";
        return checked;
    }
    if (request.muxer.empty())
        request.muxer = Contract::MuxerOfPath(request.output);
    if (!Contract::OutputFormatOfMuxer(request.muxer)) {
        checked.problem = "refused: the clip's container is not one this program writes";
        return checked;
    }
    if (const std::string refusal = OptionsProblem(request.options); !refusal.empty()) {
        checked.problem = "refused: " + refusal;
        return checked;
    }
    checked.arguments = Contract::ClipArguments(request);
    checked.request = std::move(request);
    return checked;
}

} // namespace EncoderFrontEnd
