#include "encoderarguments.h"

#include "contract/cliprequest.h"
#include "contract/mediaformats.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

namespace {

// The source and the clip as ffmpeg must read them: an absolute path behind "file:", so that nothing in it
// reads as a protocol or a pattern; the source opened only as one media file.
void PushArgument(std::vector<std::string>& result, const std::vector<std::string>& arguments, std::size_t i,
                  std::size_t inputAt) {
    const std::string& argument = arguments[i];
    const bool isPath = i == inputAt + 1 || i + 1 == arguments.size();
    if (i == inputAt) {
        const std::vector<std::string> open = Contract::SourceOpenArguments();
        result.insert(result.end(), open.begin(), open.end());
    }
    result.push_back(isPath && !argument.empty() && argument[0] == '/' ? Contract::FileUrl(argument)
                                                                       : argument);
}

} // namespace

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
            PushArgument(result, arguments, i, inputAt);
    }
    return result;
}

namespace {

// "-c copy", "-codec:v copy", "-c:v:0 copy", "-vcodec copy": options that copy the video stream.
bool CopiesVideo(const std::string& option, const std::string& value) {
    if (value != "copy")
        return false;
    if (option == "-c" || option == "-codec" || option == "-vcodec")
        return true;
    for (const std::string head : {"-c:", "-codec:"})
        if (option.size() > head.size() && option.compare(0, head.size(), head) == 0)
            return option[head.size()] == 'v';
    return false;
}

// Outputs that hold no picture: ffmpeg then takes no video stream.
bool AudioOnlyOutput(const std::string& path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.')
        return false;
    const auto format = Contract::OutputFormatOf(std::string_view(path).substr(dot + 1));
    return format && format->audioOnly;
}

} // namespace

std::optional<ClipRequest> ReadClipRequest(const std::vector<std::string>& arguments) {
    const Contract::ClipParse parse = Contract::ParseClipArguments(arguments);
    if (!parse.request)
        return std::nullopt;
    const Contract::ClipRequest& clip = *parse.request;
    ClipRequest request;
    request.inputAt = clip.overwrite ? 1 : 0;
    request.startAt = request.inputAt + 2;
    request.lengthAt = request.inputAt + 4;
    request.source = clip.source;
    request.start = clip.start;
    request.length = clip.length;
    const std::vector<std::string>& options = clip.options;
    for (std::size_t i = 0; i < options.size(); ++i) {
        const std::string& option = options[i];
        const std::string value = i + 1 < options.size() ? options[i + 1] : std::string();
        if (option == "-vn")
            request.dropsVideo = true;
        else if (option == "-an")
            request.dropsAudio = true;
        else if (CopiesVideo(option, value))
            request.copiesVideo = true;
        else if (option == "-r" || option == "-fps_mode" || option == "-vsync" ||
                 option.rfind("-r:", 0) == 0 || option.rfind("-fps_mode:", 0) == 0)
            request.setsFrameRate = true;
    }
    if (AudioOnlyOutput(clip.output))
        request.dropsVideo = true;
    return request;
}

std::string MicrosecondsText(std::int64_t microseconds) {
    const bool negative = microseconds < 0;
    const unsigned long long magnitude = negative ? 0 - static_cast<unsigned long long>(microseconds)
                                                  : static_cast<unsigned long long>(microseconds);
    char text[32];
    std::snprintf(text, sizeof(text), "%s%llu.%06llu", negative ? "-" : "", magnitude / 1000000,
                  magnitude % 1000000);
    return text;
}

std::vector<std::string> ExactCutArguments(const std::vector<std::string>& arguments,
                                           const ClipRequest& request, const ExactCut& cut) {
    std::vector<std::string> result = QuietOptions();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        // The source's own timestamps: ffmpeg's corrections of them (at the discontinuities that
        // program and transport streams are allowed) would move the trim. Its input seek point must not
        // trim either, as the frame shown at the start may lie before it.
        if (i == request.inputAt) {
            result.push_back("-copyts");
            if (cut.inputSeek) {
                result.push_back("-ss");
                result.push_back(MicrosecondsText(*cut.inputSeek));
                result.push_back("-noaccurate_seek");
            }
        }
        PushArgument(result, arguments, i, request.inputAt);
        if (i == request.startAt || i == request.lengthAt) {
            result.push_back(MicrosecondsText(i == request.startAt ? cut.outputStart : cut.outputLength));
            ++i;
            if (i == request.lengthAt + 1 && !request.dropsVideo && !request.setsFrameRate) {
                result.push_back("-fps_mode");
                result.push_back(cut.ownFrameTimes ? "passthrough" : "cfr");
            }
        }
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
