#pragma once

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
