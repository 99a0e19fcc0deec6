#pragma once

// The cutter of one clip, in its stages: clipcutter.cpp reads the source and runs them, headstage.cpp
// plans and joins the clip's head, bodystage.cpp copies the GOPs in between, tailstage.cpp makes the end;
// the audio and the other streams are carried by OtherStreams. Only the cutter's own files include this.

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

inline constexpr std::int64_t Open = StreamTime::OpenTicks;
// A frame counts as shown at a time when it starts no later than a tenth of a millisecond after it, which
// absorbs the rounding of times that are meant to fall on a frame.
inline constexpr double Tolerance = 0.0001;
// How far back the search for a keyframe before the start goes, in seconds, before it reads from the start.
inline constexpr double SeekMargins[] = {0, 0.5, 1, 2, 4, 8, 16, 32, 64, 128};
inline constexpr const char* NoFramesBetweenKeys =
    "the clip holds no video frames: its start and its end move to the same keyframe (exact cut points can "
    "cut it)";
// The copied GOP after a re-encoded head is checked over this many frames from its keyframe, as many as
// a decoder may hold back for reordering: whatever the join leaves wrong in the decoder shows from the
// keyframe on, and the rest of the GOP would cost decoding time without telling more.
inline constexpr std::size_t CheckedFrames = 16;
// Audio is not waited for further than this past the video's end of the clip.
inline constexpr double AudioLagLimit = 10;

inline std::int64_t PtsOf(const AVPacket* packet) {
    return packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
}

inline std::int64_t DtsOf(const AVPacket* packet) {
    return packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
}

inline PacketPtr Reference(const AVPacket* packet) {
    PacketPtr copy(av_packet_clone(packet));
    if (!copy)
        throw CutError{"out of memory"};
    return copy;
}

inline std::vector<const OutPacket*> Pointers(const std::vector<OutPacket>& packets) {
    std::vector<const OutPacket*> pointers;
    for (const OutPacket& packet : packets)
        pointers.push_back(&packet);
    return pointers;
}

inline void Append(std::vector<PlannedFrame>& planned, const std::vector<std::int64_t>& encoded) {
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
          writer(request.output, request.overwrite, request.muxer), others(writer, printer) {}

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

} // namespace Cut
