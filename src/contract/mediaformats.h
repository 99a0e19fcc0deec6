#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The formats this program reads and writes, chosen here rather than guessed by FFmpeg from a name or
// from a file's content: a clip's muxer comes from its extension, and a source is opened only by a demuxer
// that reads the one file it is given.
namespace Contract {

struct OutputFormat {
    std::string_view extension; // lower case, without the dot
    std::string_view muxer;
    bool audioOnly = false;
};

// The format of clips with this extension (without the dot, in any case); nothing for one not listed.
std::optional<OutputFormat> OutputFormatOf(std::string_view extension);
// The format written by this muxer, as listed; nothing for one not listed.
std::optional<OutputFormat> OutputFormatOfMuxer(std::string_view muxer);

// The muxer of a clip at this path, from its extension; empty for an extension not listed.
std::string MuxerOfPath(const std::string& path);

// Why a profile's Type cannot name the clips' extension, or an empty text when it can: letters and digits
// only, at most eight, and one of the listed extensions.
std::string TypeRefusal(std::string_view type);

// The demuxers a source may be opened with, as FFmpeg's "format_whitelist" takes them.
const std::string& SourceDemuxerList();
// Why a source that FFmpeg recognises as this demuxer (its name as FFmpeg gives it) is not opened, or an
// empty text when it may be. Playlists and lists of other files are named as such.
std::string SourceDemuxerRefusal(std::string_view demuxer);

// Whether the first bytes of a file are those of a playlist or a list of other files (HLS, DASH, SMIL,
// Smooth Streaming, ffconcat, SDP, PLS, ASX), which a player would follow whatever the file is named.
bool LooksLikeAList(std::string_view head);

// What every reader of a source is told: the file protocol only, and only the listed demuxers, so that a
// playlist posing as a video opens nothing else, here or over the network.
struct OpenOption {
    std::string name;
    std::string value;
};
std::vector<OpenOption> SourceOpenOptions();
// The same as ffmpeg's and ffprobe's arguments, which go before the input.
std::vector<std::string> SourceOpenArguments();

// The name FFmpeg is given for a source or a clip: "file:" and the absolute path, so that no character of
// it reads as a protocol, a pattern or an option.
std::string FileUrl(const std::string& absolutePath);

} // namespace Contract
