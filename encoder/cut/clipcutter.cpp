#include "clipcutter.h"

#include "clipwriter.h"
#include "headplan.h"
#include "joincheck.h"
#include "otherstreams.h"
#include "rangeencoder.h"
#include "sourcereader.h"
#include "tailsplit.h"
#include "videooutput.h"
#include "videopacket.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <optional>

namespace Cut {

namespace {

constexpr std::int64_t Open = StreamTime::OpenTicks;
// A frame counts as shown at a time when it starts no later than a tenth of a millisecond after it, which
// absorbs the rounding of times that are meant to fall on a frame.
constexpr double Tolerance = 0.0001;
// How far back the search for a keyframe before the start goes, in seconds, before it reads from the start.
constexpr double SeekMargins[] = {0, 0.5, 1, 2, 4, 8, 16, 32, 64, 128};
constexpr const char* NoFramesBetweenKeys =
    "the clip holds no video frames: its start and its end move to the same keyframe (exact cut points can "
    "cut it)";
// The copied GOP after a re-encoded head is checked over this many frames from its keyframe, as many as
// a decoder may hold back for reordering: whatever the join leaves wrong in the decoder shows from the
// keyframe on, and the rest of the GOP would cost decoding time without telling more.
constexpr std::size_t CheckedFrames = 16;
// Audio is not waited for further than this past the video's end of the clip.
constexpr double AudioLagLimit = 10;

std::int64_t PtsOf(const AVPacket* packet) {
    return packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
}

std::int64_t DtsOf(const AVPacket* packet) {
    return packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
}

PacketPtr Reference(const AVPacket* packet) {
    PacketPtr copy(av_packet_clone(packet));
    if (!copy)
        throw CutError{"out of memory"};
    return copy;
}

std::vector<const OutPacket*> Pointers(const std::vector<OutPacket>& packets) {
    std::vector<const OutPacket*> pointers;
    for (const OutPacket& packet : packets)
        pointers.push_back(&packet);
    return pointers;
}

void Append(std::vector<PlannedFrame>& planned, const std::vector<std::int64_t>& encoded) {
    for (const std::int64_t pts : encoded)
        planned.push_back({pts, std::nullopt});
}

// The clip's head while its join with the copied frames is not yet checked: every video packet from the
// keyframe that decoding begins with, and the encoder of the head, which also decodes the copied frames
// that follow to know the source's pictures.
struct PendingHead {
    int level = 1;
    std::int64_t startKey = 0;             // the keyframe before the start
    std::vector<VideoPacket> source;       // from the keyframe before the start, in file order
    std::unique_ptr<RangeEncoder> encoder; // the first try's
    std::size_t copiedDecoded = 0;         // copied packets that the encoder has decoded for their pictures
};

class ClipCutter {
public:
    ClipCutter(const CutRequest& request, ProgressPrinter& printer, SourceReader& reader, JoinCheck& check)
        : request(request), printer(printer), reader(reader), check(check),
          writer(request.output, request.overwrite), others(writer, printer) {}

    void Run();

private:
    void ChooseStreams();
    void Locate();
    bool LandedBeforeStart(double margin);
    void CollectHead();
    // Plans and begins the video: returns where in lead the copied video begins.
    std::size_t StartVideo();
    void BodyVideo(PacketPtr packet);
    void Feed(const VideoPacket& entry);
    void EndOfGop(const VideoPacket& next);
    // The video of the clip is complete: after is the first packet past its end, or nullptr at the end of
    // the file.
    void FinishVideo(const VideoPacket* after);
    void FinishKeyframeEnd(const VideoPacket* after);

    // Exact joins: each is checked before it is written, and redone at the next safe level when wrong.
    void ResolveHead(const VideoPacket& next);
    // decodedCopies: how many of the GOP's packets the encoder has decoded for their pictures.
    bool TryHead(RangeEncoder& encoder, std::size_t decodedCopies, std::optional<TailSplit> tail);
    void StartAtKeyframe(std::size_t count);
    std::string EncodeWholeClip();
    void FinishWithHead();
    void FinishExactTail();
    bool TryTail(const TailSplit& split);

    // A range encoder that has decoded these packets, the first with the encoder's version in front.
    std::unique_ptr<RangeEncoder> Encoder(std::int64_t from, std::int64_t to,
                                          const std::vector<const VideoPacket*>& packets) const;
    std::vector<const VideoPacket*> TailSource() const;
    void WriteAll(std::vector<OutPacket>& packets);
    void WriteGop();
    void ReadToTheEnd();
    int DelayFrames() const;
    double Seconds(std::int64_t videoTime) const { return reader.Seconds(video, videoTime); }
    std::string TimeText(std::int64_t videoTime) const {
        return ProgressPrinter::TimeText(Seconds(videoTime));
    }
    void UpdateBounds();

    const CutRequest& request;
    ProgressPrinter& printer;
    SourceReader& reader;
    JoinCheck& check;
    ClipWriter writer;
    OtherStreams others;
    AVStream* video = nullptr;
    std::optional<VideoOutput> output;
    bool exact = true;

    // Video times of the cut, in the video's ticks: what was asked for, with the tolerance, and the times
    // of the frames that are really first and first after the clip once they are known.
    std::int64_t startLimit = 0;
    std::int64_t endLimit = Open;
    std::int64_t clipStart = 0;
    std::int64_t clipEnd = Open;
    std::int64_t clipEndAtLeast = 0;
    // The first of the frames that the container hides at the end of the video.
    std::int64_t hiddenFrom = Open;
    // A clip without video is cut on the file's clock.
    StreamTime timedStart;
    StreamTime timedEnd;

    std::deque<PacketPtr> lead;
    std::vector<VideoPacket> gop;
    std::vector<VideoPacket> previousGop;
    std::optional<PendingHead> head;
    // The video of the clip is written, so its end is known.
    bool videoDone = false;
    bool leadReachedEnd = false;
    std::int64_t bodyKeyPts = AV_NOPTS_VALUE;
    bool skippingLeading = false;
    std::int64_t decodeDelay = 0;
};

void ClipCutter::Run() {
    ChooseStreams();
    writer.Open();
    Locate();
    std::size_t bodyFrom = lead.size();
    if (video) {
        CollectHead();
        bodyFrom = StartVideo();
    } else {
        videoDone = true;
        others.Flush();
    }
    for (std::size_t i = 0; i < lead.size(); ++i) {
        PacketPtr packet = std::move(lead[i]);
        if (!video || packet->stream_index != video->index)
            others.Put(std::move(packet));
        else if (i >= bodyFrom)
            BodyVideo(std::move(packet));
    }
    lead.clear();
    ReadToTheEnd();
    if (video && !videoDone)
        FinishVideo(nullptr);
    others.Flush();
    if (video && !output->Wrote())
        throw CutError{exact ? "the clip holds no video frames: no frame of the source falls into it"
                             : NoFramesBetweenKeys};
    writer.Finish();
    printer.Progress(request.length, true);
}

void ClipCutter::ChooseStreams() {
    AVFormatContext* format = reader.Format();
    if (request.video && reader.Video() && writer.CanHold(reader.Video())) {
        video = reader.Video();
        writer.AddStream(video);
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        const bool wanted = (type == AVMEDIA_TYPE_AUDIO && request.audio) ||
                            (type == AVMEDIA_TYPE_SUBTITLE && request.subtitles);
        if (wanted && writer.CanHold(stream)) {
            writer.AddStream(stream);
            others.Add(stream);
        }
    }
    if (!video && others.Empty())
        throw CutError{"the source has no stream that the clip can hold"};

    const double start = request.start;
    const double end = request.start + request.length;
    const double duration = reader.Duration();
    // The length is given to the millisecond: an end in the last one keeps the last frame.
    const bool toTheEnd = duration > 0 && end >= duration - 0.0005;
    if (!video) {
        const AVRational micro{1, AV_TIME_BASE};
        timedStart = StreamTime(reader.FileTime(start), micro);
        timedEnd = toTheEnd
                       ? StreamTime::Open(micro)
                       : StreamTime(timedStart.Ticks() + std::llround(request.length * AV_TIME_BASE), micro);
        others.SetBounds(timedStart, timedEnd);
        others.TimeTheClip();
        return;
    }
    output.emplace(writer, video, reader.EncoderVersion(), printer);
    startLimit = reader.StreamTime(video, start + Tolerance);
    endLimit = toTheEnd ? Open : reader.StreamTime(video, end + Tolerance);
    clipStart = reader.StreamTime(video, start);
    clipEndAtLeast = clipStart;
    exact = request.cutPoints == CutPoints::Exact;
    // Every frame of an intra-only codec (MJPEG, DV, ProRes, FFV1, ...) is a keyframe: its cuts are exact
    // without re-encoding anything.
    const AVCodecDescriptor* codec = avcodec_descriptor_get(video->codecpar->codec_id);
    const bool intraOnly = codec && (codec->props & AV_CODEC_PROP_INTRA_ONLY);
    if (exact && !intraOnly) {
        const std::string why = RangeEncoder::Unsupported(video);
        if (!why.empty()) {
            exact = false;
            printer.Note(why + ", so this clip is cut at keyframes");
        }
    }
}

void ClipCutter::UpdateBounds() {
    output->SetClipStart(clipStart);
    others.SetBounds(StreamTime(clipStart, video->time_base), clipEnd == Open
                                                                  ? StreamTime::Open(video->time_base)
                                                                  : StreamTime(clipEnd, video->time_base));
}

// Reads from a point where decoding can begin at or before the start: for video a keyframe no later than
// the start, for audio a packet no later than it. Some demuxers land behind the keyframe that the start
// needs (MPEG transport streams), so the seek goes further back until it does.
void ClipCutter::Locate() {
    for (const double margin : SeekMargins) {
        lead.clear();
        reader.SeekTo(request.start - margin);
        if (LandedBeforeStart(margin) || request.start - margin <= 0)
            return;
    }
    lead.clear();
    reader.SeekTo(0);
    LandedBeforeStart(request.start);
}

bool ClipCutter::LandedBeforeStart(double margin) {
    const bool fromTheStart = request.start - margin <= 0;
    std::map<int, bool> audioSeen;
    const std::size_t audioCount = others.AudioCount();
    bool keyframeSeen = !video;
    for (;;) {
        PacketPtr packet = reader.Read();
        if (!packet)
            return true;
        const AVStream* stream = reader.Format()->streams[packet->stream_index];
        const std::int64_t pts = PtsOf(packet.get());
        if (video && stream == video) {
            if (!keyframeSeen && (packet->flags & AV_PKT_FLAG_KEY)) {
                keyframeSeen = true;
                if (pts != AV_NOPTS_VALUE && pts > startLimit && !fromTheStart)
                    return false;
            }
            // Audio that never comes near the start (a stream that ends early) is not waited for.
            if (keyframeSeen &&
                DtsOf(packet.get()) > reader.StreamTime(video, request.start + AudioLagLimit)) {
                lead.push_back(std::move(packet));
                return true;
            }
        } else if (others.Holds(packet->stream_index) && stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO &&
                   !audioSeen[packet->stream_index]) {
            audioSeen[packet->stream_index] = true;
            const std::int64_t start = reader.StreamTime(stream, request.start);
            if (pts != AV_NOPTS_VALUE && pts > start && !fromTheStart)
                return false;
        }
        lead.push_back(std::move(packet));
        if (keyframeSeen && audioSeen.size() >= audioCount)
            return true;
    }
}

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

void ClipCutter::BodyVideo(PacketPtr packet) {
    if (videoDone)
        return;
    VideoPacket entry = VideoPacket::Of(std::move(packet));
    if (exact && endLimit != Open && entry.dts > endLimit) {
        FinishVideo(&entry);
        return;
    }
    if (skippingLeading && entry.pts != bodyKeyPts) {
        if (entry.pts < bodyKeyPts) {
            Feed(entry);
            return;
        }
        skippingLeading = false;
    }
    if (entry.key && entry.pts == bodyKeyPts)
        decodeDelay = std::max<std::int64_t>(0, entry.pts - entry.dts);
    if (!exact) {
        if (entry.key && endLimit != Open && entry.pts > endLimit) {
            FinishVideo(&entry);
            return;
        }
        if (entry.key && !gop.empty()) {
            WriteGop();
            gop.clear();
            clipEndAtLeast = entry.pts;
            others.VideoWritten(StreamTime(entry.pts, video->time_base));
        }
        gop.push_back(std::move(entry));
        return;
    }
    // Frames that the container hides past the last one shown are decoded but left out of the clip.
    if (entry.hidden && entry.pts > clipEndAtLeast)
        hiddenFrom = std::min(hiddenFrom, entry.pts);
    else if (entry.pts > hiddenFrom)
        hiddenFrom = Open;
    if (!entry.hidden && entry.pts <= endLimit && entry.pts > clipEndAtLeast)
        clipEndAtLeast = entry.pts;
    if (entry.key && entry.pts <= endLimit && !gop.empty())
        EndOfGop(entry);
    Feed(entry);
    gop.push_back(std::move(entry));
}

// Until the head's join is checked, every packet may be needed to redo it.
void ClipCutter::Feed(const VideoPacket& entry) {
    // Unchecked, the head's encoder needs no more than the copied keyframe and the frames shown before it.
    if (!head || (!JoinChecks() && !skippingLeading))
        return;
    head->source.push_back(VideoPacket::Of(Reference(entry.packet.get())));
    if (!head->encoder || (!skippingLeading && head->copiedDecoded >= CheckedFrames))
        return;
    head->encoder->Decode(entry.packet.get());
    head->copiedDecoded += !skippingLeading;
}

// A GOP of an exact clip is complete, and the next keyframe has come: the GOP is copied, or it completes
// the check of the head's join.
void ClipCutter::EndOfGop(const VideoPacket& next) {
    if (head)
        ResolveHead(next);
    else
        WriteGop();
    previousGop = std::move(gop);
    gop.clear();
    if (!head)
        others.VideoWritten(StreamTime(next.pts, video->time_base));
}

void ClipCutter::WriteGop() {
    for (const VideoPacket& entry : gop)
        output->WriteCopied(entry);
}

void ClipCutter::WriteAll(std::vector<OutPacket>& packets) {
    for (OutPacket& packet : packets)
        output->Write(packet);
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

void ClipCutter::FinishVideo(const VideoPacket* after) {
    videoDone = true;
    if (!exact) {
        FinishKeyframeEnd(after);
    } else {
        clipEnd = after ? clipEndAtLeast : hiddenFrom;
        UpdateBounds();
        if (head)
            FinishWithHead();
        else
            FinishExactTail();
    }
    others.Flush();
}

// The clip ends before its head's join was checked: the head, the copied frames and the tail are checked
// together; else the whole clip is re-encoded; else it starts at the keyframe before its start.
void ClipCutter::FinishWithHead() {
    if (head->level == 1) {
        std::vector<std::int64_t> frames;
        for (const VideoPacket& entry : gop)
            frames.push_back(entry.pts);
        if (TryHead(*head->encoder, 1 + head->copiedDecoded, SplitTail(frames, clipEnd)))
            return;
        printer.Note("the joins of the re-encoded start and end did not decode right, so the whole clip is "
                     "re-encoded");
    }
    head->encoder.reset();
    if (EncodeWholeClip().empty())
        return;
    // The copy from the keyframe before the start runs up to the last GOP, whose end is made as usual.
    std::size_t lastKey = 0;
    for (std::size_t i = 0; i < head->source.size(); ++i)
        if (head->source[i].key)
            lastKey = i;
    StartAtKeyframe(lastKey);
    std::vector<VideoPacket> rest;
    for (std::size_t i = lastKey; i < head->source.size(); ++i)
        rest.push_back(std::move(head->source[i]));
    if (lastKey > 0) {
        previousGop.clear();
        std::size_t keyBefore = 0;
        for (std::size_t i = 0; i < lastKey; ++i)
            if (head->source[i].key)
                keyBefore = i;
        for (std::size_t i = keyBefore; i < lastKey; ++i)
            previousGop.push_back(std::move(head->source[i]));
    }
    gop = std::move(rest);
    head.reset();
    FinishExactTail();
}

// The last frames of an exact clip: the last GOP is copied up to the point where the frames written so
// far are exactly those shown before some time, and the frames from there to the clip's end are
// re-encoded. The join is checked; else the whole GOP is re-encoded; else the clip ends at its keyframe.
void ClipCutter::FinishExactTail() {
    if (gop.empty())
        return;
    std::vector<std::int64_t> frames;
    for (const VideoPacket& entry : gop)
        frames.push_back(entry.pts);
    const TailSplit split = SplitTail(frames, clipEnd);
    if (split.encodeFrom >= clipEnd) {
        for (std::size_t i = 0; i < split.copied; ++i)
            output->WriteCopied(gop[i]);
        return;
    }
    if (TryTail(split))
        return;
    printer.Note("the join before the re-encoded end did not decode right at " + TimeText(split.encodeFrom) +
                 ", so its whole GOP is re-encoded");
    if (TryTail({0, *std::min_element(frames.begin(), frames.end())}))
        return;
    const std::int64_t asked = clipEnd;
    clipEnd = gop.front().pts;
    UpdateBounds();
    printer.Note("the clip ends at " + TimeText(clipEnd) + " instead of " + TimeText(asked) +
                 ", at the keyframe before it: its re-encoded end did not decode right");
}

bool ClipCutter::TryTail(const TailSplit& split) {
    const std::unique_ptr<RangeEncoder> encoder = Encoder(split.encodeFrom, clipEnd, TailSource());
    encoder->Finish();
    std::vector<OutPacket> packets;
    // Frames that follow the keyframe in the file but are shown before it need the GOP before to decode.
    const bool leading = std::any_of(
        gop.begin(), gop.end(), [this](const VideoPacket& entry) { return entry.pts < gop.front().pts; });
    std::vector<OutPacket> before;
    if (leading)
        for (const VideoPacket& entry : previousGop)
            before.push_back(output->Copied(entry));
    for (std::size_t i = 0; i < split.copied; ++i)
        packets.push_back(output->Copied(gop[i]));
    const std::size_t copied = packets.size();
    for (OutPacket& packet : output->Encoded(*encoder, std::min(decodeDelay, FrameTicks(video))))
        packets.push_back(std::move(packet));
    std::vector<const OutPacket*> checked = Pointers(before);
    for (const OutPacket* packet : Pointers(packets))
        checked.push_back(packet);
    std::vector<PlannedFrame> planned;
    PlanCopied(planned, {checked.begin(), checked.begin() + std::ptrdiff_t(before.size() + copied)},
               encoder->SourcePictures(), before.size() + copied);
    Append(planned, encoder->EncodedTimes());
    if (!check.Problem(checked, planned, encoder->DecoderErrors(), checked.size()).empty())
        return false;
    WriteAll(packets);
    return true;
}

// The packets that the end's frames decode from: the GOP before the last one, and the last one.
std::vector<const VideoPacket*> ClipCutter::TailSource() const {
    std::vector<const VideoPacket*> source;
    for (const std::vector<VideoPacket>* part : {&previousGop, &gop})
        for (const VideoPacket& entry : *part)
            source.push_back(&entry);
    return source;
}

// Keyframe mode: the clip ends at the keyframe nearest its end, or with the video where that is nearer.
void ClipCutter::FinishKeyframeEnd(const VideoPacket* after) {
    if (gop.empty()) {
        clipEnd = after ? after->pts : Open;
        UpdateBounds();
        return;
    }
    const double end = request.start + request.length;
    const double before = end - Seconds(gop.front().pts);
    double following = std::numeric_limits<double>::infinity();
    if (after)
        following = Seconds(after->pts) - end;
    else if (endLimit != Open)
        following = std::max(0.0, reader.Duration() - end);
    // Mirrors the choice at the start, so that the clips on both sides of a cut agree on its keyframe; the
    // end of the file is no cut, and on a tie the video is kept to its end.
    const bool keepLast =
        endLimit == Open || (after ? following < before - 1e-6 : following <= before + 1e-6);
    if (keepLast) {
        // Frames that the container hides at the end are left out where no frame decoded after them needs
        // them; the others stay, and the run is told.
        if (!after)
            while (!gop.empty() && gop.back().hidden)
                gop.pop_back();
        const auto shownHidden =
            std::count_if(gop.begin(), gop.end(), [](const VideoPacket& entry) { return entry.hidden; });
        WriteGop();
        if (shownHidden > 0)
            printer.Note("the clip ends with " + std::to_string(shownHidden) +
                         " frames that the source hides, which the frames before them need");
        clipEnd = after ? after->pts : Open;
    } else {
        clipEnd = gop.front().pts;
    }
    UpdateBounds();
    gop.clear();
}

// Reads until the video of the clip is complete and every audio stream has passed the clip's end (or
// lags too far behind the video to be waited for), or to the end of the file.
void ClipCutter::ReadToTheEnd() {
    const auto ended = [this] {
        return video ? videoDone && clipEnd != Open && others.PastEnd()
                     : !timedEnd.IsOpen() && others.PastEnd();
    };
    while (!ended()) {
        PacketPtr packet = reader.Read();
        if (!packet)
            return;
        if (video && packet->stream_index == video->index) {
            if (!videoDone)
                BodyVideo(std::move(packet));
            else if (clipEnd != Open &&
                     DtsOf(packet.get()) > clipEnd + std::llround(AudioLagLimit / av_q2d(video->time_base)))
                return;
        } else {
            others.Put(std::move(packet));
        }
    }
}

} // namespace

void CutClip(const CutRequest& request, ProgressPrinter& printer, SourceCache& sources) {
    SourceReader& reader = sources.Open(request.source);
    ClipCutter cutter(request, printer, reader, sources.Check());
    cutter.Run();
}

SourceReader& SourceCache::Open(const std::string& path) {
    if (!reader || path != openPath) {
        Close();
        reader = std::make_unique<SourceReader>(path);
        openPath = path;
    }
    return *reader;
}

JoinCheck& SourceCache::Check() {
    if (!check)
        check = std::make_unique<JoinCheck>(reader->Video());
    return *check;
}

void SourceCache::Close() {
    check.reset();
    reader.reset();
    openPath.clear();
}

SourceCache::SourceCache() = default;
SourceCache::~SourceCache() = default;

} // namespace Cut
