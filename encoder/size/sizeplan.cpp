#include "sizeplan.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace SizePlan {

namespace {

// Times within this of each other are the same frame.
constexpr double SameTime = 1e-6;

bool IsTransportStream(std::string extension) {
    for (char& character : extension)
        character = char(std::tolower(static_cast<unsigned char>(character)));
    for (const char* stream : {".ts", ".m2ts", ".mts", ".mpg", ".mpeg", ".vob", ".m2t"})
        if (extension == stream)
            return true;
    return false;
}

std::int64_t Cost(const Packet& packet, const Overhead& overhead) {
    return packet.bytes + overhead.packetBytes + std::int64_t(double(packet.bytes) * overhead.payloadShare);
}

} // namespace

Overhead OverheadFor(const char* extension) {
    // Measured on Debian's sample videos and rounded up: an MP4 index costs about 16 bytes a packet, a
    // Matroska block header about 12, an AVI chunk with its index entry 24. Transport streams wrap every
    // 184 bytes in 188 and pad each packet's last one.
    if (IsTransportStream(extension ? extension : ""))
        return Overhead{8 * 1024, 200, 0.03};
    return Overhead{8 * 1024, 32, 0};
}

std::optional<double> LatestEnd(const std::vector<Packet>& packets, const Request& request,
                                const Overhead& overhead) {
    std::vector<Packet> sorted(packets);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Packet& a, const Packet& b) { return a.time < b.time; });

    // A cut between keyframes makes its first picture anew: it costs about what the keyframe before it does.
    // Cutting at keyframes, the clip starts at the keyframe nearest its start.
    double start = request.start;
    if (request.keyframeStart) {
        double nearest = -1;
        for (const Packet& packet : sorted)
            if (packet.cuttable && packet.keyframe &&
                (nearest < 0 || std::abs(packet.time - request.start) < std::abs(nearest - request.start)))
                nearest = packet.time;
        start = nearest >= 0 ? nearest : start;
    }

    std::int64_t used = overhead.fileBytes;
    if (!request.keyframeStart) {
        const Packet* keyframeBefore = nullptr;
        for (const Packet& packet : sorted) {
            if (packet.time >= request.start + SameTime)
                break;
            if (packet.cuttable && packet.keyframe)
                keyframeBefore = &packet;
        }
        // A start on a keyframe copies it; the keyframe before a start elsewhere is made anew.
        if (keyframeBefore && keyframeBefore->time < request.start - SameTime)
            used += Cost(*keyframeBefore, overhead);
    }

    std::optional<double> latest;
    for (const Packet& packet : sorted) {
        if (packet.time < start - SameTime)
            continue;
        if (packet.time >= request.end - SameTime)
            break;
        // A cut falls before this packet: the clip holds everything up to it.
        const bool cutHere =
            packet.cuttable && packet.time > start + SameTime && (!request.keyframeEnds || packet.keyframe);
        if (cutHere) {
            if (used > request.maxBytes)
                return latest;
            latest = packet.time;
        }
        used += Cost(packet, overhead);
    }
    return used <= request.maxBytes ? std::optional<double>(request.end) : latest;
}

std::optional<double> PreferredEnd(const std::vector<Packet>& packets, const Request& request,
                                   const Overhead& overhead) {
    const auto anyFrame = LatestEnd(packets, request, overhead);
    if (!anyFrame || request.keyframeEnds || *anyFrame >= request.end)
        return anyFrame;
    Request atKeyframes = request;
    atKeyframes.keyframeEnds = true;
    const auto keyframe = LatestEnd(packets, atKeyframes, overhead);
    return keyframe && *keyframe - request.start >= (*anyFrame - request.start) / 2 ? keyframe : anyFrame;
}

} // namespace SizePlan
