#include "videooutput.h"

#include "clipwriter.h"
#include "progressprinter.h"
#include "rangeencoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Cut {

namespace {

// A new packet holding these bytes, with the times, flags and side data of another.
PacketPtr PacketOf(const Bitstream::Bytes& bytes, const AVPacket* properties) {
    PacketPtr packet = NewPacket();
    if (!packet || av_new_packet(packet.get(), int(bytes.size())) < 0)
        throw CutError{"out of memory"};
    std::copy(bytes.begin(), bytes.end(), packet->data);
    av_packet_copy_props(packet.get(), properties);
    return packet;
}

} // namespace

VideoOutput::VideoOutput(ClipWriter& writer, const AVStream* video, const Bitstream::Bytes& encoderVersion,
                         ProgressPrinter& printer)
    : writer(writer), video(video), encoderVersion(encoderVersion), printer(printer),
      extradata(video->codecpar->extradata, video->codecpar->extradata + video->codecpar->extradata_size),
      lengthSize(Bitstream::NalLengthSize(video->codecpar->codec_id, extradata)) {
    if (const char* asked = std::getenv("TESSEL_CUT_FAULT"))
        fault = std::strcmp(asked, "joins") == 0    ? Fault::Joins
                : std::strcmp(asked, "frames") == 0 ? Fault::Frames
                                                    : Fault::None;
}

Bitstream::Bytes VideoOutput::JoinPrefix(const AVPacket* packet) {
    const AVCodecID codec = video->codecpar->codec_id;
    const auto size = std::size_t(packet->size);
    Bitstream::Bytes prefix;
    if (parameterSetsDue && fault == Fault::None &&
        !Bitstream::CarriesParameterSets(codec, packet->data, size, lengthSize))
        prefix = Bitstream::ParameterSetsForPacket(codec, extradata, lengthSize);
    if (versionDue && Bitstream::EncoderVersionUnits(codec, packet->data, size, lengthSize).empty())
        prefix.insert(prefix.end(), encoderVersion.begin(), encoderVersion.end());
    return prefix;
}

OutPacket VideoOutput::Copied(const VideoPacket& entry) {
    OutPacket out{NewPacket(), entry.pts, entry.dts};
    if (!out.packet || av_packet_ref(out.packet.get(), entry.packet.get()) < 0)
        throw CutError{"out of memory"};
    const bool damage = fault == Fault::Frames && (parameterSetsDue || firstCopied);
    firstCopied = false;
    if (parameterSetsDue || versionDue || damage) {
        Bitstream::Bytes joined = JoinPrefix(out.packet.get());
        parameterSetsDue = versionDue = false;
        if (!joined.empty() || damage) {
            joined.insert(joined.end(), out.packet->data, out.packet->data + out.packet->size);
            if (damage)
                for (std::size_t at = joined.size() / 2; at < joined.size(); at += 7)
                    joined[at] ^= 0x5a;
            out.packet = PacketOf(joined, out.packet.get());
        }
    }
    // What the container hid means nothing in the clip.
    out.packet->flags &= ~AV_PKT_FLAG_DISCARD;
    out.packet->pts = entry.pts;
    out.packet->dts = entry.dts;
    return out;
}

std::vector<OutPacket> VideoOutput::Encoded(RangeEncoder& encoder, std::int64_t delay) {
    std::vector<OutPacket> out;
    for (PacketPtr& packet : encoder.Packets()) {
        const std::int64_t pts = packet->pts;
        const std::int64_t dts = encoder.Reorders() ? packet->dts : packet->pts - delay;
        if (lengthSize > 0)
            packet = PacketOf(
                Bitstream::AnnexBToLengthPrefixed(packet->data, std::size_t(packet->size), lengthSize),
                packet.get());
        packet->pts = pts;
        packet->dts = dts;
        out.push_back({std::move(packet), pts, dts});
    }
    return out;
}

void VideoOutput::Write(OutPacket& out) {
    WriteAt(out.packet.get(), out.pts, out.dts);
}

// The packet stays as it was read: frames at the end may need it again to be decoded. What is written is
// a new reference to its data, in a packet kept for the purpose.
void VideoOutput::WriteCopied(const VideoPacket& entry) {
    if (parameterSetsDue || versionDue || firstCopied) {
        OutPacket out = Copied(entry);
        Write(out);
        return;
    }
    if (av_packet_ref(scratch.get(), entry.packet.get()) < 0)
        throw CutError{"out of memory"};
    scratch->flags &= ~AV_PKT_FLAG_DISCARD;
    WriteAt(scratch.get(), entry.pts, entry.dts);
}

// Moves a video packet onto the clip's clock, with decoding times that keep rising and never pass the
// frame's own time, and writes it.
void VideoOutput::WriteAt(AVPacket* packet, std::int64_t pts, std::int64_t dts) {
    packet->pts = pts - clipStart;
    dts -= clipStart;
    if (lastDts != AV_NOPTS_VALUE && dts <= lastDts)
        dts = lastDts + writer.Tick(video);
    packet->dts = std::min(dts, packet->pts);
    lastDts = packet->dts;
    writer.Write(video, packet);
    wrote = true;
    printer.Progress(double(pts - clipStart) * av_q2d(video->time_base));
}

} // namespace Cut
