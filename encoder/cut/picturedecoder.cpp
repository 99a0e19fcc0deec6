#include "picturedecoder.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <cstring>

namespace Cut {

namespace {

const AVCodec* DecoderFor(AVCodecID codec) {
    // FFmpeg's own AV1 decoder needs hardware that decodes AV1; dav1d decodes it anywhere.
    if (codec == AV_CODEC_ID_AV1)
        if (const AVCodec* dav1d = avcodec_find_decoder_by_name("libdav1d"))
            return dav1d;
    return avcodec_find_decoder(codec);
}

} // namespace

PictureDecoder::PictureDecoder(const AVStream* source, FrameSink sink)
    : frame(NewFrame()), sink(std::move(sink)) {
    const AVCodec* codec = DecoderFor(source->codecpar->codec_id);
    context.reset(avcodec_alloc_context3(codec));
    if (!codec || !context || !frame || avcodec_parameters_to_context(context.get(), source->codecpar) < 0)
        throw CutError{"the video decoder cannot be set up"};
    context->pkt_timebase = source->time_base;
    context->thread_count = 0;
    if (const int result = avcodec_open2(context.get(), codec, nullptr); result < 0)
        throw CutError{"the video decoder cannot be opened: " + ErrorText(result)};
}

void PictureDecoder::Send(const AVPacket* packet) {
    int result = avcodec_send_packet(context.get(), packet);
    if (result == AVERROR(EAGAIN)) {
        Receive();
        result = avcodec_send_packet(context.get(), packet);
    }
    if (result < 0 && result != AVERROR_INVALIDDATA && result != AVERROR(EAGAIN) && result != AVERROR_EOF)
        throw CutError{"the video cannot be decoded: " + ErrorText(result)};
    Receive();
}

void PictureDecoder::Drain() {
    Send(nullptr);
}

void PictureDecoder::Reset() {
    avcodec_flush_buffers(context.get());
    Rough(false);
}

void PictureDecoder::Rough(bool rough) {
    context->skip_idct = rough ? AVDISCARD_ALL : AVDISCARD_DEFAULT;
    context->skip_loop_filter = rough ? AVDISCARD_ALL : AVDISCARD_DEFAULT;
}

void PictureDecoder::Receive() {
    for (;;) {
        const int result = avcodec_receive_frame(context.get(), frame.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        if (result == AVERROR_INVALIDDATA)
            continue;
        if (result < 0)
            throw CutError{"the video cannot be decoded: " + ErrorText(result)};
        sink(frame.get(), frame->best_effort_timestamp);
        av_frame_unref(frame.get());
    }
}

std::uint64_t PictureDecoder::Digest(const AVFrame* picture) {
    // Four independent lanes of multiply and rotate over 64-bit words, so that the processor overlaps
    // them; each row's tail byte by byte, and the padding left out.
    std::uint64_t lanes[4] = {0x9e3779b97f4a7c15ULL, 0xc2b2ae3d27d4eb4fULL, 0x165667b19e3779f9ULL,
                              0x85ebca77c2b2ae63ULL};
    const auto mix = [](std::uint64_t lane, std::uint64_t value) {
        lane ^= value * 0x87c37b91114253d5ULL;
        return ((lane << 31) | (lane >> 33)) * 0x4cf5ad432745937fULL;
    };
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(picture->format));
    if (!format)
        return 0;
    lanes[0] = mix(lanes[0], std::uint64_t(picture->width) << 32 | std::uint32_t(picture->height));
    for (int plane = 0; plane < 4 && picture->data[plane]; ++plane) {
        const int width = av_image_get_linesize(AVPixelFormat(picture->format), picture->width, plane);
        const bool chroma = plane == 1 || plane == 2;
        const int height = chroma ? AV_CEIL_RSHIFT(picture->height, format->log2_chroma_h) : picture->height;
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* line = picture->data[plane] + std::ptrdiff_t(row) * picture->linesize[plane];
            int at = 0;
            for (; at + 32 <= width; at += 32) {
                std::uint64_t words[4];
                std::memcpy(words, line + at, sizeof(words));
                for (int lane = 0; lane < 4; ++lane)
                    lanes[lane] = mix(lanes[lane], words[lane]);
            }
            for (; at < width; ++at)
                lanes[at & 3] = mix(lanes[at & 3], line[at]);
        }
    }
    return mix(mix(lanes[0], lanes[1]), mix(lanes[2], lanes[3]));
}

} // namespace Cut
