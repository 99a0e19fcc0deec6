#pragma once

#include "avhandles.h"
#include "fileio.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Cut {

// Whether a clip written with this muxer can hold a stream of the source's codec.
bool MuxerCanHold(const std::string& muxer, const AVStream* source);

// The clip file: the streams that the cut keeps, in the container of the source (the muxer the runner
// chose from the output's extension), with their codec parameters copied from the source.
class ClipWriter {
public:
    ClipWriter(const std::string& path, bool overwrite, const std::string& muxer);
    ~ClipWriter();
    ClipWriter(const ClipWriter&) = delete;
    ClipWriter& operator=(const ClipWriter&) = delete;

    void AddStream(const AVStream* source);
    void Open();
    // A packet of the source stream with times in that stream's time base, already moved to the clip's.
    void Write(const AVStream* source, AVPacket* packet);
    // The clip's smallest step of time for the source's stream, in the source stream's ticks (at least
    // one): times closer than that become one in the clip (MPEG program streams count 90 kHz ticks, a
    // raw MPEG video stream 1.2 MHz ones). Known once the clip is open.
    std::int64_t Tick(const AVStream* source) const;
    void Finish();

private:
    int OutputIndex(const AVStream* source) const;

    std::string path;
    bool overwrite;
    // Declared first, so that it outlives the muxer writing through it.
    std::unique_ptr<FileIo> io;
    OutputPtr output;
    std::vector<int> sourceIndexOf;
    bool opened = false;
    bool finished = false;
};

} // namespace Cut
