#include "clipcutter.h"

#include "bitstream.h"
#include "clipwriter.h"
#include "rangeencoder.h"
#include "sourcereader.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <map>

namespace Cut {

namespace {

constexpr std::int64_t Open = std::numeric_limits<std::int64_t>::max();
// A frame counts as shown at a time when it starts no later than a tenth of a millisecond after it, which
// absorbs the rounding of times that are meant to fall on a frame.
constexpr double Tolerance = 0.0001;
// How far back the search for a keyframe before the start goes, in seconds, before it reads from the start.
constexpr double SeekMargins[] = {0, 0.5, 1, 2, 4, 8, 16, 32, 64, 128};
constexpr const char* NoFramesBetweenKeys =
    "the clip holds no video frames: its start and its end move to the same keyframe (exact cut points can "
    "cut it)";
// Audio is not waited for further than this past the video's end of the clip.
constexpr double AudioLagLimit = 10;

struct VideoPacket {
    PacketPtr packet;
    std::int64_t pts;
    std::int64_t dts;
    bool key;
    bool hidden; // by the container's edit list
};

std::int64_t PtsOf(const AVPacket* packet) {
    return packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
}

std::int64_t DtsOf(const AVPacket* packet) {
    return packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
}

// A new packet holding these bytes, with the times, flags and side data of another.
PacketPtr PacketOf(const Bitstream::Bytes& bytes, const AVPacket* properties) {
    PacketPtr packet = NewPacket();
    if (!packet || av_new_packet(packet.get(), int(bytes.size())) < 0)
        throw CutError{"out of memory"};
    std::copy(bytes.begin(), bytes.end(), packet->data);
    av_packet_copy_props(packet.get(), properties);
    return packet;
}

std::int64_t Rescale(std::int64_t time, AVRational from, AVRational to) {
    return time == Open ? Open : av_rescale_q(time, from, to);
}

// What the cut keeps of one audio or subtitle stream.
struct OtherStream {
    AVStream* stream = nullptr;
    std::int64_t shift = AV_NOPTS_VALUE;
    bool reachedEnd = false;
};

class ClipCutter {
public:
    ClipCutter(const CutRequest& request, ProgressPrinter& printer, SourceReader& reader)
        : request(request), printer(printer), reader(reader), writer(request.output, request.overwrite) {}

    void Run();

private:
    void ChooseStreams();
    void Locate();
    bool LandedBeforeStart(double margin);
    void CollectHead();
    std::size_t PlanHead();
    std::size_t StartAtNearestKey(std::size_t before, std::size_t after);
    std::size_t CopyFromKey(std::size_t at);
    void EncodeHead(std::size_t decodeFrom, std::size_t decodeTo, std::int64_t to);
    void BodyVideo(PacketPtr packet);
    // The video of the clip is complete: after is the first packet past its end, or nullptr at the end of
    // the file.
    void FinishVideo(const VideoPacket* after);
    void FinishExactTail();
    void FinishKeyframeEnd(const VideoPacket* after);
    void Other(PacketPtr packet);
    void WriteOther(OtherStream& other, PacketPtr packet);
    void FlushOthers();
    bool OthersDone() const;
    void WriteCopied(const VideoPacket& packet);
    // delay: how far decoding times run ahead of the frames' own times where the encoder does not reorder.
    void WriteEncoded(RangeEncoder& encoder, std::int64_t delay);
    // pts and dts are the source's times of the frame.
    void WriteVideo(AVPacket* packet, std::int64_t pts, std::int64_t dts);
    void Decode(RangeEncoder& encoder, const AVPacket* packet, bool first);
    int DelayFrames() const;
    void ReadToTheEnd();
    OtherStream* OtherOf(int index);
    double ClipSeconds(std::int64_t videoTime) const;
    // The clip's start in microseconds of the file's clock, by which the other streams are cut.
    std::int64_t ClipStartUs() const;

    const CutRequest& request;
    ProgressPrinter& printer;
    SourceReader& reader;
    ClipWriter writer;
    AVStream* video = nullptr;
    std::vector<OtherStream> others;
    bool exact = true;

    // Video times of the cut, in the video's time base: what was asked for, with the tolerance, and the
    // times of the frames that are really first and first after the clip once they are known. A clip
    // without video has its start and end in microseconds of the file's clock.
    std::int64_t startLimit = 0;
    std::int64_t endLimit = Open;
    std::int64_t clipStart = 0;
    std::int64_t clipEnd = Open;
    std::int64_t clipEndAtLeast = 0;
    // The first of the frames that the container hides at the end of the video.
    std::int64_t hiddenFrom = Open;

    std::deque<PacketPtr> lead;
    std::deque<PacketPtr> pendingOthers;
    std::vector<VideoPacket> gop;
    std::vector<VideoPacket> previousGop;
    // The video of the clip is written, so its end is known.
    bool videoDone = false;
    bool leadReachedEnd = false;
    std::int64_t bodyKeyPts = AV_NOPTS_VALUE;
    bool skippingLeading = false;
    std::int64_t decodeDelay = 0;
    std::int64_t lastVideoDts = AV_NOPTS_VALUE;
    bool parameterSetsDue = false;
    // The encoder's version goes in front of the first copied frame after the start or re-encoded ones.
    bool versionDue = true;
    bool wroteVideo = false;
    int lengthSize = 0;
    Bitstream::Bytes extradata;
    PacketPtr scratch = NewPacket();
};

void ClipCutter::Run() {
    ChooseStreams();
    writer.Open();
    Locate();
    std::size_t bodyFrom = lead.size();
    if (video) {
        CollectHead();
        bodyFrom = PlanHead();
    } else {
        videoDone = true;
    }
    for (std::size_t i = 0; i < lead.size(); ++i) {
        PacketPtr packet = std::move(lead[i]);
        if (!video || packet->stream_index != video->index)
            Other(std::move(packet));
        else if (i >= bodyFrom)
            BodyVideo(std::move(packet));
    }
    lead.clear();
    ReadToTheEnd();
    if (video && !videoDone)
        FinishVideo(nullptr);
    FlushOthers();
    if (video && !wroteVideo)
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
            others.push_back({stream});
        }
    }
    if (!video && others.empty())
        throw CutError{"the source has no stream that the clip can hold"};

    const double start = request.start;
    const double end = request.start + request.length;
    const double duration = reader.Duration();
    // The length is given to the millisecond: an end in the last one keeps the last frame.
    const bool toTheEnd = duration > 0 && end >= duration - 0.0005;
    if (!video) {
        clipStart = reader.FileTime(start);
        clipEnd = toTheEnd ? Open : clipStart + std::llround(request.length * AV_TIME_BASE);
        return;
    }
    startLimit = reader.StreamTime(video, start + Tolerance);
    endLimit = toTheEnd ? Open : reader.StreamTime(video, end + Tolerance);
    clipStart = reader.StreamTime(video, start);
    clipEndAtLeast = clipStart;
    exact = request.cutPoints == CutPoints::Exact;
    if (exact) {
        const std::string why = RangeEncoder::Unsupported(video);
        if (!why.empty()) {
            exact = false;
            printer.Note(why + ", so this clip is cut at keyframes");
        }
    }
    extradata.assign(video->codecpar->extradata,
                     video->codecpar->extradata + video->codecpar->extradata_size);
    lengthSize = Bitstream::NalLengthSize(video->codecpar->codec_id, extradata);
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
    std::size_t audioCount = 0;
    for (const OtherStream& other : others)
        audioCount += other.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
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
        } else if (OtherOf(packet->stream_index) && stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO &&
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

// Decides how the clip begins: copied from a keyframe at its start, or re-encoded up to the first
// keyframe inside it (or all of it when none is), and returns where in lead the copied video begins.
std::size_t ClipCutter::PlanHead() {
    std::vector<std::size_t> videoAt;
    for (std::size_t i = 0; i < lead.size(); ++i)
        if (lead[i]->stream_index == video->index)
            videoAt.push_back(i);
    // Video before the first keyframe cannot be decoded.
    std::size_t first = 0;
    while (first < videoAt.size() && !(lead[videoAt[first]]->flags & AV_PKT_FLAG_KEY))
        ++first;
    if (first == videoAt.size())
        return lead.size();

    std::int64_t shown = AV_NOPTS_VALUE;
    std::int64_t lastAtEnd = AV_NOPTS_VALUE;
    std::int64_t last = AV_NOPTS_VALUE;
    bool passedEnd = false;
    for (std::size_t v = first; v < videoAt.size(); ++v) {
        const AVPacket* packet = lead[videoAt[v]].get();
        const std::int64_t pts = PtsOf(packet);
        if (pts <= startLimit && (shown == AV_NOPTS_VALUE || pts > shown))
            shown = pts;
        if (endLimit != Open && pts <= endLimit && (lastAtEnd == AV_NOPTS_VALUE || pts > lastAtEnd))
            lastAtEnd = pts;
        last = last == AV_NOPTS_VALUE ? pts : std::max(last, pts);
        passedEnd = passedEnd || (endLimit != Open && DtsOf(packet) > endLimit);
    }
    // The last frame is shown only while it lasts: a start after the video's end has no frame.
    if (leadReachedEnd && shown != AV_NOPTS_VALUE && shown == last &&
        request.start >= reader.Seconds(video, last + FrameTicks(video)) - Tolerance)
        throw CutError{"the clip starts after the end of the video: it holds no frames"};
    clipStart = shown != AV_NOPTS_VALUE ? shown : clipStart;
    clipEndAtLeast = clipStart;

    // The keyframes that matter: the last one shown no later than the start, and the first one after it.
    std::size_t decodeFrom = first;
    std::size_t nextKey = videoAt.size();
    for (std::size_t v = first; v < videoAt.size(); ++v) {
        const AVPacket* packet = lead[videoAt[v]].get();
        if (!(packet->flags & AV_PKT_FLAG_KEY))
            continue;
        if (PtsOf(packet) <= clipStart)
            decodeFrom = v;
        else if (nextKey == videoAt.size())
            nextKey = v;
    }
    const std::int64_t startKeyPts = PtsOf(lead[videoAt[decodeFrom]].get());

    if (!exact)
        return StartAtNearestKey(videoAt[decodeFrom],
                                 nextKey < videoAt.size() ? videoAt[nextKey] : lead.size());
    if (startKeyPts == clipStart)
        return CopyFromKey(videoAt[decodeFrom]);
    const bool keyInside =
        nextKey < videoAt.size() && (endLimit == Open || PtsOf(lead[videoAt[nextKey]].get()) <= endLimit);
    if (!keyInside) {
        // No keyframe inside the clip: all of it is re-encoded.
        clipEnd = passedEnd ? (lastAtEnd != AV_NOPTS_VALUE ? lastAtEnd : clipStart) : Open;
        videoDone = true;
        EncodeHead(decodeFrom, videoAt.size(), clipEnd);
        return lead.size();
    }
    const AVPacket* key = lead[videoAt[nextKey]].get();
    const std::int64_t keyPts = PtsOf(key);
    decodeDelay = std::max<std::int64_t>(0, keyPts - DtsOf(key));
    // Frames after the keyframe in the file that are shown before it belong to the head.
    std::size_t decodeTo = nextKey + 1;
    while (decodeTo < videoAt.size() && PtsOf(lead[videoAt[decodeTo]].get()) < keyPts)
        ++decodeTo;
    EncodeHead(decodeFrom, decodeTo, keyPts);
    parameterSetsDue = versionDue = true;
    return CopyFromKey(videoAt[nextKey]);
}

// Keyframe mode: the clip starts at the nearer of the keyframes at lead[before] and lead[after] (none
// when after is past the lead); on a tie the earlier one, the same for both clips at a cut.
std::size_t ClipCutter::StartAtNearestKey(std::size_t before, std::size_t after) {
    std::size_t chosen = before;
    const double early = request.start - reader.Seconds(video, PtsOf(lead[before].get()));
    if (after < lead.size()) {
        const double late = reader.Seconds(video, PtsOf(lead[after].get())) - request.start;
        if (late < early - 1e-6)
            chosen = after;
    } else if (leadReachedEnd && reader.Duration() > 0 && reader.Duration() - request.start <= early + 1e-6) {
        // The end of the video is as near or nearer: the clip before keeps the last GOP to it.
        throw CutError{NoFramesBetweenKeys};
    }
    clipStart = PtsOf(lead[chosen].get());
    clipEndAtLeast = clipStart;
    const double moved = reader.Seconds(video, clipStart) - request.start;
    if (std::abs(moved) >= Tolerance)
        printer.Note("the clip starts at " + ProgressPrinter::TimeText(reader.Seconds(video, clipStart)) +
                     " instead of " + ProgressPrinter::TimeText(request.start) + ", at the nearest keyframe");
    return CopyFromKey(chosen);
}

// The copied video begins with the keyframe at lead[at]; frames that follow it in the file but are shown
// before it are left out.
std::size_t ClipCutter::CopyFromKey(std::size_t at) {
    bodyKeyPts = PtsOf(lead[at].get());
    skippingLeading = true;
    return at;
}

void ClipCutter::EncodeHead(std::size_t decodeFrom, std::size_t decodeTo, std::int64_t to) {
    RangeEncoder encoder(video, clipStart, to, DelayFrames());
    std::size_t v = 0;
    for (const PacketPtr& packet : lead) {
        if (packet->stream_index != video->index)
            continue;
        if (v >= decodeFrom && v < decodeTo)
            Decode(encoder, packet.get(), v == decodeFrom);
        ++v;
    }
    encoder.Finish();
    WriteEncoded(encoder, decodeDelay);
}

// The decoder's first packet gets the encoder's version in front, as at the start of the stream.
void ClipCutter::Decode(RangeEncoder& encoder, const AVPacket* packet, bool first) {
    const AVCodecID codec = video->codecpar->codec_id;
    if (!first || reader.EncoderVersion().empty() ||
        !Bitstream::EncoderVersionUnits(codec, packet->data, std::size_t(packet->size), lengthSize).empty()) {
        encoder.Decode(packet);
        return;
    }
    Bitstream::Bytes joined = reader.EncoderVersion();
    joined.insert(joined.end(), packet->data, packet->data + packet->size);
    encoder.Decode(PacketOf(joined, packet).get());
}

int ClipCutter::DelayFrames() const {
    const double frame =
        1 / av_q2d(video->avg_frame_rate.num > 0 ? video->avg_frame_rate : video->r_frame_rate);
    return int(std::lround(double(decodeDelay) * av_q2d(video->time_base) / frame));
}

// Re-encoded frames get decoding times that run the copied frames' delay ahead of their own times, so that
// the decoding times go on rising where copied frames follow.
void ClipCutter::WriteEncoded(RangeEncoder& encoder, std::int64_t delay) {
    for (PacketPtr& packet : encoder.Packets()) {
        const std::int64_t dts = encoder.Reorders() ? packet->dts : packet->pts - delay;
        if (lengthSize > 0)
            packet = PacketOf(
                Bitstream::AnnexBToLengthPrefixed(packet->data, std::size_t(packet->size), lengthSize),
                packet.get());
        WriteVideo(packet.get(), packet->pts, dts);
    }
}

// The packet stays as it was read: the frames at the end may need it again to be decoded. What is
// written is a new reference to its data, in a packet kept for the purpose.
void ClipCutter::WriteCopied(const VideoPacket& entry) {
    PacketPtr& packet = scratch;
    if (av_packet_ref(packet.get(), entry.packet.get()) < 0)
        throw CutError{"out of memory"};
    if (parameterSetsDue || versionDue) {
        const AVCodecID codec = video->codecpar->codec_id;
        const auto size = std::size_t(packet->size);
        Bitstream::Bytes joined;
        if (parameterSetsDue && !Bitstream::CarriesParameterSets(codec, packet->data, size, lengthSize))
            joined = Bitstream::ParameterSetsForPacket(codec, extradata, lengthSize);
        if (versionDue && Bitstream::EncoderVersionUnits(codec, packet->data, size, lengthSize).empty())
            joined.insert(joined.end(), reader.EncoderVersion().begin(), reader.EncoderVersion().end());
        parameterSetsDue = versionDue = false;
        if (!joined.empty()) {
            joined.insert(joined.end(), packet->data, packet->data + packet->size);
            PacketPtr replacement = PacketOf(joined, packet.get());
            av_packet_unref(packet.get());
            av_packet_move_ref(packet.get(), replacement.get());
        }
    }
    WriteVideo(packet.get(), entry.pts, entry.dts);
}

// Moves a video packet onto the clip's clock, with decoding times that keep rising and never pass the
// frame's own time, and writes it.
void ClipCutter::WriteVideo(AVPacket* packet, std::int64_t pts, std::int64_t dts) {
    packet->pts = pts - clipStart;
    dts -= clipStart;
    if (lastVideoDts != AV_NOPTS_VALUE && dts <= lastVideoDts)
        dts = lastVideoDts + 1;
    packet->dts = std::min(dts, packet->pts);
    lastVideoDts = packet->dts;
    writer.Write(video, packet);
    wroteVideo = true;
    printer.Progress(ClipSeconds(pts));
}

void ClipCutter::BodyVideo(PacketPtr packet) {
    if (videoDone)
        return;
    const std::int64_t pts = PtsOf(packet.get());
    const std::int64_t dts = DtsOf(packet.get());
    const bool key = packet->flags & AV_PKT_FLAG_KEY;
    const bool hidden = packet->flags & AV_PKT_FLAG_DISCARD;
    VideoPacket entry{std::move(packet), pts, dts, key, hidden};
    if (skippingLeading && entry.pts != bodyKeyPts) {
        if (entry.pts < bodyKeyPts)
            return;
        skippingLeading = false;
    }
    if (entry.key && entry.pts == bodyKeyPts)
        decodeDelay = std::max<std::int64_t>(0, entry.pts - entry.dts);
    if (exact) {
        if (endLimit != Open && entry.dts > endLimit) {
            FinishVideo(&entry);
            return;
        }
        // Frames that the container hides past the last one shown are decoded but left out of the clip.
        if (entry.hidden && entry.pts > clipEndAtLeast)
            hiddenFrom = std::min(hiddenFrom, entry.pts);
        else if (entry.pts > hiddenFrom)
            hiddenFrom = Open;
        if (!entry.hidden && entry.pts <= endLimit && entry.pts > clipEndAtLeast)
            clipEndAtLeast = entry.pts;
        if (entry.key && entry.pts <= endLimit && !gop.empty()) {
            for (VideoPacket& packet : gop)
                WriteCopied(packet);
            previousGop = std::move(gop);
            gop.clear();
        }
        gop.push_back(std::move(entry));
        return;
    }
    if (entry.key && endLimit != Open && entry.pts > endLimit) {
        FinishVideo(&entry);
        return;
    }
    if (entry.key && !gop.empty()) {
        for (VideoPacket& packet : gop)
            WriteCopied(packet);
        gop.clear();
        clipEndAtLeast = entry.pts;
    }
    gop.push_back(std::move(entry));
}

// Keyframe mode: the clip ends at the keyframe nearest its end, or with the video where that is nearer.
void ClipCutter::FinishKeyframeEnd(const VideoPacket* after) {
    if (gop.empty()) {
        clipEnd = after ? after->pts : Open;
        return;
    }
    const double end = request.start + request.length;
    const double before = end - reader.Seconds(video, gop.front().pts);
    double following = std::numeric_limits<double>::infinity();
    if (after)
        following = reader.Seconds(video, after->pts) - end;
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
        int shownHidden = 0;
        for (VideoPacket& packet : gop) {
            shownHidden += packet.hidden;
            WriteCopied(packet);
        }
        if (shownHidden > 0)
            printer.Note("the clip ends with " + std::to_string(shownHidden) +
                         " frames that the source hides, which the frames before them need");
        clipEnd = after ? after->pts : Open;
    } else {
        clipEnd = gop.front().pts;
    }
    gop.clear();
}

void ClipCutter::FinishVideo(const VideoPacket* after) {
    videoDone = true;
    if (!exact) {
        FinishKeyframeEnd(after);
    } else {
        clipEnd = after ? clipEndAtLeast : hiddenFrom;
        FinishExactTail();
    }
    FlushOthers();
}

// The last frames of an exact clip: everything up to the last point where the frames written so far are
// exactly those shown before some time is copied; frames from there to the end are re-encoded, because
// frames in front of the end may refer to frames after it.
void ClipCutter::FinishExactTail() {
    std::size_t clean = 0;
    std::int64_t cleanTime = clipEnd;
    std::int64_t maxBefore = std::numeric_limits<std::int64_t>::min();
    std::vector<std::int64_t> minAfter(gop.size() + 1, clipEnd);
    for (std::size_t i = gop.size(); i-- > 0;)
        minAfter[i] = std::min(minAfter[i + 1], gop[i].pts);
    for (std::size_t j = 0; j <= gop.size(); ++j) {
        if (j > 0)
            maxBefore = std::max(maxBefore, gop[j - 1].pts);
        if (j == 0 || maxBefore < minAfter[j]) {
            clean = j;
            cleanTime = minAfter[j];
        }
    }
    for (std::size_t i = 0; i < clean; ++i)
        WriteCopied(gop[i]);
    if (cleanTime >= clipEnd || gop.empty())
        return;
    RangeEncoder encoder(video, cleanTime, clipEnd, DelayFrames());
    bool first = true;
    for (const std::vector<VideoPacket>* part : {&previousGop, &gop})
        for (const VideoPacket& packet : *part) {
            Decode(encoder, packet.packet.get(), first);
            first = false;
        }
    encoder.Finish();
    // One frame of delay at most: MPEG-1/2 readers take an I or P picture's time from the next one's
    // decoding time, and the copied frames before the tail decode earlier still.
    WriteEncoded(encoder, std::min(decodeDelay, FrameTicks(video)));
}

OtherStream* ClipCutter::OtherOf(int index) {
    for (OtherStream& other : others)
        if (other.stream->index == index)
            return &other;
    return nullptr;
}

void ClipCutter::Other(PacketPtr packet) {
    if (!OtherOf(packet->stream_index) || packet->pts == AV_NOPTS_VALUE)
        return;
    // Packets wait in file order until the clip's end is known to lie beyond them.
    pendingOthers.push_back(std::move(packet));
    while (!pendingOthers.empty()) {
        OtherStream& other = *OtherOf(pendingOthers.front()->stream_index);
        const AVRational base = other.stream->time_base;
        const AVPacket* front = pendingOthers.front().get();
        if (!videoDone && front->pts + front->duration / 2 >= Rescale(clipEndAtLeast, video->time_base, base))
            return;
        PacketPtr ready = std::move(pendingOthers.front());
        pendingOthers.pop_front();
        WriteOther(other, std::move(ready));
    }
}

void ClipCutter::WriteOther(OtherStream& other, PacketPtr packet) {
    const AVRational base = other.stream->time_base;
    const std::int64_t start = av_rescale_q(ClipStartUs(), AV_TIME_BASE_Q, base);
    const std::int64_t end = Rescale(clipEnd, video ? video->time_base : AV_TIME_BASE_Q, base);
    const bool audio = other.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
    const std::int64_t at = audio ? packet->pts + packet->duration / 2 : packet->pts;
    if (end != Open && packet->pts >= end)
        other.reachedEnd = true;
    if (at < start || (end != Open && at >= end))
        return;
    // Audio begins with the audio frame nearest the start; one that begins before it starts the clip at
    // 0 rather than at a negative time.
    if (other.shift == AV_NOPTS_VALUE)
        other.shift = std::min(start, packet->pts);
    packet->pts -= other.shift;
    packet->dts = packet->dts != AV_NOPTS_VALUE ? packet->dts - other.shift : packet->pts;
    if (packet->pts < 0)
        packet->pts = packet->dts = 0;
    if (!video && audio)
        printer.Progress(double(packet->pts) * av_q2d(base));
    writer.Write(other.stream, packet.get());
}

void ClipCutter::FlushOthers() {
    for (PacketPtr& packet : pendingOthers)
        if (OtherStream* other = OtherOf(packet->stream_index))
            WriteOther(*other, std::move(packet));
    pendingOthers.clear();
}

bool ClipCutter::OthersDone() const {
    for (const OtherStream& other : others)
        if (other.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && !other.reachedEnd)
            return false;
    return true;
}

// Reads until the video of the clip is complete and every audio stream has passed the clip's end (or
// lags too far behind the video to be waited for), or to the end of the file.
void ClipCutter::ReadToTheEnd() {
    while (!(videoDone && clipEnd != Open && OthersDone())) {
        PacketPtr packet = reader.Read();
        if (!packet)
            return;
        if (video && packet->stream_index == video->index) {
            if (!videoDone) {
                BodyVideo(std::move(packet));
            } else if (clipEnd != Open &&
                       DtsOf(packet.get()) >
                           clipEnd + std::llround(AudioLagLimit / av_q2d(video->time_base))) {
                return;
            }
        } else {
            Other(std::move(packet));
        }
    }
}

std::int64_t ClipCutter::ClipStartUs() const {
    return video ? av_rescale_q(clipStart, video->time_base, AV_TIME_BASE_Q) : clipStart;
}

double ClipCutter::ClipSeconds(std::int64_t videoTime) const {
    return double(videoTime - clipStart) * av_q2d(video->time_base);
}

} // namespace

void CutClip(const CutRequest& request, ProgressPrinter& printer, SourceCache& sources) {
    ClipCutter cutter(request, printer, sources.Open(request.source));
    cutter.Run();
}

SourceReader& SourceCache::Open(const std::string& path) {
    if (!reader || path != openPath) {
        reader.reset();
        reader = std::make_unique<SourceReader>(path);
        openPath = path;
    }
    return *reader;
}

SourceCache::SourceCache() = default;
SourceCache::~SourceCache() = default;

} // namespace Cut
