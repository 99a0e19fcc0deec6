#include "cutterstages.h"

namespace Cut {

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

} // namespace Cut
