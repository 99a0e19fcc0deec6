#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where a clip of at most a given size ends, worked out from the sizes of the source's packets before
// anything is written.
namespace SizePlan {

struct Packet {
    // When the packet is shown, in seconds of the source.
    double time = 0;
    std::int64_t bytes = 0;
    // A packet of the stream whose frames the cuts fall on (the video, else every packet).
    bool cuttable = false;
    bool keyframe = false;
};

// What a clip costs besides its packets: the container's header and index, as bytes for the file and for
// each packet, and a share of the payload for containers that wrap packets in their own (transport streams).
struct Overhead {
    std::int64_t fileBytes = 0;
    std::int64_t packetBytes = 0;
    double payloadShare = 0;
};

// The container overhead assumed for an output file of that extension (with its dot, any case).
Overhead OverheadFor(const char* extension);

struct Request {
    double start = 0;
    // The range's end: a clip never goes past it.
    double end = 0;
    std::int64_t maxBytes = 0;
    // Ends only at keyframes; otherwise at any frame.
    bool keyframeEnds = false;
    // Starts at the keyframe nearest start (keyframe cut points); otherwise exactly at start.
    bool keyframeStart = false;
};

// The latest cut after request.start at which the clip's packets and overhead stay within maxBytes:
// request.end when all that is left fits, else the time of the first frame left out. Nothing when not
// even the first frame (or, cutting at keyframes, the first stretch up to the next keyframe) fits.
// packets: in any order, from at least the keyframe before start; those before it count only as the
// picture that a cut between keyframes has to make anew.
std::optional<double> LatestEnd(const std::vector<Packet>& packets, const Request& request,
                                const Overhead& overhead);

// The end for a clip that may stop at any frame: at a keyframe where that keeps at least half of what the
// latest frame would, since the next clip then starts with copied frames rather than re-encoded ones whose
// size can only be guessed.
std::optional<double> PreferredEnd(const std::vector<Packet>& packets, const Request& request,
                                   const Overhead& overhead);

} // namespace SizePlan
