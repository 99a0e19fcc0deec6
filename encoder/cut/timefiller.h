#pragma once

#include "avhandles.h"

#include <deque>

namespace Cut {

// One frame's time in the stream's time base, from its frame rate; 1 when the rate is unknown.
std::int64_t FrameTicks(const AVStream* video);

// Fills in the times that a demuxer leaves out of video packets, so that every packet has both:
// - MPEG program streams (and some transport streams) give MPEG-1/2 pictures a presentation time only now
//   and then, and AVI gives MPEG-4 Part 2 pictures none. A B picture is shown as it is decoded, and an I or
//   P picture when the next I or P picture is decoded, so a missing time follows from the decoding times.
// - Matroska stores no decoding times; FFmpeg derives them from the presentation times of the packets
//   that follow, which leaves the first packets after a seek without one. They get the times one frame
//   apart before the first derived one.
// Video packets are held back until their times are known; packets of other streams pass at once.
class TimeFiller {
public:
    explicit TimeFiller(const AVStream* video);

    void Put(PacketPtr packet);
    // The end of the file: the packets still held get the times that follow the last ones.
    void Flush();
    // The next packet whose times are known, or nullptr.
    PacketPtr Take();

private:
    void PutMpegPicture(PacketPtr packet);
    void PutWithoutDecodingTime(PacketPtr packet);
    void Release();

    const AVStream* video;
    bool mpegPictures = false;
    bool mpeg4 = false;
    std::deque<PacketPtr> held;
    std::deque<PacketPtr> ready;
};

} // namespace Cut
