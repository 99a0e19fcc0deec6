#include "cutrequest.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>

namespace Cut {

namespace {

std::optional<double> ReadSeconds(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

bool IsCopyCodecOption(const std::string& option) {
    static const std::set<std::string> options{"-c", "-codec", "-c:v", "-c:a", "-c:s", "-vcodec", "-acodec"};
    return options.count(option) > 0;
}

} // namespace

std::optional<CutRequest> ParseCutRequest(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2)
        return std::nullopt;
    CutRequest request;
    request.output = arguments.back();
    bool copyAll = false;
    bool haveInput = false;
    bool haveLength = false;
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        const bool hasValue = i + 2 < arguments.size();
        const std::string value = hasValue ? arguments[i + 1] : std::string();
        if (option == "-y") {
            request.overwrite = true;
        } else if (option == "-vn") {
            request.video = false;
        } else if (option == "-an") {
            request.audio = false;
        } else if (option == "-sn") {
            request.subtitles = false;
        } else if (option == "-ignore_unknown") {
            // Streams of unknown kinds are never copied.
        } else if (!hasValue) {
            return std::nullopt;
        } else if (option == "-i" && !haveInput) {
            request.source = value;
            haveInput = true;
            ++i;
        } else if (option == "-ss" || option == "-t") {
            const auto seconds = ReadSeconds(value);
            if (!seconds)
                return std::nullopt;
            (option == "-ss" ? request.start : request.length) = *seconds;
            haveLength = haveLength || option == "-t";
            ++i;
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
    if (!copyAll || !haveInput || !haveLength || request.output.empty() || request.output[0] == '-')
        return std::nullopt;
    return request;
}

} // namespace Cut
