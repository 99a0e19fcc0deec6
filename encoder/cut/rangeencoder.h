#pragma once

#include "avhandles.h"
#include "picturedecoder.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Cut {

// Re-encodes the frames of a stretch of the source's video with the source's own codec and parameters:
// it decodes the packets that it is given, from a keyframe on, and encodes the frames whose time falls
// into [from, to). Each stretch gets its own encoder, so it begins with a keyframe and its own parameter
// sets, and nothing in it refers to frames outside. The frames that it decodes after the stretch are kept
// as digests: they are the source's own pictures, which the frames copied after it must decode to.
class RangeEncoder {
public:
    // Empty text when the source's codec can be re-encoded here; otherwise why not.
    static std::string Unsupported(const AVStream* source);

    // Times are in the source stream's time base. For MPEG-1/2 and MPEG-4 Part 2, whose readers take
    // picture times and output delay from the picture order, the encoder uses as many B-frames as the
    // source's decoding delay (in frames) implies; other codecs are encoded without reordering.
    RangeEncoder(const AVStream* source, std::int64_t from, std::int64_t to, int delayFrames = 0);
    ~RangeEncoder();
    RangeEncoder(const RangeEncoder&) = delete;
    RangeEncoder& operator=(const RangeEncoder&) = delete;

    // Whether the packets come in another order than their frames, with decoding times of their own.
    bool Reorders() const { return bFrames > 0; }

    // Feeds the next packet of the source's video, in file order; throws CutError.
    void Decode(const AVPacket* packet);
    // Drains the decoder and the encoder after the last packet.
    void Finish();

    // The source's frames that were decoded and not encoded, by their times, with the digests of the
    // pictures after the stretch (those that copied frames following it must decode to).
    const std::map<std::int64_t, std::optional<std::uint64_t>>& SourcePictures() const {
        return sourcePictures;
    }
    // The times of the frames encoded, in order.
    const std::vector<std::int64_t>& EncodedTimes() const { return framePts; }
    // The errors that the decoder reported between the first packet and Finish().
    long DecoderErrors() const { return decoderErrors; }

    // The encoded packets in order, with the times (source time base) of the frames they hold. The stream
    // has no reordering, so decoding order and display order are the same.
    std::vector<PacketPtr>& Packets() { return packets; }

private:
    // The decoding delay, in frames, that a source with this codec and these times needs mirrored.
    static int BFramesFor(const AVStream* source, int delayFrames);
    void OpenEncoder(const AVFrame* frame);
    void Take(AVFrame* frame, std::int64_t pts);
    void Encode(AVFrame* frame);
    void ReceivePackets();

    std::int64_t TimeOfFrame(std::int64_t index) const;

    const AVStream* source;
    std::int64_t from;
    std::int64_t to;
    int bFrames;
    std::optional<PictureDecoder> decoder;
    CodecContextPtr encoder;
    bool finished = false;
    std::map<std::int64_t, std::optional<std::uint64_t>> sourcePictures;
    long decoderErrors = 0;
    std::vector<std::int64_t> framePts;
    std::vector<std::int64_t> frameDurations;
    std::vector<PacketPtr> packets;
};

} // namespace Cut
