#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The argument handling of the encoder front-end, kept apart from main() so that a test can reach it.
namespace EncoderFrontEnd {

// The options put before everything else: no banner, no reading of the keyboard, and a console that
// carries only error messages and a progress line twice a second.
const std::vector<std::string>& QuietOptions();

// The runner's "-y -i SRC -ss START -t LENGTH [options] OUTPUT" becomes the ffmpeg arguments (without the
// program name): the quiet options, then the same pieces with the first "-ss" and "-t" after "-i" moved in
// front of it, so that ffmpeg seeks in the input instead of decoding and dropping the whole head.
std::vector<std::string> RewriteArguments(const std::vector<std::string>& arguments);

// One clip as the runner asks for it: "-y -i SOURCE -ss START -t LENGTH [options] OUTPUT".
struct ClipRequest {
    std::size_t inputAt = 0; // index of "-i"
    std::size_t startAt = 0; // index of the "-ss" after the input
    std::size_t lengthAt = 0;
    std::string source;
    double start = 0;
    double length = 0;
    bool copiesVideo = false; // stream copy cuts at keyframes and keeps today's seeking
    bool dropsVideo = false;
    bool dropsAudio = false;
    bool setsFrameRate = false;
};

// The clip the arguments ask for; empty when they do not have that form or a time is not a number.
std::optional<ClipRequest> ReadClipRequest(const std::vector<std::string>& arguments);

// Times for ffmpeg in whole microseconds.
struct ExactCut {
    std::optional<std::int64_t> inputSeek; // from the start of the file, as ffmpeg's input "-ss" counts
    std::int64_t outputStart = 0;          // on the source's own timestamps
    std::int64_t outputLength = 0;
    // False where the decoder makes the frames' times up (program streams): they may then collide.
    bool ownFrameTimes = true;
};

// The ffmpeg arguments of a re-encoded clip: the quiet options, the source's own timestamps and the input
// seek before "-i", and the clip's "-ss" and "-t" where they stand with the trim's values. Unless the
// options set a frame rate, the frames keep their own times, so that no frame of a variable frame rate is
// doubled or dropped; times the decoder made up are set on the frame rate's steps instead.
std::vector<std::string> ExactCutArguments(const std::vector<std::string>& arguments,
                                           const ClipRequest& request, const ExactCut& cut);

// Microseconds as ffmpeg reads seconds: always with a point and six decimals.
std::string MicrosecondsText(std::int64_t microseconds);

// Where ffmpeg is: the TESSEL_FFMPEG value when it is set and not empty, then an executable "ffmpeg" in
// the front-end's own folder, then the first executable "ffmpeg" on the PATH.
std::optional<std::string> FindFfmpeg(const char* overridePath, const std::string& ownFolder,
                                      const char* searchPath);

// Where ffprobe is, found the same way: the TESSEL_FFPROBE value, then the ffprobe beside the ffmpeg that
// TESSEL_FFMPEG names, then one in the program's own folder, then the first on the PATH.
std::optional<std::string> FindFfprobe(const char* probeOverride, const char* ffmpegOverride,
                                       const std::string& ownFolder, const char* searchPath);

// The folder part of a path, without its trailing separator ("." for a bare name).
std::string FolderOfPath(const std::string& path);

} // namespace EncoderFrontEnd
