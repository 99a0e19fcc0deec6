#include "packedframes.h"

extern "C" {
#include <libavcodec/bsf.h>
}

namespace Cut {

PackedFrames::PackedFrames(AVStream* video) : video(video) {
    if (!video || video->codecpar->codec_id != AV_CODEC_ID_MPEG4)
        return;
    const AVBitStreamFilter* unpack = av_bsf_get_by_name("mpeg4_unpack_bframes");
    AVBSFContext* context = nullptr;
    if (!unpack || av_bsf_alloc(unpack, &context) < 0)
        throw CutError{"the MPEG-4 unpacking filter cannot be set up"};
    filter.reset(context);
    filter->time_base_in = video->time_base;
    if (avcodec_parameters_copy(filter->par_in, video->codecpar) < 0 || av_bsf_init(filter.get()) < 0 ||
        avcodec_parameters_copy(video->codecpar, filter->par_out) < 0)
        throw CutError{"the MPEG-4 unpacking filter cannot be set up"};
}

void PackedFrames::Put(PacketPtr packet) {
    if (!filter || packet->stream_index != video->index) {
        ready.push_back(std::move(packet));
        return;
    }
    if (av_bsf_send_packet(filter.get(), packet.get()) < 0)
        throw CutError{"the MPEG-4 video cannot be unpacked"};
    Receive();
}

void PackedFrames::Flush() {
    if (!filter)
        return;
    av_bsf_send_packet(filter.get(), nullptr);
    Receive();
}

void PackedFrames::Reset() {
    ready.clear();
    if (filter)
        av_bsf_flush(filter.get());
}

void PackedFrames::Receive() {
    for (;;) {
        PacketPtr packet = NewPacket();
        if (!packet)
            throw CutError{"out of memory"};
        const int result = av_bsf_receive_packet(filter.get(), packet.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return;
        if (result < 0)
            throw CutError{"the MPEG-4 video cannot be unpacked: " + ErrorText(result)};
        ready.push_back(std::move(packet));
    }
}

PacketPtr PackedFrames::Take() {
    if (ready.empty())
        return nullptr;
    PacketPtr packet = std::move(ready.front());
    ready.pop_front();
    return packet;
}

} // namespace Cut
