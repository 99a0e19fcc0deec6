#include "cutterstages.h"

namespace Cut {

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

} // namespace Cut
