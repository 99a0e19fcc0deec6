#pragma once

#include "avhandles.h"

#include <cstdint>
#include <functional>

namespace Cut {

// The source's video decoder: it takes the stream's packets in file order and hands on each frame that
// comes out, with the time it is shown at (in the stream's ticks).
class PictureDecoder {
public:
    using FrameSink = std::function<void(AVFrame* frame, std::int64_t pts)>;

    // Throws CutError when the source's codec cannot be decoded here.
    PictureDecoder(const AVStream* source, FrameSink sink);

    // A damaged packet costs its own frames only; throws CutError on any other failure.
    void Send(const AVPacket* packet);
    // Puts out the frames still held after the last packet.
    void Drain();
    // Ready for packets from another keyframe on, with the buffers kept for them.
    void Reset();
    // Rough pictures, without the inverse transform and the loop filter, several times as fast: for
    // frames whose pictures do not matter, only their number, times and errors.
    void Rough(bool rough);

    // A digest of a frame's pictures: equal pictures, equal digests.
    static std::uint64_t Digest(const AVFrame* frame);

private:
    void Receive();

    CodecContextPtr context;
    FramePtr frame;
    FrameSink sink;
};

} // namespace Cut
