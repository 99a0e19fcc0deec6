#include "cutterstages.h"

namespace Cut {

// Reads on until the head of the clip is settled: the frame shown at the start is known, and so is the
// first keyframe after it, with the frames that come after that keyframe in the file but are shown
// before it.
void ClipCutter::CollectHead() {
    bool keyframeSeen = false;
    bool passedStart = false;
    std::int64_t nextKey = AV_NOPTS_VALUE;
    bool nextKeySettled = false;
    auto settled = [&](const AVPacket* packet) {
        if (packet->stream_index != video->index)
            return false;
        const std::int64_t pts = PtsOf(packet);
        const std::int64_t dts = DtsOf(packet);
        const bool key = packet->flags & AV_PKT_FLAG_KEY;
        keyframeSeen = keyframeSeen || key;
        if (!keyframeSeen)
            return false;
        passedStart = passedStart || dts > startLimit;
        if (nextKey != AV_NOPTS_VALUE && pts > nextKey)
            nextKeySettled = true;
        if (key && nextKey == AV_NOPTS_VALUE && pts > startLimit)
            nextKey = pts;
        // A keyframe past the end settles nothing: the whole clip is then re-encoded, up to its end.
        const bool keyInside = nextKey != AV_NOPTS_VALUE && (endLimit == Open || nextKey <= endLimit);
        // At keyframes the start may move to the keyframe after it, which then has to be known.
        const bool pastEnd = endLimit != Open && dts > endLimit && (exact || nextKey != AV_NOPTS_VALUE);
        return (passedStart && nextKeySettled && keyInside) || pastEnd;
    };
    for (const PacketPtr& packet : lead)
        if (settled(packet.get()))
            return;
    while (PacketPtr packet = reader.Read()) {
        const bool done = settled(packet.get());
        lead.push_back(std::move(packet));
        if (done)
            return;
    }
    leadReachedEnd = true;
}

std::size_t ClipCutter::StartVideo() {
    std::vector<std::size_t> videoAt;
    std::vector<PacketTimes> times;
    for (std::size_t i = 0; i < lead.size(); ++i)
        if (lead[i]->stream_index == video->index) {
            videoAt.push_back(i);
            times.push_back(
                {PtsOf(lead[i].get()), DtsOf(lead[i].get()), bool(lead[i]->flags & AV_PKT_FLAG_KEY)});
        }
    HeadRequest asked;
    asked.startTicks = clipStart;
    asked.startLimit = startLimit;
    asked.endLimit = endLimit;
    asked.start = request.start;
    asked.exact = exact;
    asked.reachedEnd = leadReachedEnd;
    asked.duration = reader.Duration();
    asked.frameTicks = FrameTicks(video);
    asked.seconds = [this](std::int64_t ticks) { return Seconds(ticks); };
    const HeadPlan plan = PlanHead(times, asked);
    if (plan.kind == HeadPlan::Kind::Nothing)
        return lead.size();
    clipStart = clipEndAtLeast = plan.clipStart;
    UpdateBounds();
    if (plan.moved)
        printer.Note("the clip starts at " + TimeText(clipStart) + " instead of " +
                     ProgressPrinter::TimeText(request.start) + ", at the nearest keyframe");
    decodeDelay = plan.decodeDelay;
    if (plan.kind == HeadPlan::Kind::Copy) {
        others.VideoWritten(StreamTime(clipStart, video->time_base));
        bodyKeyPts = times[plan.copyFrom].pts;
        skippingLeading = true;
        return videoAt[plan.copyFrom];
    }
    head.emplace();
    head->startKey = times[plan.decodeFrom].pts;
    for (std::size_t v = plan.decodeFrom; v < plan.copyFrom; ++v)
        head->source.push_back(VideoPacket::Of(Reference(lead[videoAt[v]].get())));
    if (plan.kind == HeadPlan::Kind::EncodeAll) {
        // No keyframe inside the clip: all of it is re-encoded, and the video is complete.
        videoDone = true;
        clipEnd = plan.encodeTo;
        UpdateBounds();
        if (const std::string problem = EncodeWholeClip(); !problem.empty())
            throw CutError{"the re-encoded clip does not decode right: " + problem};
        return lead.size();
    }
    std::vector<const VideoPacket*> before;
    for (const VideoPacket& entry : head->source)
        before.push_back(&entry);
    head->encoder = Encoder(clipStart, plan.encodeTo, before);
    bodyKeyPts = times[plan.copyFrom].pts;
    skippingLeading = true;
    return videoAt[plan.copyFrom];
}

std::unique_ptr<RangeEncoder> ClipCutter::Encoder(std::int64_t from, std::int64_t to,
                                                  const std::vector<const VideoPacket*>& packets) const {
    auto encoder = std::make_unique<RangeEncoder>(video, from, to, DelayFrames());
    const Bitstream::Bytes& version = reader.EncoderVersion();
    for (const VideoPacket* entry : packets) {
        const AVPacket* packet = entry->packet.get();
        if (entry == packets.front() && !version.empty()) {
            const int lengthSize = Bitstream::NalLengthSize(
                video->codecpar->codec_id,
                Bitstream::Bytes(video->codecpar->extradata,
                                 video->codecpar->extradata + video->codecpar->extradata_size));
            if (Bitstream::EncoderVersionUnits(video->codecpar->codec_id, packet->data,
                                               std::size_t(packet->size), lengthSize)
                    .empty()) {
                Bitstream::Bytes joined = version;
                joined.insert(joined.end(), packet->data, packet->data + packet->size);
                PacketPtr primed = NewPacket();
                if (!primed || av_new_packet(primed.get(), int(joined.size())) < 0)
                    throw CutError{"out of memory"};
                std::copy(joined.begin(), joined.end(), primed->data);
                av_packet_copy_props(primed.get(), packet);
                encoder->Decode(primed.get());
                continue;
            }
        }
        encoder->Decode(packet);
    }
    return encoder;
}

int ClipCutter::DelayFrames() const {
    const double frame =
        1 / av_q2d(video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate);
    return int(std::lround(double(decodeDelay) * av_q2d(video->time_base) / frame));
}

// The first copied GOP is complete. First try: the head as planned, then the copied frames; second: the
// head re-encoded through that GOP, checked with the GOP after it; last: the clip starts at the keyframe
// before the start, and nothing is re-encoded.
void ClipCutter::ResolveHead(const VideoPacket& next) {
    if (head->level == 1) {
        if (TryHead(*head->encoder, 1 + head->copiedDecoded, {}))
            return;
        printer.Note("the join after the re-encoded start did not decode right at " + TimeText(bodyKeyPts) +
                     ", so its whole GOP is re-encoded");
        head->level = 2;
        head->encoder.reset();
        // The copy begins with the keyframe that has come; the frames shown before it join the head.
        bodyKeyPts = next.pts;
        decodeDelay = std::max<std::int64_t>(0, next.pts - next.dts);
        skippingLeading = true;
        return;
    }
    std::vector<const VideoPacket*> source;
    for (const VideoPacket& entry : head->source)
        source.push_back(&entry);
    const std::unique_ptr<RangeEncoder> encoder = Encoder(clipStart, gop.front().pts, source);
    if (TryHead(*encoder, gop.size(), {}))
        return;
    StartAtKeyframe(head->source.size());
    head.reset();
}

// Checks the head's encoded frames followed by the copied GOP (and the re-encoded tail, where the clip ends
// inside that GOP), and writes them when right.
bool ClipCutter::TryHead(RangeEncoder& encoder, std::size_t decodedCopies, std::optional<TailSplit> tail) {
    encoder.Finish();
    std::vector<OutPacket> packets = output->Encoded(encoder, decodeDelay);
    const std::size_t encoded = packets.size();
    output->JoinFollows();
    const std::size_t copied = tail ? tail->copied : gop.size();
    for (std::size_t i = 0; i < copied; ++i)
        packets.push_back(output->Copied(gop[i]));
    // Where the clip goes on after the GOP, its first frames are checked; where it ends in it, all are.
    const std::size_t checked = tail ? copied : std::min(copied, CheckedFrames);
    std::vector<PlannedFrame> planned;
    Append(planned, encoder.EncodedTimes());
    std::vector<const OutPacket*> all = Pointers(packets);
    all.resize(encoded + checked);
    PlanCopied(planned, {all.begin() + std::ptrdiff_t(encoded), all.end()}, encoder.SourcePictures(),
               decodedCopies);
    long sourceErrors = encoder.DecoderErrors();
    if (tail && tail->encodeFrom < clipEnd) {
        const std::unique_ptr<RangeEncoder> end = Encoder(tail->encodeFrom, clipEnd, TailSource());
        end->Finish();
        std::vector<OutPacket> last = output->Encoded(*end, std::min(decodeDelay, FrameTicks(video)));
        Append(planned, end->EncodedTimes());
        sourceErrors += end->DecoderErrors();
        for (OutPacket& packet : last)
            packets.push_back(std::move(packet));
        all = Pointers(packets);
    }
    const std::string problem = check.Problem(all, planned, sourceErrors, encoded);
    if (!problem.empty())
        return false;
    WriteAll(packets);
    head.reset();
    return true;
}

// The last try: the clip starts at the keyframe that decoding began with, and the first count packets
// from it are copied, once they are checked to decode to the source's pictures.
void ClipCutter::StartAtKeyframe(std::size_t count) {
    clipStart = head->startKey;
    UpdateBounds();
    output->Restart();
    printer.Note("the clip starts at " + TimeText(clipStart) + " instead of " +
                 ProgressPrinter::TimeText(request.start) +
                 ", at the keyframe before it: its re-encoded start did not decode right");
    if (count == 0)
        return;
    std::vector<const VideoPacket*> source;
    for (std::size_t i = 0; i < count; ++i)
        source.push_back(&head->source[i]);
    // A reference decoder that encodes nothing keeps the source's pictures of all the frames.
    const std::unique_ptr<RangeEncoder> reference = Encoder(clipStart, clipStart, source);
    reference->Finish();
    std::vector<OutPacket> packets;
    for (const VideoPacket* entry : source)
        if (entry == source.front() || entry->pts >= clipStart)
            packets.push_back(output->Copied(*entry));
    std::vector<PlannedFrame> planned;
    PlanCopied(planned, Pointers(packets), reference->SourcePictures(), packets.size());
    const std::string problem = check.Problem(Pointers(packets), planned, reference->DecoderErrors(), 0);
    if (!problem.empty())
        throw CutError{"the clip does not decode right even from the keyframe before its start: " + problem};
    WriteAll(packets);
}

// Re-encodes the clip's frames from the keyframe before its start to its end, and writes them once they
// decode right. Returns what is wrong otherwise.
std::string ClipCutter::EncodeWholeClip() {
    std::vector<const VideoPacket*> source;
    for (const VideoPacket& entry : head->source)
        source.push_back(&entry);
    const std::unique_ptr<RangeEncoder> encoder = Encoder(clipStart, clipEnd, source);
    encoder->Finish();
    std::vector<OutPacket> packets = output->Encoded(*encoder, 0);
    std::vector<PlannedFrame> planned;
    Append(planned, encoder->EncodedTimes());
    const std::string problem =
        check.Problem(Pointers(packets), planned, encoder->DecoderErrors(), packets.size());
    if (problem.empty()) {
        WriteAll(packets);
        head.reset();
    }
    return problem;
}

} // namespace Cut
