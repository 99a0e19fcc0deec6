#include "sectionsplan.h"

#include "contract/mediaformats.h"

#include <algorithm>
#include <cmath>
#include <set>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace Together {

namespace {

// Clips one after the other: the next starts where the one before ends, to the microsecond.
constexpr double Adjoining = 1e-6;

bool HasOption(const std::vector<std::string>& options, const char* name) {
    return std::find(options.begin(), options.end(), name) != options.end();
}

} // namespace

std::string GroupRefusal(const std::vector<EncoderFrontEnd::CheckedClip>& clips) {
    if (clips.size() < 2)
        return "a single clip";
    const Contract::ClipRequest& first = clips.front().request;
    for (std::size_t i = 1; i < clips.size(); ++i) {
        const Contract::ClipRequest& clip = clips[i].request;
        const Contract::ClipRequest& before = clips[i - 1].request;
        if (clip.source != first.source || clip.options != first.options || clip.muxer != first.muxer ||
            clip.overwrite != first.overwrite)
            return "the clips differ in more than their times";
        if (std::abs(clip.start - (before.start + before.length)) > Adjoining)
            return "the clips do not follow one another";
    }
    const auto request = EncoderFrontEnd::ReadClipRequest(clips.front().arguments);
    if (!request || request->copiesVideo || request->dropsVideo)
        return "the clips do not re-encode video";
    // A frame rate of the clip's own is counted from each clip's first frame.
    if (request->setsFrameRate)
        return "the clips set a frame rate";
    // Muxer options would have to be passed on by hand; a size limit needs the clip's own encode.
    for (const char* option : {"-movflags", "-fs", "-f"})
        if (HasOption(first.options, option))
            return std::string("the clips pass ") + option;
    // Containers whose clips come out of the pipe as they would from ffmpeg: they keep the codecs' headers
    // apart from the frames (without that the encoder repeats them in the frames for that container
    // alone), and need nothing of the codecs that the pipe leaves out (WMA's block size).
    static const std::set<std::string, std::less<>> together{"mp4", "mov", "ipod", "matroska", "webm"};
    const AVOutputFormat* format = av_guess_format(first.muxer.c_str(), nullptr, nullptr);
    if (!together.count(first.muxer) || !format || !(format->flags & AVFMT_GLOBALHEADER))
        return "the clips' container is written one clip at a time";
    return std::string();
}

Contract::ClipRequest WholeRange(const std::vector<EncoderFrontEnd::CheckedClip>& clips) {
    Contract::ClipRequest whole = clips.front().request;
    const Contract::ClipRequest& last = clips.back().request;
    whole.length = last.start + last.length - whole.start;
    // Cut points choose how a stream copy is cut; this is an encode.
    for (auto option = whole.options.begin(); option != whole.options.end();) {
        if (*option == "-cut_points" && option + 1 != whole.options.end())
            option = whole.options.erase(option, option + 2);
        else
            ++option;
    }
    return whole;
}

DefaultEncoders DefaultEncodersOf(const std::string& muxer) {
    DefaultEncoders encoders;
    const AVOutputFormat* format = av_guess_format(muxer.c_str(), nullptr, nullptr);
    if (!format)
        return encoders;
    if (const AVCodec* video = avcodec_find_encoder(format->video_codec))
        encoders.video = video->name;
    if (const AVCodec* audio = avcodec_find_encoder(format->audio_codec))
        encoders.audio = audio->name;
    return encoders;
}

std::vector<std::string> PipeArguments(const Contract::ClipRequest& whole,
                                       const EncoderFrontEnd::ExactCut& cut, const SectionStarts& starts,
                                       const DefaultEncoders& encoders) {
    // The clip's container chooses ffmpeg's encoders where the options name none; the pipe's must not.
    Contract::ClipRequest request = whole;
    std::vector<std::string> defaults;
    if (!encoders.video.empty())
        defaults.insert(defaults.end(), {"-c:v", encoders.video});
    if (!encoders.audio.empty())
        defaults.insert(defaults.end(), {"-c:a", encoders.audio});
    request.options.insert(request.options.begin(), defaults.begin(), defaults.end());
    const std::vector<std::string> arguments = Contract::ClipArguments(request);
    const auto read = EncoderFrontEnd::ReadClipRequest(arguments);
    std::vector<std::string> result =
        read ? EncoderFrontEnd::ExactCutArguments(arguments, *read, cut) : std::vector<std::string>();
    if (result.size() < 3)
        return {};

    // Progress comes from the front-end, per clip.
    const auto stats = std::find(result.begin(), result.end(), "-stats");
    if (stats != result.end())
        *stats = "-nostats";
    const auto period = std::find(result.begin(), result.end(), "-stats_period");
    if (period != result.end() && period + 1 != result.end())
        result.erase(period, period + 2);

    // The clip's "-f MUXER OUTPUT" become the pipe's.
    result.resize(result.size() - 3);
    if (!starts.empty()) {
        std::string times;
        for (const std::int64_t start : starts) {
            if (!times.empty())
                times += ',';
            times += EncoderFrontEnd::MicrosecondsText(std::max<std::int64_t>(0, start - ForcedKeyLeadUs));
        }
        // Keyframes that start a closed group of pictures, so that no frame after one needs a frame of
        // the section before.
        result.insert(result.end(), {"-force_key_frames", times, "-forced-idr", "1"});
    }
    // Whole buffers rather than a write for each packet: fewer wake-ups of the front-end beside the encoder.
    result.insert(result.end(), {"-flush_packets", "0", "-f", "nut", "pipe:1"});
    return result;
}

} // namespace Together
