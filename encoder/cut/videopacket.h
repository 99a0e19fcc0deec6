#pragma once

#include "avhandles.h"

#include <cstdint>

namespace Cut {

// A video packet of the source with its times in the video's ticks, both always known.
struct VideoPacket {
    PacketPtr packet;
    std::int64_t pts = 0;
    std::int64_t dts = 0;
    bool key = false;
    bool hidden = false; // by the container's edit list

    static VideoPacket Of(PacketPtr packet) {
        VideoPacket entry;
        entry.pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        entry.dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        entry.key = packet->flags & AV_PKT_FLAG_KEY;
        entry.hidden = packet->flags & AV_PKT_FLAG_DISCARD;
        entry.packet = std::move(packet);
        return entry;
    }
};

} // namespace Cut
