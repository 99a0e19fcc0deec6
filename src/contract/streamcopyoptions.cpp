#include "contract/streamcopyoptions.h"

#include <set>

namespace Contract {

namespace {

bool IsCopyCodecOption(const std::string& option) {
    static const std::set<std::string> options{"-c", "-codec", "-c:v", "-c:a", "-c:s", "-vcodec", "-acodec"};
    return options.count(option) > 0;
}

} // namespace

std::optional<StreamCopyOptions> ReadStreamCopyOptions(const std::vector<std::string>& options) {
    StreamCopyOptions copy;
    bool copyAll = false;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        if (option == "-vn") {
            copy.video = false;
        } else if (option == "-an") {
            copy.audio = false;
        } else if (option == "-sn") {
            copy.subtitles = false;
        } else if (option == "-ignore_unknown") {
            // Streams of unknown kinds are never copied.
        } else if (i + 1 >= options.size()) {
            return std::nullopt;
        } else {
            const std::string& value = options[++i];
            if (IsCopyCodecOption(option) && value == "copy")
                copyAll = copyAll || option == "-c" || option == "-codec";
            else if (option == "-cut_points" && (value == "exact" || value == "keyframes"))
                copy.cutPoints = value == "exact" ? CutPoints::Exact : CutPoints::Keyframes;
            else if (option != "-map" || value != "0")
                return std::nullopt;
        }
    }
    if (!copyAll)
        return std::nullopt;
    return copy;
}

} // namespace Contract
