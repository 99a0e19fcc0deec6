#include "cutterstages.h"

namespace Cut {

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

std::vector<bool> CopiedStreams(const CutRequest& request, const SourceReader& reader) {
    const AVFormatContext* format = reader.Format();
    std::vector<bool> copied(format->nb_streams, false);
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        const bool wanted = stream == reader.Video()
                                ? request.video
                                : (type == AVMEDIA_TYPE_AUDIO && request.audio) ||
                                      (type == AVMEDIA_TYPE_SUBTITLE && request.subtitles);
        copied[i] = wanted && MuxerCanHold(request.muxer, stream);
    }
    return copied;
}

void ClipCutter::ChooseStreams() {
    AVFormatContext* format = reader.Format();
    const std::vector<bool> copied = CopiedStreams(request, reader);
    // The video first, then the others in the source's order.
    if (reader.Video() && copied[std::size_t(reader.Video()->index)]) {
        video = reader.Video();
        writer.AddStream(video);
    }
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        if (copied[i] && stream != video) {
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
