#pragma once

#include "avhandles.h"
#include "streamtime.h"

#include <deque>
#include <optional>
#include <vector>

namespace Cut {

class ClipWriter;
class ProgressPrinter;

// The clip's sound and subtitles: copied from the audio frame nearest the clip's start to the one nearest
// its end. Packets wait in file order until the video is written past them, so that a start or end that
// still moves counts for them too.
class OtherStreams {
public:
    OtherStreams(ClipWriter& writer, ProgressPrinter& printer) : writer(writer), printer(printer) {}

    void Add(AVStream* stream);
    bool Empty() const { return streams.empty(); }
    bool Holds(int streamIndex) const;
    std::size_t AudioCount() const;

    // Where the clip starts and ends; the end is open until it is known.
    void SetBounds(StreamTime clipStart, StreamTime clipEnd);
    // The clip's video is written up to this time, and packets before it can follow; nothing while the
    // clip's start may still move.
    void VideoWritten(std::optional<StreamTime> upTo);
    // A clip without video is timed by its sound.
    void TimeTheClip() { timesTheClip = true; }

    void Put(PacketPtr packet);
    // The clip's video is complete: what waits is written or left out.
    void Flush();
    // Every audio stream has passed the clip's end.
    bool PastEnd() const;

private:
    struct Stream {
        AVStream* stream = nullptr;
        std::int64_t shift = AV_NOPTS_VALUE;
        bool reachedEnd = false;
    };

    Stream* Find(int streamIndex);
    void Release();
    void Write(Stream& other, PacketPtr packet);

    ClipWriter& writer;
    ProgressPrinter& printer;
    std::vector<Stream> streams;
    std::deque<PacketPtr> waiting;
    StreamTime start;
    StreamTime end = StreamTime::Open(AVRational{1, AV_TIME_BASE});
    std::optional<StreamTime> written;
    bool flushed = false;
    bool timesTheClip = false;
};

} // namespace Cut
