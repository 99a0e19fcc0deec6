#include "otherstreams.h"

#include "clipwriter.h"
#include "progressprinter.h"

#include <algorithm>

namespace Cut {

void OtherStreams::Add(AVStream* stream) {
    streams.push_back({stream});
}

bool OtherStreams::Holds(int streamIndex) const {
    return std::any_of(streams.begin(), streams.end(),
                       [streamIndex](const Stream& other) { return other.stream->index == streamIndex; });
}

std::size_t OtherStreams::AudioCount() const {
    return std::size_t(std::count_if(streams.begin(), streams.end(), [](const Stream& other) {
        return other.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
    }));
}

OtherStreams::Stream* OtherStreams::Find(int streamIndex) {
    for (Stream& other : streams)
        if (other.stream->index == streamIndex)
            return &other;
    return nullptr;
}

void OtherStreams::SetBounds(StreamTime clipStart, StreamTime clipEnd) {
    start = clipStart;
    end = clipEnd;
}

void OtherStreams::VideoWritten(std::optional<StreamTime> upTo) {
    written = upTo;
    Release();
}

void OtherStreams::Put(PacketPtr packet) {
    if (!Find(packet->stream_index) || packet->pts == AV_NOPTS_VALUE)
        return;
    waiting.push_back(std::move(packet));
    Release();
}

void OtherStreams::Release() {
    while (!waiting.empty()) {
        Stream& other = *Find(waiting.front()->stream_index);
        const AVPacket* front = waiting.front().get();
        if (!flushed &&
            (!written || front->pts + front->duration / 2 >= written->In(other.stream->time_base)))
            return;
        PacketPtr ready = std::move(waiting.front());
        waiting.pop_front();
        Write(other, std::move(ready));
    }
}

void OtherStreams::Flush() {
    flushed = true;
    Release();
}

bool OtherStreams::PastEnd() const {
    return std::all_of(streams.begin(), streams.end(), [](const Stream& other) {
        return other.stream->codecpar->codec_type != AVMEDIA_TYPE_AUDIO || other.reachedEnd;
    });
}

void OtherStreams::Write(Stream& other, PacketPtr packet) {
    const AVRational base = other.stream->time_base;
    const std::int64_t from = start.In(base);
    const std::int64_t to = end.In(base);
    const bool audio = other.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO;
    const std::int64_t at = audio ? packet->pts + packet->duration / 2 : packet->pts;
    if (!end.IsOpen() && packet->pts >= to)
        other.reachedEnd = true;
    if (at < from || (!end.IsOpen() && at >= to))
        return;
    // Audio begins with the audio frame nearest the start; one that begins before it starts the clip at
    // 0 rather than at a negative time.
    if (other.shift == AV_NOPTS_VALUE)
        other.shift = std::min(from, packet->pts);
    packet->pts -= other.shift;
    packet->dts = packet->dts != AV_NOPTS_VALUE ? packet->dts - other.shift : packet->pts;
    if (packet->pts < 0)
        packet->pts = packet->dts = 0;
    if (timesTheClip && audio)
        printer.Progress(double(packet->pts) * av_q2d(base));
    writer.Write(other.stream, packet.get());
}

} // namespace Cut
