#include "joincheck.h"

#include "decodererrors.h"
#include "picturedecoder.h"
#include "progressprinter.h"

#include <algorithm>
#include <cstdlib>

namespace Cut {

namespace {

std::string TimeOf(const AVStream* video, std::int64_t pts) {
    return ProgressPrinter::TimeText(double(pts) * av_q2d(video->time_base));
}

} // namespace

bool JoinChecks() {
    static const bool checks = [] {
        const char* unchecked = std::getenv("TESSEL_CUT_UNCHECKED");
        return !unchecked || std::string(unchecked) != "1";
    }();
    return checks;
}

JoinCheck::JoinCheck(const AVStream* video) : video(video) {
    // A source without video (a sound alone) has no joins to check.
    if (!video)
        return;
    const Bitstream::Bytes extradata(video->codecpar->extradata,
                                     video->codecpar->extradata + video->codecpar->extradata_size);
    lengthSize = Bitstream::NalLengthSize(video->codecpar->codec_id, extradata);
    parameterSets = Bitstream::ParameterSetsForPacket(video->codecpar->codec_id, extradata, lengthSize);
}

PacketPtr JoinCheck::Opening(const AVPacket* packet) const {
    PacketPtr opening = NewPacket();
    if (!opening || av_packet_ref(opening.get(), packet) < 0)
        throw CutError{"out of memory"};
    if (parameterSets.empty() || Bitstream::CarriesParameterSets(video->codecpar->codec_id, packet->data,
                                                                 std::size_t(packet->size), lengthSize))
        return opening;
    PacketPtr joined = NewPacket();
    if (!joined || av_new_packet(joined.get(), int(parameterSets.size()) + packet->size) < 0)
        throw CutError{"out of memory"};
    std::copy(parameterSets.begin(), parameterSets.end(), joined->data);
    std::copy(packet->data, packet->data + packet->size, joined->data + parameterSets.size());
    av_packet_copy_props(joined.get(), packet);
    return joined;
}

std::string JoinCheck::Problem(const std::vector<const OutPacket*>& packets,
                               std::vector<PlannedFrame> planned, long sourceErrors, std::size_t exactFrom) {
    if (!JoinChecks())
        return std::string();
    shown.clear();
    const long errorsBefore = DecoderErrors::Count();
    {
        const DecoderErrors::Hush hush;
        try {
            if (!decoder)
                decoder.emplace(video, [this](AVFrame* frame, std::int64_t pts) {
                    shown.emplace_back(pts, rough ? 0 : PictureDecoder::Digest(frame));
                });
            for (std::size_t i = 0; i < packets.size(); ++i) {
                if (i == 0 || i == exactFrom) {
                    rough = i < exactFrom;
                    decoder->Rough(rough);
                }
                decoder->Send(i == 0 ? Opening(packets[i]->packet.get()).get() : packets[i]->packet.get());
            }
            decoder->Drain();
            decoder->Reset();
        } catch (const CutError& error) {
            decoder.reset();
            return error.message;
        }
    }
    const long errors = DecoderErrors::Count() - errorsBefore;
    if (errors > sourceErrors)
        return "the decoder reports " + std::to_string(errors) + " errors";
    std::sort(planned.begin(), planned.end(),
              [](const PlannedFrame& one, const PlannedFrame& other) { return one.pts < other.pts; });
    std::sort(shown.begin(), shown.end());
    for (std::size_t i = 0; i < std::max(planned.size(), shown.size()); ++i) {
        if (i >= shown.size())
            return "the frame at " + TimeOf(video, planned[i].pts) + " is missing";
        if (i >= planned.size() || shown[i].first != planned[i].pts)
            return "a frame at " + TimeOf(video, shown[i].first) + " was not planned";
        if (planned[i].digest && *planned[i].digest != shown[i].second)
            return "the copied frame at " + TimeOf(video, shown[i].first) + " differs from the source's";
    }
    return std::string();
}

void PlanCopied(std::vector<PlannedFrame>& planned, const std::vector<const OutPacket*>& copied,
                const std::map<std::int64_t, std::optional<std::uint64_t>>& pictures, std::size_t decoded) {
    for (std::size_t i = 0; i < copied.size(); ++i)
        if (const auto found = pictures.find(copied[i]->pts); found != pictures.end())
            planned.push_back({copied[i]->pts, found->second});
        else if (i >= decoded)
            planned.push_back({copied[i]->pts, std::nullopt});
}

} // namespace Cut
