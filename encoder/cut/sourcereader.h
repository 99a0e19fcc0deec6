#pragma once

#include "avhandles.h"
#include "bitstream.h"
#include "fileio.h"
#include "packedframes.h"
#include "timefiller.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Cut {

// The source file opened for reading packets: the first video stream (pictures attached as cover art do
// not count), times counted from the start of the file as a player counts them, and seeking that may be
// tried again from further back.
class SourceReader {
public:
    explicit SourceReader(const std::string& path);

    AVFormatContext* Format() const { return input.get(); }
    // The video stream, or nullptr when the source has none.
    AVStream* Video() const { return video; }
    // Seconds from the start of the file as microseconds of the file's own clock.
    std::int64_t FileTime(double seconds) const;
    // Seconds from the start of the file as a time of the stream, rounded down to its time base.
    std::int64_t StreamTime(const AVStream* stream, double seconds) const;
    // A time of the stream as seconds from the start of the file.
    double Seconds(const AVStream* stream, std::int64_t time) const;
    // The file's length in seconds, or a negative number when unknown.
    double Duration() const;

    // The units in which the video's encoder names itself at the start of the stream: decoders given
    // frames from further on need them in front (Bitstream::EncoderVersionUnits). Often empty.
    const Bitstream::Bytes& EncoderVersion() const { return encoderVersion; }

    // Moves the reading position to about that many seconds from the start (0 or less: the start).
    void SeekTo(double seconds);
    // The next packet, or nullptr at the end of the file; throws CutError on a read error.
    PacketPtr Read();

private:
    PacketPtr ReadFromFile();
    void ReadEncoderVersion();

    // Declared first, so that it outlives the demuxer reading through it.
    std::unique_ptr<FileIo> io;
    InputPtr input;
    AVStream* video = nullptr;
    std::int64_t origin = 0;
    std::unique_ptr<PackedFrames> unpacker;
    std::unique_ptr<TimeFiller> filler;
    bool readAny = false;
    bool unpackerDrained = false;
    Bitstream::Bytes encoderVersion;
};

} // namespace Cut
