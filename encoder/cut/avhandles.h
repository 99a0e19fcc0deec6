#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#include "cuterror.h"

#include <memory>
#include <string>

// Owning handles for FFmpeg's objects, so that every way out of a cut frees them.
namespace Cut {

struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct CodecContextDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct InputDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct OutputDeleter {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
struct FilterDeleter {
    void operator()(AVBSFContext* context) const { av_bsf_free(&context); }
};

using PacketPtr = std::unique_ptr<AVPacket, PacketDeleter>;
using FramePtr = std::unique_ptr<AVFrame, FrameDeleter>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextDeleter>;
using InputPtr = std::unique_ptr<AVFormatContext, InputDeleter>;
using OutputPtr = std::unique_ptr<AVFormatContext, OutputDeleter>;
using FilterPtr = std::unique_ptr<AVBSFContext, FilterDeleter>;

inline PacketPtr NewPacket() {
    return PacketPtr(av_packet_alloc());
}
inline FramePtr NewFrame() {
    return FramePtr(av_frame_alloc());
}

// FFmpeg's text for an error code.
inline std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof(text));
    return text;
}

} // namespace Cut
