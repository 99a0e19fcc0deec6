#include "sizelimitedcut.h"

#include "contract/cliprequest.h"
#include "contract/sessionprotocol.h"
#include "cut/cuterror.h"
#include "cut/sourcereader.h"
#include "sizeplan.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace SizeLimit {

namespace {

// Reading stops this many packets after the size is used up: frames shown earlier than they are stored
// (B-frames) must still find their place.
constexpr int ReorderPackets = 64;
// A plan that came out too large is tried again this often with less room.
constexpr int Attempts = 6;

// The packets from the keyframe before the start until the size is used up (or the range ends).
std::vector<SizePlan::Packet> ReadPackets(Cut::SourceReader& reader, const Cut::CutRequest& request,
                                          std::int64_t maxBytes) {
    // What the cut writes, and nothing else, counts.
    const std::vector<bool> copied = Cut::CopiedStreams(request, reader);
    const AVStream* cutStream =
        reader.Video() && copied[std::size_t(reader.Video()->index)] ? reader.Video() : nullptr;
    const double end = request.start + request.length;
    reader.SeekTo(request.start);
    std::vector<SizePlan::Packet> packets;
    std::int64_t bytes = 0;
    int afterFull = 0;
    while (Cut::PacketPtr packet = reader.Read()) {
        const AVStream* stream = reader.Format()->streams[packet->stream_index];
        const std::int64_t time = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        // A stream that turns up after the start is not one the cut writes.
        const auto index = std::size_t(packet->stream_index);
        if (index >= copied.size() || !copied[index] || time == AV_NOPTS_VALUE)
            continue;
        SizePlan::Packet planned;
        planned.time = reader.Seconds(stream, time);
        planned.bytes = packet->size;
        planned.cuttable = cutStream ? stream == cutStream : true;
        planned.keyframe = (packet->flags & AV_PKT_FLAG_KEY) != 0;
        if (planned.cuttable && planned.time > end)
            break;
        packets.push_back(planned);
        if (planned.time >= request.start)
            bytes += planned.bytes;
        if (bytes > maxBytes && ++afterFull > ReorderPackets)
            break;
    }
    return packets;
}

std::string FileExtension(const std::string& path) {
    return std::filesystem::path(path).extension().string();
}

} // namespace

void CutWithin(Cut::CutRequest request, std::int64_t maxBytes, Cut::ProgressPrinter& printer,
               Cut::SourceCache& sources) {
    const double rangeEnd = request.start + request.length;
    const std::vector<SizePlan::Packet> packets =
        ReadPackets(sources.Open(request.source), request, maxBytes);
    const SizePlan::Overhead overhead = SizePlan::OverheadFor(FileExtension(request.output).c_str());
    const std::string limit = std::to_string(maxBytes) + " bytes";

    const bool keyframes = request.cutPoints == Cut::CutPoints::Keyframes;
    SizePlan::Request plan{request.start, rangeEnd, maxBytes, keyframes, keyframes};
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const auto end = SizePlan::PreferredEnd(packets, plan, overhead);
        if (!end && attempt == 0)
            throw Cut::CutError{keyframes
                                    ? "the frames from one keyframe to the next take more than " + limit +
                                          "; choose a larger size or exact cut points"
                                    : "a single frame takes more than " + limit + "; choose a larger size"};
        if (!end)
            break;
        const std::string stop = Contract::Record(Contract::ClipStopWord, Contract::SecondsText(*end));
        std::fwrite(stop.data(), 1, stop.size(), stderr);
        std::fflush(stderr);
        request.length = *end - request.start;
        Cut::CutClip(request, printer, sources);

        std::error_code error;
        const auto written = std::filesystem::file_size(request.output, error);
        if (error)
            throw Cut::CutError{"the written clip cannot be measured: " + error.message()};
        if (std::int64_t(written) <= maxBytes)
            return;
        // Re-encoded frames may take several times what the source's did: less room in proportion to
        // what the clip went over, and a little more, so that the next try rarely misses.
        plan.maxBytes = std::int64_t(double(plan.maxBytes) * double(maxBytes) / double(written) * 0.97);
    }
    std::error_code ignored;
    std::filesystem::remove(request.output, ignored);
    throw Cut::CutError{"the clip cannot be kept within " + limit};
}

} // namespace SizeLimit
