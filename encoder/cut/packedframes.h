#pragma once

#include "avhandles.h"

#include <deque>

namespace Cut {

// MPEG-4 Part 2 video as DivX and XviD stored it in AVI: a B-frame packed into the packet of the frame
// before it, and a placeholder packet where it belongs. The packets pass through FFmpeg's unpacking
// filter, so that every packet holds one frame in its own place; other codecs pass unchanged.
class PackedFrames {
public:
    // Unpacks the video stream's packets when its codec may pack them, and gives the stream the
    // parameters of the unpacked video (its headers no longer announce packed frames).
    explicit PackedFrames(AVStream* video);

    void Put(PacketPtr packet);
    // The end of the file: a frame still held comes out.
    void Flush();
    // After a seek: nothing held belongs to the new position.
    void Reset();
    // The next packet, or nullptr when none is ready.
    PacketPtr Take();

private:
    void Receive();

    const AVStream* video;
    FilterPtr filter;
    std::deque<PacketPtr> ready;
};

} // namespace Cut
