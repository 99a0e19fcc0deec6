#include "contract/mediaformats.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace Contract {

namespace {

// The muxers are those FFmpeg itself picks for these extensions, so that clips come out as before.
constexpr std::array OutputFormats{
    OutputFormat{"mp4", "mp4"},         OutputFormat{"m4v", "ipod"},
    OutputFormat{"mov", "mov"},         OutputFormat{"mkv", "matroska"},
    OutputFormat{"webm", "webm"},       OutputFormat{"avi", "avi"},
    OutputFormat{"wmv", "asf"},         OutputFormat{"asf", "asf"},
    OutputFormat{"mpg", "mpeg"},        OutputFormat{"mpeg", "mpeg"},
    OutputFormat{"vob", "svcd"},        OutputFormat{"ts", "mpegts"},
    OutputFormat{"m2ts", "mpegts"},     OutputFormat{"mts", "mpegts"},
    OutputFormat{"flv", "flv"},         OutputFormat{"f4v", "f4v"},
    OutputFormat{"ogv", "ogv"},         OutputFormat{"ogg", "ogg"},
    OutputFormat{"3gp", "3gp"},         OutputFormat{"3g2", "3g2"},
    OutputFormat{"mxf", "mxf"},         OutputFormat{"dv", "dv"},
    OutputFormat{"nut", "nut"},         OutputFormat{"mka", "matroska", true},
    OutputFormat{"m4a", "ipod", true},  OutputFormat{"wma", "asf", true},
    OutputFormat{"oga", "oga", true},   OutputFormat{"mp3", "mp3", true},
    OutputFormat{"mp2", "mp2", true},   OutputFormat{"wav", "wav", true},
    OutputFormat{"w64", "w64", true},   OutputFormat{"flac", "flac", true},
    OutputFormat{"aac", "adts", true},  OutputFormat{"ac3", "ac3", true},
    OutputFormat{"opus", "opus", true}, OutputFormat{"amr", "amr", true},
    OutputFormat{"caf", "caf", true},   OutputFormat{"aiff", "aiff", true},
    OutputFormat{"au", "au", true},     OutputFormat{"wv", "wv", true},
};

constexpr std::size_t LongestType = 8;

// Demuxers that read one file and name no other: containers, elementary streams and audio files.
constexpr std::array SourceDemuxers{
    "mov",  "mp4",    "m4a",       "3gp",  "3g2",      "mj2",    "matroska", "webm",         "avi", "asf",
    "mpeg", "mpegts", "mpegvideo", "flv",  "live_flv", "ogg",    "nut",      "mxf",          "dv",  "gxf",
    "rm",   "wtv",    "ivf",       "h264", "hevc",     "m4v",    "vc1",      "mp3",          "wav", "w64",
    "flac", "aac",    "ac3",       "eac3", "dts",      "truehd", "mlp",      "aiff",         "amr", "au",
    "caf",  "wv",     "ape",       "tta",  "mpc",      "mpc8",   "mp2",      "yuv4mpegpipe",
};

// Demuxers that open further files or addresses named in the source, or read its name as a pattern.
constexpr std::array ReferenceDemuxers{
    "hls",         "dash",   "webm_dash_manifest", "concat", "sdp",  "rtp",        "rtsp",
    "imf",         "image2", "image2pipe",         "vobsub", "mpl2", "ffmetadata", "avisynth",
    "vapoursynth", "lavfi",
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// FFmpeg names a demuxer by all its names at once: "mov,mp4,m4a,3gp,3g2,mj2".
template <typename List> bool AnyNameListed(std::string_view names, const List& list) {
    std::size_t begin = 0;
    while (begin <= names.size()) {
        const std::size_t end = std::min(names.find(',', begin), names.size());
        const std::string_view name = names.substr(begin, end - begin);
        if (std::find(list.begin(), list.end(), name) != list.end())
            return true;
        begin = end + 1;
    }
    return false;
}

} // namespace

std::optional<OutputFormat> OutputFormatOf(std::string_view extension) {
    const std::string lower = Lower(extension);
    for (const OutputFormat& format : OutputFormats)
        if (format.extension == lower)
            return format;
    return std::nullopt;
}

std::optional<OutputFormat> OutputFormatOfMuxer(std::string_view muxer) {
    for (const OutputFormat& format : OutputFormats)
        if (format.muxer == muxer)
            return format;
    return std::nullopt;
}

std::string MuxerOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    const auto format = OutputFormatOf(std::string_view(path).substr(dot + 1));
    return format ? std::string(format->muxer) : std::string();
}

std::string TypeRefusal(std::string_view type) {
    if (type.empty())
        return "the Type is empty";
    if (type.size() > LongestType || !std::all_of(type.begin(), type.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        }))
        return "the Type must be an extension of up to 8 letters and digits";
    if (!OutputFormatOf(type)) {
        std::string known;
        for (const OutputFormat& format : OutputFormats)
            known += (known.empty() ? "" : ", ") + std::string(format.extension);
        return "the Type \"" + std::string(type) + "\" is not one of " + known;
    }
    return std::string();
}

const std::string& SourceDemuxerList() {
    static const std::string list = [] {
        std::string joined;
        for (const char* name : SourceDemuxers)
            joined += (joined.empty() ? "" : ",") + std::string(name);
        return joined;
    }();
    return list;
}

std::string SourceDemuxerRefusal(std::string_view demuxer) {
    if (AnyNameListed(demuxer, SourceDemuxers))
        return std::string();
    if (AnyNameListed(demuxer, ReferenceDemuxers))
        return "the source is a playlist or names other files (" + std::string(demuxer) +
               "), not a media file; it is not opened";
    return "the source's format (" + std::string(demuxer) + ") is not one this program splits";
}

bool LooksLikeAList(std::string_view head) {
    if (head.substr(0, 3) == "\xEF\xBB\xBF")
        head.remove_prefix(3);
    while (!head.empty() && std::string_view(" \t\r\n").find(head.front()) != std::string_view::npos)
        head.remove_prefix(1);
    const std::string lower = Lower(head);
    for (const std::string_view start : {"#extm3u", "#extinf", "ffconcat version", "[playlist]", "<asx",
                                         "v=0\n", "v=0\r", "<mpd", "<smil", "<smoothstreamingmedia"})
        if (lower.compare(0, start.size(), start) == 0)
            return true;
    // An XML declaration first, then the list's own element.
    if (lower.compare(0, 5, "<?xml") != 0)
        return false;
    for (const std::string_view element : {"<mpd", "<smil", "<smoothstreamingmedia", "<asx", "<playlist"})
        if (lower.find(element) != std::string::npos)
            return true;
    return false;
}

std::vector<OpenOption> SourceOpenOptions() {
    return {{"protocol_whitelist", "file"}, {"format_whitelist", SourceDemuxerList()}};
}

std::vector<std::string> SourceOpenArguments() {
    std::vector<std::string> arguments;
    for (const OpenOption& option : SourceOpenOptions())
        arguments.insert(arguments.end(), {"-" + option.name, option.value});
    return arguments;
}

std::string FileUrl(const std::string& absolutePath) {
    return "file:" + absolutePath;
}

} // namespace Contract
