#pragma once

#include "avhandles.h"
#include "bitstream.h"
#include "videopacket.h"

#include <cstdint>
#include <vector>

namespace Cut {

class ClipWriter;
class ProgressPrinter;
class RangeEncoder;

// A video packet on its way into the clip: its bytes as they will be written, with the source's times of
// its frame.
struct OutPacket {
    PacketPtr packet;
    std::int64_t pts = 0;
    std::int64_t dts = 0;
};

// The clip's video as it is written: copied packets of the source and re-encoded ones, moved onto the
// clip's clock. Where copied frames follow re-encoded ones (and at the clip's start) the first copied
// packet carries the source's parameter sets and encoder version, so that each part decodes with its own.
class VideoOutput {
public:
    VideoOutput(ClipWriter& writer, const AVStream* video, const Bitstream::Bytes& encoderVersion,
                ProgressPrinter& printer);

    // The source's time of the clip's first frame, which becomes 0.
    void SetClipStart(std::int64_t time) { clipStart = time; }
    // The next copied packet is the first after re-encoded ones.
    void JoinFollows() { parameterSetsDue = versionDue = true; }
    // Nothing is written yet, and the next copied packet begins the clip.
    void Restart() {
        parameterSetsDue = false;
        versionDue = firstCopied = true;
    }

    // A copied packet as it will be written; it refers to the source packet's data.
    OutPacket Copied(const VideoPacket& entry);
    // The re-encoded packets as they will be written. delay: how far decoding times run ahead of the
    // frames' own times where the encoder does not reorder.
    std::vector<OutPacket> Encoded(RangeEncoder& encoder, std::int64_t delay);

    void Write(OutPacket& packet);
    // Writes a copied packet at once, without a packet of its own.
    void WriteCopied(const VideoPacket& entry);

    bool Wrote() const { return wrote; }

private:
    // The bytes to put in front of a copied packet that follows a join, empty when none are needed.
    Bitstream::Bytes JoinPrefix(const AVPacket* packet);
    void WriteAt(AVPacket* packet, std::int64_t pts, std::int64_t dts);

    ClipWriter& writer;
    const AVStream* video;
    const Bitstream::Bytes& encoderVersion;
    ProgressPrinter& printer;
    Bitstream::Bytes extradata;
    int lengthSize = 0;
    std::int64_t clipStart = 0;
    std::int64_t lastDts = AV_NOPTS_VALUE;
    bool parameterSetsDue = false;
    bool versionDue = true;
    bool firstCopied = true;
    bool wrote = false;
    PacketPtr scratch = NewPacket();
    // A test may ask for broken joins, to see them caught: "joins" leaves the parameter sets out, "frames"
    // damages the first copied frame after a join as well.
    enum class Fault { None, Joins, Frames } fault = Fault::None;
};

} // namespace Cut
