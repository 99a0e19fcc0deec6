#include "rangeencoder.h"

#include "decodererrors.h"
#include "joincheck.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Cut {

namespace {

struct PictureFormat {
    int width = 0;
    int height = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    AVRational aspect{0, 1};
};

// The encoders that can continue a source of this codec, in the order they are tried: the first that takes
// the source's pictures is used.
std::vector<const char*> EncoderNames(AVCodecID codec) {
    switch (codec) {
    case AV_CODEC_ID_H264:
        return {"libx264"};
    case AV_CODEC_ID_HEVC:
        return {"libx265"};
    case AV_CODEC_ID_MPEG2VIDEO:
        return {"mpeg2video"};
    case AV_CODEC_ID_MPEG1VIDEO:
        return {"mpeg1video"};
    case AV_CODEC_ID_MPEG4:
        return {"mpeg4"};
    case AV_CODEC_ID_VP9:
        return {"libvpx-vp9"};
    case AV_CODEC_ID_VP8:
        return {"libvpx"};
    // SVT-AV1 is the faster, but takes 4:2:0 in even sizes only.
    case AV_CODEC_ID_AV1:
        return {"libsvtav1", "libaom-av1"};
    default:
        return {};
    }
}

const char* X264Profile(int profile) {
    switch (profile & ~FF_PROFILE_H264_CONSTRAINED) {
    case FF_PROFILE_H264_BASELINE:
        return "baseline";
    case FF_PROFILE_H264_MAIN:
    case FF_PROFILE_H264_EXTENDED:
        return "main";
    case FF_PROFILE_H264_HIGH:
        return "high";
    case FF_PROFILE_H264_HIGH_10:
        return "high10";
    case FF_PROFILE_H264_HIGH_422:
        return "high422";
    case FF_PROFILE_H264_HIGH_444_PREDICTIVE:
        return "high444";
    default:
        return nullptr;
    }
}

AVRational FrameRate(const AVStream* stream) {
    if (stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0)
        return stream->avg_frame_rate;
    if (stream->r_frame_rate.num > 0 && stream->r_frame_rate.den > 0)
        return stream->r_frame_rate;
    return AVRational{25, 1};
}

bool Interlaced(const AVCodecParameters* parameters) {
    return parameters->field_order != AV_FIELD_UNKNOWN && parameters->field_order != AV_FIELD_PROGRESSIVE;
}

void SetOption(AVCodecContext* context, const char* name, const char* value) {
    av_opt_set(context->priv_data, name, value, 0);
}

// Settings that keep the re-encoded frames close to the source's quality.
void ChooseQuality(AVCodecContext* context, const AVCodecParameters* parameters, int bFrames) {
    context->max_b_frames = bFrames;
    if (bFrames > 0) {
        context->flags |= AV_CODEC_FLAG_CLOSED_GOP;
        // A closed GOP needs scene changes left alone.
        SetOption(context, "sc_threshold", "1000000000");
    }
    context->gop_size = 100000;
    switch (parameters->codec_id) {
    case AV_CODEC_ID_H264:
        SetOption(context, "preset", "faster");
        SetOption(context, "crf", "16");
        if (const char* profile = X264Profile(parameters->profile))
            SetOption(context, "profile", profile);
        SetOption(context, "x264-params", "scenecut=0:repeat-headers=1");
        break;
    case AV_CODEC_ID_HEVC:
        SetOption(context, "preset", "faster");
        SetOption(context, "crf", "18");
        SetOption(context, "x265-params", "bframes=0:scenecut=0:repeat-headers=1:log-level=error");
        break;
    case AV_CODEC_ID_VP9:
    case AV_CODEC_ID_VP8:
        context->bit_rate = parameters->codec_id == AV_CODEC_ID_VP8 ? 8000000 : 0;
        SetOption(context, "crf", parameters->codec_id == AV_CODEC_ID_VP8 ? "8" : "20");
        SetOption(context, "deadline", "good");
        SetOption(context, "cpu-used", "4");
        SetOption(context, "lag-in-frames", "0");
        SetOption(context, "auto-alt-ref", "0");
        SetOption(context, "row-mt", "1");
        break;
    case AV_CODEC_ID_AV1:
        // Settings of both AV1 encoders; each ignores the other's.
        SetOption(context, "preset", "10");
        SetOption(context, "crf", "20");
        SetOption(context, "svtav1-params", "scd=0");
        SetOption(context, "usage", "realtime");
        SetOption(context, "cpu-used", "8");
        SetOption(context, "lag-in-frames", "0");
        SetOption(context, "row-mt", "1");
        break;
    default:
        // MPEG-2 and MPEG-4 Part 2 at a fixed, fine quantiser.
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = 2 * FF_QP2LAMBDA;
        if (Interlaced(parameters) && parameters->codec_id == AV_CODEC_ID_MPEG2VIDEO)
            context->flags |= AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME;
        break;
    }
    if (parameters->codec_id == AV_CODEC_ID_H264 && Interlaced(parameters))
        context->flags |= AV_CODEC_FLAG_INTERLACED_DCT;
    if (parameters->codec_id != AV_CODEC_ID_H264 && parameters->profile != FF_PROFILE_UNKNOWN)
        context->profile = parameters->profile;
    // AV1's levels count otherwise in the stream than in the encoders' settings.
    if (parameters->level > 0 && parameters->codec_id != AV_CODEC_ID_VP9 &&
        parameters->codec_id != AV_CODEC_ID_AV1)
        context->level = parameters->level;
}

// Ends an encoder's stream and drops what it still holds: SVT-AV1 hangs when it is closed with frames
// or its start pending.
void Drain(AVCodecContext* context) {
    avcodec_send_frame(context, nullptr);
    const PacketPtr packet = NewPacket();
    while (packet && avcodec_receive_packet(context, packet.get()) >= 0)
        av_packet_unref(packet.get());
}

// Whether an encoder takes pictures of this format, as far as can be told without opening it (opening
// and closing SVT-AV1 without a frame hangs).
bool Takes(const AVCodec* codec, const PictureFormat& picture) {
    if (codec->pix_fmts) {
        const AVPixelFormat* format = codec->pix_fmts;
        while (*format != AV_PIX_FMT_NONE && *format != picture.format)
            ++format;
        if (*format == AV_PIX_FMT_NONE)
            return false;
    }
    // These encoders need whole chroma samples: 4:2:0 in even sizes. The others, and the codecs' own
    // cropping fields (H.264 and HEVC take odd sizes in 4:4:4), keep an odd size exact.
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(picture.format);
    const bool wholeChroma = layout && picture.width % (1 << layout->log2_chroma_w) == 0 &&
                             picture.height % (1 << layout->log2_chroma_h) == 0;
    for (const char* name : {"libx264", "libx265", "libsvtav1", "libxvid"})
        if (std::strcmp(codec->name, name) == 0)
            return wholeChroma;
    return true;
}

std::string NoEncoderFor(const AVStream* source, const PictureFormat& picture) {
    const char* format = av_get_pix_fmt_name(picture.format);
    return std::string("no ") + avcodec_get_name(source->codecpar->codec_id) +
           " encoder here takes the source's " + std::to_string(picture.width) + "x" +
           std::to_string(picture.height) + " " + (format ? format : "?") + " pictures";
}

// The first of the codec's encoders that takes pictures of this format, opened; else null, and why not.
CodecContextPtr OpenFirstEncoder(const AVStream* source, const PictureFormat& picture, int bFrames,
                                 std::string& why) {
    const AVCodecParameters* parameters = source->codecpar;
    const AVRational rate = FrameRate(source);
    for (const char* name : EncoderNames(parameters->codec_id)) {
        const AVCodec* codec = avcodec_find_encoder_by_name(name);
        if (!codec || !Takes(codec, picture))
            continue;
        // SVT-AV1 prints its settings on the console at every start unless told to print errors only.
        if (std::strcmp(name, "libsvtav1") == 0)
            setenv("SVT_LOG", "1", 0);
        CodecContextPtr context(avcodec_alloc_context3(codec));
        if (!context)
            throw CutError{"the video encoder cannot be set up"};
        context->width = picture.width;
        context->height = picture.height;
        context->pix_fmt = picture.format;
        context->sample_aspect_ratio = picture.aspect;
        context->framerate = rate;
        context->time_base = av_inv_q(rate);
        context->color_range = parameters->color_range;
        context->color_primaries = parameters->color_primaries;
        context->color_trc = parameters->color_trc;
        context->colorspace = parameters->color_space;
        context->chroma_sample_location = parameters->chroma_location;
        context->field_order = parameters->field_order;
        context->thread_count = 0;
        ChooseQuality(context.get(), parameters, bFrames);
        const int result = avcodec_open2(context.get(), codec, nullptr);
        if (result >= 0)
            return context;
        why = ": " + ErrorText(result);
    }
    why = NoEncoderFor(source, picture) + why;
    return nullptr;
}

} // namespace

std::string RangeEncoder::Unsupported(const AVStream* source) {
    const AVCodecParameters* parameters = source->codecpar;
    if (EncoderNames(parameters->codec_id).empty() || !avcodec_find_decoder(parameters->codec_id))
        return std::string(avcodec_get_name(parameters->codec_id)) + " video cannot be re-encoded here";
    if (parameters->width <= 0 || parameters->height <= 0 || parameters->format < 0)
        return std::string();
    const PictureFormat picture{parameters->width, parameters->height, AVPixelFormat(parameters->format),
                                parameters->sample_aspect_ratio};
    for (const char* name : EncoderNames(parameters->codec_id))
        if (const AVCodec* codec = avcodec_find_encoder_by_name(name); codec && Takes(codec, picture))
            return std::string();
    return NoEncoderFor(source, picture);
}

int RangeEncoder::BFramesFor(const AVStream* source, int delayFrames) {
    // MPEG-4 Part 2 decoders also switch their output delay with the stream's headers, and show a picture
    // twice where a stream without B-frames joins one with them.
    const AVCodecID codec = source->codecpar->codec_id;
    if (codec != AV_CODEC_ID_MPEG2VIDEO && codec != AV_CODEC_ID_MPEG1VIDEO && codec != AV_CODEC_ID_MPEG4)
        return 0;
    // Where the container keeps no presentation times (AVI) a keyframe seems to wait one frame only,
    // however many B-frames follow it; the stream's own headers say whether it has B-frames at all.
    const int least = codec == AV_CODEC_ID_MPEG4 && source->codecpar->video_delay > 0 ? 1 : 0;
    return std::clamp(delayFrames - 1, least, 4);
}

RangeEncoder::RangeEncoder(const AVStream* source, std::int64_t from, std::int64_t to, int delayFrames)
    : source(source), from(from), to(to), bFrames(BFramesFor(source, delayFrames)) {
    decoder.emplace(source, [this](AVFrame* frame, std::int64_t pts) { Take(frame, pts); });
    decoderErrors = -DecoderErrors::Count();
}

void RangeEncoder::OpenEncoder(const AVFrame* first) {
    const PictureFormat picture{first->width, first->height, AVPixelFormat(first->format),
                                first->sample_aspect_ratio.num > 0 ? first->sample_aspect_ratio
                                                                   : source->codecpar->sample_aspect_ratio};
    std::string why;
    encoder = OpenFirstEncoder(source, picture, bFrames, why);
    if (!encoder)
        throw CutError{why};
}

RangeEncoder::~RangeEncoder() {
    if (encoder && !finished)
        Drain(encoder.get());
}

void RangeEncoder::Decode(const AVPacket* packet) {
    decoder->Send(packet);
}

void RangeEncoder::Finish() {
    decoder->Drain();
    decoderErrors += DecoderErrors::Count();
    if (encoder && !finished) {
        finished = true;
        avcodec_send_frame(encoder.get(), nullptr);
        ReceivePackets();
    }
}

void RangeEncoder::Take(AVFrame* frame, std::int64_t pts) {
    if (pts == AV_NOPTS_VALUE)
        return;
    if (pts >= from && pts < to)
        Encode(frame);
    else if (JoinChecks())
        sourcePictures[pts] = pts >= to ? std::optional(PictureDecoder::Digest(frame)) : std::nullopt;
}

void RangeEncoder::Encode(AVFrame* picture) {
    if (!encoder)
        OpenEncoder(picture);
    framePts.push_back(picture->best_effort_timestamp);
    frameDurations.push_back(picture->pkt_duration);
    picture->pts = std::int64_t(framePts.size() - 1);
    picture->pict_type = AV_PICTURE_TYPE_NONE;
    if (const int result = avcodec_send_frame(encoder.get(), picture); result < 0)
        throw CutError{"the video cannot be encoded: " + ErrorText(result)};
    ReceivePackets();
}

// A decoding time given as a frame number, which runs ahead of the first frame by the encoder's delay.
std::int64_t RangeEncoder::TimeOfFrame(std::int64_t index) const {
    if (index >= 0 && index < std::int64_t(framePts.size()))
        return framePts[std::size_t(index)];
    const std::int64_t step = av_rescale_q(1, av_inv_q(FrameRate(source)), source->time_base);
    return index < 0 ? framePts.front() + index * step
                     : framePts.back() + (index - std::int64_t(framePts.size()) + 1) * step;
}

void RangeEncoder::ReceivePackets() {
    for (;;) {
        PacketPtr packet = NewPacket();
        const int result = avcodec_receive_packet(encoder.get(), packet.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        if (result < 0)
            throw CutError{"the video cannot be encoded: " + ErrorText(result)};
        const std::int64_t index = packet->pts;
        if (index < 0 || index >= std::int64_t(framePts.size()))
            throw CutError{"the video encoder returned a frame it was not given"};
        const std::int64_t dtsIndex = packet->dts != AV_NOPTS_VALUE ? packet->dts : index;
        packet->pts = framePts[std::size_t(index)];
        packet->dts = bFrames > 0 ? TimeOfFrame(dtsIndex) : packet->pts;
        packet->duration = frameDurations[std::size_t(index)];
        packet->time_base = source->time_base;
        packets.push_back(std::move(packet));
    }
}

} // namespace Cut
