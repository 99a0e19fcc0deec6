#include "timefiller.h"

#include <algorithm>

namespace Cut {

namespace {

enum class PictureType { Unknown, Reference, Bidirectional };

// The coding type in the first picture header of an MPEG-1/2 packet, or of the first video object plane
// of an MPEG-4 Part 2 packet.
PictureType TypeOfPicture(const AVPacket* packet, bool mpeg4) {
    const std::uint8_t* data = packet->data;
    for (int i = 0; i + 5 < packet->size; ++i) {
        if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1)
            continue;
        if (!mpeg4 && data[i + 3] == 0)
            return ((data[i + 5] >> 3) & 7) == 3 ? PictureType::Bidirectional : PictureType::Reference;
        if (mpeg4 && data[i + 3] == 0xb6)
            return (data[i + 4] >> 6) == 2 ? PictureType::Bidirectional : PictureType::Reference;
    }
    return PictureType::Unknown;
}

} // namespace

std::int64_t FrameTicks(const AVStream* video) {
    const AVRational rate = video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return 1;
    return std::max<std::int64_t>(1, av_rescale_q(1, av_inv_q(rate), video->time_base));
}

TimeFiller::TimeFiller(const AVStream* video) : video(video) {
    const AVCodecID codec = video ? video->codecpar->codec_id : AV_CODEC_ID_NONE;
    mpeg4 = codec == AV_CODEC_ID_MPEG4;
    mpegPictures = mpeg4 || codec == AV_CODEC_ID_MPEG2VIDEO || codec == AV_CODEC_ID_MPEG1VIDEO;
}

void TimeFiller::Put(PacketPtr packet) {
    if (!video || packet->stream_index != video->index) {
        ready.push_back(std::move(packet));
        return;
    }
    if (mpegPictures && packet->dts != AV_NOPTS_VALUE)
        PutMpegPicture(std::move(packet));
    else
        PutWithoutDecodingTime(std::move(packet));
}

void TimeFiller::PutMpegPicture(PacketPtr packet) {
    if (TypeOfPicture(packet.get(), mpeg4) == PictureType::Bidirectional) {
        if (packet->pts == AV_NOPTS_VALUE)
            packet->pts = packet->dts;
        (held.empty() ? ready : held).push_back(std::move(packet));
        return;
    }
    // An I or P picture: the one held before it is shown now.
    if (!held.empty()) {
        if (held.front()->pts == AV_NOPTS_VALUE)
            held.front()->pts = packet->dts;
        Release();
    }
    (packet->pts == AV_NOPTS_VALUE ? held : ready).push_back(std::move(packet));
}

void TimeFiller::PutWithoutDecodingTime(PacketPtr packet) {
    if (packet->dts == AV_NOPTS_VALUE) {
        held.push_back(std::move(packet));
        return;
    }
    // The first known decoding time: the packets before it decoded one frame apart.
    const std::int64_t step = FrameTicks(video);
    std::int64_t dts = packet->dts;
    for (auto entry = held.rbegin(); entry != held.rend(); ++entry) {
        dts -= step;
        (*entry)->dts = (*entry)->pts != AV_NOPTS_VALUE ? std::min(dts, (*entry)->pts) : dts;
        dts = (*entry)->dts;
    }
    Release();
    ready.push_back(std::move(packet));
}

void TimeFiller::Release() {
    while (!held.empty()) {
        ready.push_back(std::move(held.front()));
        held.pop_front();
    }
}

void TimeFiller::Flush() {
    const std::int64_t step = FrameTicks(video);
    std::int64_t last = AV_NOPTS_VALUE;
    for (const PacketPtr& packet : held)
        for (const std::int64_t time : {packet->pts, packet->dts})
            if (time != AV_NOPTS_VALUE)
                last = last == AV_NOPTS_VALUE ? time : std::max(last, time);
    if (!held.empty() && held.front()->pts == AV_NOPTS_VALUE && last != AV_NOPTS_VALUE)
        held.front()->pts = last + step;
    for (const PacketPtr& packet : held)
        if (packet->dts == AV_NOPTS_VALUE)
            packet->dts = packet->pts;
    Release();
}

PacketPtr TimeFiller::Take() {
    if (ready.empty())
        return nullptr;
    PacketPtr packet = std::move(ready.front());
    ready.pop_front();
    return packet;
}

} // namespace Cut
