#include "seekpoint.h"

#include "contract/mediaformats.h"
#include "cut/avhandles.h"
#include "cut/bitstream.h"
#include "sourcecheck.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <vector>

namespace EncoderFrontEnd {

namespace {

// A frame counts as shown at a time that its own time exceeds by less than this, so that a start
// computed in floating point still lands on the frame it names.
constexpr long double Tolerance = 1e-4L;
// How far ahead of a frame ffmpeg may have decoded it; no encoder reorders more than 16 frames.
constexpr int ReorderWindow = 20;
// ffmpeg seeks this much earlier in formats that seek by decoding time when frames are reordered.
constexpr std::int64_t DtsHeadroom = 3 * AV_TIME_BASE / 23;
// How many keyframes back from the cut a seek that lands exactly on one is looked for.
constexpr int KeyTries = 3;

// The streams ffmpeg takes for an output without -map: the video with the most pixels and the audio with
// the most channels, preferring streams that had packets and default ones.
int BestStream(const AVFormatContext* input, AVMediaType type) {
    long long bestScore = 0;
    int best = -1;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* stream = input->streams[i];
        const AVCodecParameters* parameters = stream->codecpar;
        if (parameters->codec_type != type)
            continue;
        if (type == AVMEDIA_TYPE_VIDEO && (stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            continue;
        const long long size = type == AVMEDIA_TYPE_VIDEO
                                   ? static_cast<long long>(parameters->width) * parameters->height
                                   : parameters->ch_layout.nb_channels;
        const long long score = size +
                                100000000LL * !!(stream->event_flags & AVSTREAM_EVENT_FLAG_NEW_PACKETS) +
                                5000000LL * !!(stream->disposition & AV_DISPOSITION_DEFAULT);
        if (score > bestScore) {
            bestScore = score;
            best = static_cast<int>(i);
        }
    }
    return best;
}

bool Distinct(std::vector<std::int64_t> times) {
    std::sort(times.begin(), times.end());
    return std::adjacent_find(times.begin(), times.end()) == times.end();
}

struct VideoPacket {
    std::int64_t pts = AV_NOPTS_VALUE;
    std::int64_t dts = AV_NOPTS_VALUE;
    bool key = false;
};

// What the demuxer gives after a seek, read up to a little past a given time.
struct Landing {
    bool seeked = false;
    bool reachedEnd = false;
    std::vector<VideoPacket> video;           // in file order
    bool timeless = false;                    // some video packet had no time of its own
    std::vector<std::int64_t> decoded;        // frame times as ffmpeg's decoder puts them out
    std::int64_t decodedKey = AV_NOPTS_VALUE; // the first keyframe's time among them
    std::int64_t firstAudio = AV_NOPTS_VALUE; // in the audio's time base

    std::size_t FirstKey() const {
        std::size_t i = 0;
        while (i < video.size() && !video[i].key)
            ++i;
        return i;
    }
};

// A decoder that only reports the times of the frames it puts out: the times ffmpeg's filters will see
// where the packets do not carry them all.
class FrameClock {
public:
    FrameClock(const AVStream* stream) {
        const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
        if (!decoder)
            return;
        codec.reset(avcodec_alloc_context3(decoder));
        if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0)
            return;
        codec->pkt_timebase = stream->time_base;
        codec->thread_count = 1;
        // The pictures themselves do not matter.
        codec->lowres = decoder->max_lowres;
        codec->skip_loop_filter = AVDISCARD_ALL;
        codec->skip_idct = AVDISCARD_ALL;
        if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
            codec.reset();
        frame.reset(av_frame_alloc());
    }
    bool Ready() const { return codec && frame; }
    void Feed(const AVPacket* packet, Landing& landing) {
        if (avcodec_send_packet(codec.get(), packet) < 0 && packet)
            return;
        while (avcodec_receive_frame(codec.get(), frame.get()) >= 0) {
            const std::int64_t time = frame->best_effort_timestamp;
            if (time != AV_NOPTS_VALUE) {
                landing.decoded.push_back(time);
                if (landing.decodedKey == AV_NOPTS_VALUE &&
                    (frame->key_frame || frame->pict_type == AV_PICTURE_TYPE_I))
                    landing.decodedKey = time;
            }
            av_frame_unref(frame.get());
        }
    }

private:
    Cut::CodecContextPtr codec;
    Cut::FramePtr frame;
};

// A source opened as ffmpeg opens it, with the streams ffmpeg takes from it then: reading on marks other
// streams as having packets, which would change the choice.
struct OpenedSource {
    Cut::InputPtr input;
    int video = -1;
    int audio = -1;
    bool decodesOnlyFromStart = false;
};

class Planner {
public:
    Planner(const OpenedSource& source, const ClipRequest& cut) : input(source.input.get()), cut(cut) {
        startUs = input->start_time != AV_NOPTS_VALUE ? input->start_time : 0;
        video = cut.dropsVideo ? -1 : source.video;
        audio = cut.dropsAudio ? -1 : source.audio;
        bool delayed = false;
        for (unsigned i = 0; i < input->nb_streams; ++i)
            delayed = delayed || input->streams[i]->codecpar->video_delay;
        headroom = !(input->iformat->flags & AVFMT_SEEK_TO_PTS) && delayed ? DtsHeadroom : 0;
        if (video >= 0)
            videoBase = input->streams[video]->time_base;
        if (audio >= 0)
            audioBase = input->streams[audio]->time_base;
    }

    ExactCut Plan();

private:
    AVFormatContext* input;
    const ClipRequest& cut;
    std::int64_t startUs = 0;
    int video = -1;
    int audio = -1;
    std::int64_t headroom = 0;
    AVRational videoBase{1, AV_TIME_BASE};
    AVRational audioBase{1, AV_TIME_BASE};
    bool decodeTimes = false;

    // Seconds from the start of the file.
    long double Seconds(std::int64_t time, AVRational base) const {
        return static_cast<long double>(time) * base.num / base.den - startUs / 1e6L;
    }
    long double VideoSeconds(std::int64_t time) const { return Seconds(time, videoBase); }
    // The input seek that makes ffmpeg's timestamps start at a video time.
    std::int64_t SeekAt(std::int64_t videoTime) const {
        return av_rescale_q(videoTime, videoBase, AVRational{1, AV_TIME_BASE}) - startUs;
    }
    std::int64_t SeekBefore(long double seconds) const {
        const long double ticks = (seconds + startUs / 1e6L) * videoBase.den / videoBase.num;
        return SeekAt(static_cast<std::int64_t>(std::floor(ticks)));
    }
    // The input seek for which ffmpeg's own seek aims at exactly this packet's decoding time.
    std::int64_t SeekOnto(const VideoPacket& packet) const {
        const std::int64_t time = packet.dts != AV_NOPTS_VALUE ? packet.dts : packet.pts;
        return av_rescale_q_rnd(time, videoBase, AVRational{1, AV_TIME_BASE}, AV_ROUND_UP) - startUs +
               headroom;
    }
    // An earlier seek, before the first video packet of a landing too.
    std::int64_t SeekEarlier(std::int64_t seek, const Landing& landing, long double time, double step) const {
        long double from = time;
        if (!landing.video.empty()) {
            const VideoPacket& front = landing.video.front();
            from = std::min(from, VideoSeconds(front.dts != AV_NOPTS_VALUE ? front.dts : front.pts));
        }
        return std::max<std::int64_t>(0, std::min(seek, SeekBefore(from - step)));
    }

    Landing Land(std::int64_t seekUs, long double until, bool asFfmpeg);
    bool SeekFails(std::int64_t seekUs) const {
        const std::int64_t target = seekUs + startUs - headroom;
        return avformat_seek_file(input, -1, INT64_MIN, target, target, 0) < 0;
    }
    std::vector<std::int64_t> Times(const Landing& landing, bool decodableOnly) const;
    std::optional<std::int64_t> ShownAt(const std::vector<std::int64_t>& times, long double seconds) const;
    bool SoundFrom(const Landing& landing, long double seconds) const;
    std::optional<std::int64_t> SeekOntoKey(const Landing& landing, std::int64_t seek, std::int64_t first);
    std::optional<std::int64_t> EndFrame(long double end, std::int64_t first);
    // Whether the video's last frame, read to the end of the file, is over by that time.
    bool EndedBy(const Landing& landing, const std::vector<std::int64_t>& times, std::int64_t frame,
                 long double seconds) const;
    ExactCut PlanWithoutVideo();
    // The trim at the times asked for, after that input seek.
    ExactCut AsAsked(std::optional<std::int64_t> seek) const {
        return ExactCut{seek, std::llround(cut.start * 1e6) + startUs, std::llround(cut.length * 1e6)};
    }
};

// Seeks as ffmpeg does for "-ss" before "-i" (or just to a point before a time), then reads on to a
// little past "until" (seconds from the start of the file).
Landing Planner::Land(std::int64_t seekUs, long double until, bool asFfmpeg) {
    Landing landing;
    const std::int64_t target = seekUs + startUs - (asFfmpeg ? headroom : 0);
    // A seek in front of the first keyframe fails, and ffmpeg then reads from the start.
    landing.seeked = avformat_seek_file(input, -1, INT64_MIN, target, target, 0) >= 0 ||
                     (target < startUs + DtsHeadroom &&
                      avformat_seek_file(input, -1, INT64_MIN, startUs, startUs, 0) >= 0);
    if (!landing.seeked)
        return landing;

    std::optional<FrameClock> clock;
    if (decodeTimes)
        clock.emplace(input->streams[video]);
    const Cut::PacketPtr packet = Cut::NewPacket();
    int beyond = 0;
    long double latest = -1e30L;
    bool videoDone = video < 0;
    bool audioDone = audio < 0;
    while (!(videoDone && audioDone)) {
        if (av_read_frame(input, packet.get()) < 0) {
            landing.reachedEnd = true;
            break;
        }
        const std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (packet->stream_index == video && time != AV_NOPTS_VALUE) {
            landing.video.push_back(
                VideoPacket{packet->pts, packet->dts, (packet->flags & AV_PKT_FLAG_KEY) != 0});
            landing.timeless = landing.timeless || packet->pts == AV_NOPTS_VALUE;
            if (clock && clock->Ready())
                clock->Feed(packet.get(), landing);
            latest = std::max(latest, VideoSeconds(time));
            if (VideoSeconds(time) > until + Tolerance)
                ++beyond;
            // Once the decoding order has passed "until", no later packet shows a frame before it.
            if ((packet->dts != AV_NOPTS_VALUE && VideoSeconds(packet->dts) > until + Tolerance) ||
                beyond >= ReorderWindow)
                videoDone = true;
        } else if (packet->stream_index == audio && time != AV_NOPTS_VALUE) {
            if (landing.firstAudio == AV_NOPTS_VALUE)
                landing.firstAudio = time;
            audioDone = true;
            if (video < 0 && Seconds(time, audioBase) > until + Tolerance)
                videoDone = true;
        }
        av_packet_unref(packet.get());
        // Sound that never comes near the video is no reason to read on.
        if (videoDone && !audioDone && latest > until + 2)
            audioDone = true;
    }
    if (clock && clock->Ready())
        clock->Feed(nullptr, landing);
    return landing;
}

// The times at which the frames of a landing are shown; decodable ones are those from the first keyframe
// on, for ffmpeg's decoders begin there and every frame shown from it on follows it in the file.
std::vector<std::int64_t> Planner::Times(const Landing& landing, bool decodableOnly) const {
    std::vector<std::int64_t> times;
    if (decodeTimes) {
        for (const std::int64_t time : landing.decoded)
            if (!decodableOnly || (landing.decodedKey != AV_NOPTS_VALUE && time >= landing.decodedKey))
                times.push_back(time);
        return times;
    }
    const std::size_t key = landing.FirstKey();
    if (decodableOnly && key >= landing.video.size())
        return times;
    const std::int64_t keyTime = decodableOnly ? landing.video[key].pts : AV_NOPTS_VALUE;
    for (const VideoPacket& packet : landing.video)
        if (packet.pts != AV_NOPTS_VALUE && (!decodableOnly || packet.pts >= keyTime))
            times.push_back(packet.pts);
    return times;
}

std::optional<std::int64_t> Planner::ShownAt(const std::vector<std::int64_t>& times,
                                             long double seconds) const {
    std::optional<std::int64_t> shown;
    for (const std::int64_t time : times)
        if (VideoSeconds(time) <= seconds + Tolerance && (!shown || time > *shown))
            shown = time;
    return shown;
}

bool Planner::SoundFrom(const Landing& landing, long double seconds) const {
    return landing.firstAudio == AV_NOPTS_VALUE ||
           Seconds(landing.firstAudio, audioBase) <= seconds + Tolerance;
}

// A seek after which the first video packet ffmpeg gets is a keyframe at or before the first frame, the
// latest that works. Decoders fed other frames before it may put out pictures in the wrong order.
std::optional<std::int64_t> Planner::SeekOntoKey(const Landing& landing, std::int64_t seek,
                                                 std::int64_t first) {
    const long double firstSeconds = VideoSeconds(first);
    if (!landing.video.empty() && landing.video.front().key && SeekAt(first) >= seek &&
        SoundFrom(landing, firstSeconds))
        return seek;
    if (decodeTimes)
        return std::nullopt;
    std::vector<const VideoPacket*> keys;
    for (std::size_t i = landing.FirstKey(); i < landing.video.size(); ++i)
        if (landing.video[i].key && landing.video[i].pts <= first)
            keys.push_back(&landing.video[i]);
    int tries = 0;
    for (auto key = keys.rbegin(); key != keys.rend() && tries < KeyTries; ++key, ++tries) {
        std::vector<std::int64_t> candidates{SeekOnto(**key)};
        if (key == keys.rbegin())
            candidates.insert(headroom ? candidates.end() : candidates.begin(), SeekAt(first));
        for (const std::int64_t candidate : candidates) {
            const Landing again = Land(candidate, cut.start, true);
            if (again.seeked && !again.video.empty() && again.video.front().key &&
                again.video.front().pts == (*key)->pts && again.video.front().dts == (*key)->dts &&
                ShownAt(Times(again, true), cut.start) == first && SoundFrom(again, firstSeconds))
                return candidate;
        }
    }
    return std::nullopt;
}

// The frame shown at the end of the clip: the next section's first frame, none where the video ends
// before. Decoded times need a keyframe before the end, or frames the decoder drops would be missed.
std::optional<std::int64_t> Planner::EndFrame(long double end, std::int64_t first) {
    std::int64_t seek = std::llround((end - 1) * 1e6L);
    Landing tail;
    for (double step = 1;; step *= 2) {
        tail = Land(seek, end, false);
        if (!tail.seeked || !decodeTimes || seek <= 0 ||
            (tail.decodedKey != AV_NOPTS_VALUE && VideoSeconds(tail.decodedKey) <= end + Tolerance))
            break;
        seek = SeekEarlier(seek, tail, end, step);
    }
    const std::vector<std::int64_t> times = Times(tail, false);
    const std::optional<std::int64_t> stop = ShownAt(times, end);
    if (!stop || *stop <= first)
        return std::nullopt;
    if (EndedBy(tail, times, *stop, end))
        return std::nullopt;
    return stop;
}

// The last frame is shown only while it lasts, one frame's time.
bool Planner::EndedBy(const Landing& landing, const std::vector<std::int64_t>& times, std::int64_t frame,
                      long double seconds) const {
    if (!landing.reachedEnd || times.empty() || frame != *std::max_element(times.begin(), times.end()))
        return false;
    const AVStream* stream = input->streams[video];
    const AVRational rate = stream->avg_frame_rate.num ? stream->avg_frame_rate : stream->r_frame_rate;
    const std::int64_t duration =
        rate.num > 0 && rate.den > 0 ? av_rescale_q(1, av_inv_q(rate), videoBase) : 0;
    return VideoSeconds(frame + duration) <= seconds + Tolerance;
}

ExactCut Planner::PlanWithoutVideo() {
    std::int64_t seek = std::llround(cut.start * 1e6);
    for (double step = 0.5;; step *= 2) {
        const Landing landing = Land(seek, cut.start, true);
        if (!landing.seeked)
            return AsAsked(std::nullopt);
        if (SoundFrom(landing, cut.start) || seek <= 0)
            break;
        seek = std::max<std::int64_t>(0, seek - std::llround(step * 1e6));
    }
    return AsAsked(seek);
}

ExactCut Planner::Plan() {
    if (video < 0)
        return PlanWithoutVideo();

    // From the cut itself, then earlier, until decoding can begin at a keyframe at or before the frame
    // shown at the start, with the sound there too.
    std::int64_t seek = SeekBefore(cut.start);
    std::optional<std::int64_t> first;
    Landing landing;
    std::vector<std::int64_t> decodable;
    for (double step = 0.5;; step *= 2) {
        landing = Land(seek, cut.start, true);
        if (!landing.seeked)
            return AsAsked(std::nullopt);
        if (landing.timeless && !decodeTimes) {
            decodeTimes = true;
            landing = Land(seek, cut.start, true);
        }
        decodable = Times(landing, true);
        first = ShownAt(decodable, cut.start);
        // A start past the end of the video shows no frame: the clip gets none and is reported empty.
        if (first && EndedBy(landing, decodable, *first, cut.start))
            return AsAsked(seek);
        if (first) {
            if (const std::optional<std::int64_t> onto = SeekOntoKey(landing, seek, *first)) {
                seek = *onto;
                break;
            }
            // Where no seek lands on a keyframe (program streams start frames inside their packets), the
            // decoders skip what comes before one.
            if (SeekAt(*first) >= seek && SoundFrom(landing, VideoSeconds(*first)))
                break;
        }
        if (seek <= 0)
            break;
        seek = SeekEarlier(seek, landing, cut.start, step);
    }
    if (!first) {
        // The cut lies before the first frame that can be shown: the clip begins with it.
        if (decodable.empty())
            return AsAsked(seek);
        first = *std::min_element(decodable.begin(), decodable.end());
    }

    const std::int64_t firstUs = SeekAt(*first);
    // Where ffmpeg's own seek fails it reads from the start, and a seek it was given still trims frames.
    const std::optional<std::int64_t> inputSeek = SeekFails(seek) ? std::nullopt : std::optional(seek);
    // Times that the decoder made up serve as they are where each frame got one of its own (AVI).
    const bool ownTimes = !decodeTimes || Distinct(landing.decoded);
    const long double end = static_cast<long double>(cut.start) + cut.length;
    // An end at the file's length, which is given to the millisecond, keeps the video's last frame
    // however far into that millisecond the frame ends.
    // A length guessed from the bit rate tells nothing (a raw MPEG video stream of 20 s claims 0.009 s).
    if (input->duration != AV_NOPTS_VALUE &&
        input->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE &&
        std::llround(end * 1e6L) >= input->duration - AV_TIME_BASE / 2000)
        return ExactCut{inputSeek, firstUs + startUs, input->duration + AV_TIME_BASE - firstUs, ownTimes};
    const std::optional<std::int64_t> stop = EndFrame(end, *first);
    const std::int64_t length = stop ? SeekAt(*stop) - firstUs : std::llround(end * 1e6L) - firstUs;
    return ExactCut{inputSeek, firstUs + startUs, length, ownTimes};
}

// 4:4:4 video of x264 builds before 151 decodes right only with the SEI message in which x264 names
// itself, in the first frame alone: ffmpeg is then left to decode from the start.
bool DecodesRightOnlyFromStart(AVFormatContext* input) {
    const int video = BestStream(input, AVMEDIA_TYPE_VIDEO);
    if (video < 0 || input->streams[video]->codecpar->codec_id != AV_CODEC_ID_H264)
        return false;
    const AVCodecParameters* parameters = input->streams[video]->codecpar;
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(parameters->format));
    if (!format || format->nb_components < 3 || format->log2_chroma_w != 0 || format->log2_chroma_h != 0)
        return false;
    const Cut::Bitstream::Bytes extradata(parameters->extradata,
                                          parameters->extradata + parameters->extradata_size);
    const int lengthSize = Cut::Bitstream::NalLengthSize(AV_CODEC_ID_H264, extradata);
    const Cut::PacketPtr packet = Cut::NewPacket();
    for (int packets = 0; packets < 64 && av_read_frame(input, packet.get()) >= 0; ++packets) {
        const bool first = packet->stream_index == video;
        const Cut::Bitstream::Bytes units =
            first ? Cut::Bitstream::EncoderVersionUnits(AV_CODEC_ID_H264, packet->data,
                                                        std::size_t(packet->size), lengthSize)
                  : Cut::Bitstream::Bytes();
        av_packet_unref(packet.get());
        if (first) {
            const int build = Cut::Bitstream::X264Build(units, lengthSize);
            return build >= 0 && build < 151;
        }
    }
    return false;
}

std::optional<OpenedSource> OpenSource(const std::string& source) {
    AVFormatContext* raw = OpenSourceAsFfmpegDoes(source);
    if (!raw)
        return std::nullopt;
    OpenedSource result{Cut::InputPtr(raw)};
    AVFormatContext* input = result.input.get();
    result.video = BestStream(input, AVMEDIA_TYPE_VIDEO);
    result.audio = BestStream(input, AVMEDIA_TYPE_AUDIO);
    result.decodesOnlyFromStart = DecodesRightOnlyFromStart(input);
    return result;
}

} // namespace

// The first frame is the one a player shows at the start and the clip ends before the frame shown at
// start + length; the sound is cut at the same times. The input seek lands before the keyframe that
// decoding needs; where the source cannot seek there is none. Each plan seeks afresh, as it does between
// its own tries, so that the clips planned before it change nothing.
std::vector<std::optional<ExactCut>>
PlanExactCuts(const std::vector<ClipRequest>& requests,
              const std::function<void(const AVFormatContext&)>& opened) {
    std::vector<std::optional<ExactCut>> cuts(requests.size());
    if (requests.empty())
        return cuts;
    std::optional<OpenedSource> source = OpenSource(requests.front().source);
    if (!source)
        return cuts;
    if (opened)
        opened(*source->input);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (requests[i].source != requests.front().source)
            continue;
        ExactCut planned = Planner(*source, requests[i]).Plan();
        if (source->decodesOnlyFromStart)
            planned.inputSeek.reset();
        cuts[i] = planned;
    }
    return cuts;
}

std::optional<ExactCut> PlanExactCut(const ClipRequest& request) {
    return PlanExactCuts({request}).front();
}

namespace {

// Cut points matter to stream copies only; a clip that is encoded starts on its frame anyway.
std::vector<std::string> WithoutCutPoints(std::vector<std::string> arguments) {
    for (auto option = arguments.begin(); option != arguments.end() && option + 1 != arguments.end();) {
        if (*option == "-cut_points")
            option = arguments.erase(option, option + 2);
        else
            ++option;
    }
    return arguments;
}

} // namespace

std::vector<std::string> FfmpegArguments(const std::vector<std::string>& given) {
    const std::vector<std::string> arguments = WithoutCutPoints(given);
    const std::optional<ClipRequest> request = ReadClipRequest(arguments);
    if (!request || request->copiesVideo)
        return RewriteArguments(arguments);
    std::optional<ExactCut> cut = PlanExactCut(*request);
    // A source that cannot be read: ffmpeg says why.
    if (!cut)
        cut = ExactCut{std::llround(request->start * 1e6), std::llround(request->start * 1e6),
                       std::llround(request->length * 1e6)};
    return ExactCutArguments(arguments, *request, *cut);
}

} // namespace EncoderFrontEnd
