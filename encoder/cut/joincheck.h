#pragma once

#include "picturedecoder.h"
#include "videooutput.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Cut {

// Whether joins are checked at all: a benchmark leaves the check out (TESSEL_CUT_UNCHECKED=1) to measure
// what it costs; the program always checks.
bool JoinChecks();

// A frame that a stretch of the clip is meant to show: its time, and for a copied frame the digest of
// the source's picture that it must decode to.
struct PlannedFrame {
    std::int64_t pts = 0;
    std::optional<std::uint64_t> digest;
};

// Decodes a stretch of the clip that holds a join of re-encoded and copied frames, from its packets as
// they will be written, with the source's decoder. The stretch is right when the decoder reports no more
// errors than it did on the source there and shows exactly the planned frames, each copied one with the
// source's picture. One check serves all the clips of a source: its decoder's buffers are costly to make.
class JoinCheck {
public:
    explicit JoinCheck(const AVStream* video);

    // Empty when the stretch is right, else what is wrong. The packets before exactFrom hold no planned
    // picture (they are re-encoded, or copied ahead of a re-encoded end, which cannot change them), so
    // they are decoded roughly.
    std::string Problem(const std::vector<const OutPacket*>& packets, std::vector<PlannedFrame> planned,
                        long sourceErrors, std::size_t exactFrom);

private:
    // The first packet of a stretch, with the source's parameter sets in front: the decoder, kept from
    // the stretch before, is then in the state that a new one would be in.
    PacketPtr Opening(const AVPacket* packet) const;

    const AVStream* video;
    Bitstream::Bytes parameterSets;
    int lengthSize = 0;
    std::optional<PictureDecoder> decoder;
    std::vector<std::pair<std::int64_t, std::uint64_t>> shown;
    bool rough = false;
};

// The planned frames of copied packets, by the frames that the source's decoder put out for the first
// decoded of them, with the digests of their pictures where they were kept; the frames of the packets
// after those count as planned.
void PlanCopied(std::vector<PlannedFrame>& planned, const std::vector<const OutPacket*>& copied,
                const std::map<std::int64_t, std::optional<std::uint64_t>>& pictures, std::size_t decoded);

} // namespace Cut
