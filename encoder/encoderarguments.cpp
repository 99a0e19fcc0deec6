#include "encoderarguments.h"

#include <unistd.h>

namespace EncoderFrontEnd {

namespace {

bool IsExecutableFile(const std::string& path) {
    return !path.empty() && access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> FindTool(const std::string& name, const char* overridePath,
                                    const std::string& ownFolder, const char* searchPath) {
    if (overridePath && *overridePath)
        return std::string(overridePath);
    const std::string beside = ownFolder + "/" + name;
    if (IsExecutableFile(beside))
        return beside;
    if (!searchPath)
        return std::nullopt;
    const std::string path(searchPath);
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(':', begin);
        if (end == std::string::npos)
            end = path.size();
        // An empty PATH entry means the current folder.
        const std::string folder = end > begin ? path.substr(begin, end - begin) : std::string(".");
        const std::string candidate = folder + "/" + name;
        if (IsExecutableFile(candidate))
            return candidate;
        begin = end + 1;
    }
    return std::nullopt;
}

} // namespace

const std::vector<std::string>& QuietOptions() {
    static const std::vector<std::string> options{"-hide_banner", "-nostdin",      "-loglevel", "error",
                                                  "-stats",       "-stats_period", "0.5"};
    return options;
}

std::vector<std::string> RewriteArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> result = QuietOptions();
    const auto inputAt = [&]() -> std::size_t {
        for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
            if (arguments[i] == "-i")
                return i;
        return arguments.size();
    }();
    if (inputAt == arguments.size()) {
        result.insert(result.end(), arguments.begin(), arguments.end());
        return result;
    }

    // The last argument is the output path and never an option's value to be moved.
    std::vector<bool> moved(arguments.size(), false);
    std::vector<std::string> seeking;
    for (const char* option : {"-ss", "-t"}) {
        for (std::size_t i = inputAt + 2; i + 2 < arguments.size(); ++i) {
            if (!moved[i] && !moved[i + 1] && arguments[i] == option) {
                seeking.push_back(arguments[i]);
                seeking.push_back(arguments[i + 1]);
                moved[i] = moved[i + 1] = true;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (i == inputAt)
            result.insert(result.end(), seeking.begin(), seeking.end());
        if (!moved[i])
            result.push_back(arguments[i]);
    }
    return result;
}

std::optional<std::string> FindFfmpeg(const char* overridePath, const std::string& ownFolder,
                                      const char* searchPath) {
    return FindTool("ffmpeg", overridePath, ownFolder, searchPath);
}

std::optional<std::string> FindFfprobe(const char* probeOverride, const char* ffmpegOverride,
                                       const std::string& ownFolder, const char* searchPath) {
    if (probeOverride && *probeOverride)
        return std::string(probeOverride);
    // A chosen ffmpeg build usually has its own ffprobe beside it; a lone fake ffmpeg has not.
    if (ffmpegOverride && *ffmpegOverride) {
        const std::string beside = FolderOfPath(ffmpegOverride) + "/ffprobe";
        if (IsExecutableFile(beside))
            return beside;
    }
    return FindTool("ffprobe", nullptr, ownFolder, searchPath);
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

} // namespace EncoderFrontEnd
