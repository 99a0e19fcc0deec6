#include "decodererrors.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include <atomic>
#include <cstring>

namespace Cut::DecoderErrors {

namespace {

std::atomic<long> errors{0};
std::atomic<int> hushed{0};

bool FromDecoder(void* context) {
    if (!context)
        return false;
    const AVClass* type = *static_cast<const AVClass**>(context);
    if (!type || std::strcmp(type->class_name, "AVCodecContext") != 0)
        return false;
    const AVCodec* codec = static_cast<const AVCodecContext*>(context)->codec;
    return codec && av_codec_is_decoder(codec);
}

void Log(void* context, int level, const char* format, va_list arguments) {
    const bool decoderError = level <= AV_LOG_ERROR && FromDecoder(context);
    if (decoderError)
        ++errors;
    if (decoderError && hushed > 0)
        return;
    av_log_default_callback(context, level, format, arguments);
}

} // namespace

void Install() {
    av_log_set_callback(Log);
}

long Count() {
    return errors;
}

Hush::Hush() {
    ++hushed;
}

Hush::~Hush() {
    --hushed;
}

} // namespace Cut::DecoderErrors
