#pragma once

#include "cut/avhandles.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Cut {
class ClipWriter;
class ProgressPrinter;
} // namespace Cut

// Writes the sections of one encode into their clips as its packets come: the video from the keyframe
// forced at a section's first frame up to the next one, the sound by audio frames, within a frame of the
// section's start and end. A clip is completed as soon as every stream has passed its
// end, so clips appear one by one while the encode goes on.
namespace Together {

struct SectionClip {
    std::string path;
    std::string muxer;
    bool overwrite = true;
};

class SectionSplitter {
public:
    // A section's clip is complete (code 0) or failed with its reason.
    using ClipDone = std::function<void(std::size_t clip, int code, const std::string& reason)>;

    // starts: where each section after the first starts, in microseconds after the encode's first frame.
    SectionSplitter(const AVFormatContext* encode, std::vector<SectionClip> clips,
                    std::vector<std::int64_t> starts, std::FILE* console, ClipDone done);
    ~SectionSplitter();
    SectionSplitter(const SectionSplitter&) = delete;
    SectionSplitter& operator=(const SectionSplitter&) = delete;

    // Why the encode's streams cannot be split here (not exactly one video stream, or a stream that is
    // neither video nor sound), or an empty text.
    static std::string StreamsRefusal(const AVFormatContext* encode);

    // Takes the packet; false when the encode does not have a keyframe exactly at a section's first frame
    // (or frames after it that lean on the section before): the clips not yet complete must then be
    // encoded on their own, from FirstOpen() on.
    bool Feed(AVPacket* packet);
    // The encode ended with ffmpeg's exit code: the clips still open are completed; when it failed, the
    // clip being written fails with it, and FirstOpen() tells where the clips left to be made begin.
    void End(int exitCode);
    // The first clip that is not complete (or failed), the count of clips when all are.
    std::size_t FirstOpen() const { return firstOpen; }

private:
    struct Clip;
    struct Sound {
        int stream = -1;
        // The clip the stream's packets go to now.
        std::size_t clip = 0;
    };

    bool FeedVideo(AVPacket* packet);
    void FeedSound(AVPacket* packet);
    void Write(std::size_t clip, const AVStream* stream, AVPacket* packet, std::int64_t zero);
    void CompleteFinished();
    void Finish(std::size_t clip);
    void Fail(std::size_t clip, int code, const std::string& reason);
    std::int64_t Microseconds(std::int64_t time, const AVStream* stream) const;
    // Where a clip's time starts, in the ticks of a sound stream.
    std::int64_t ZeroOf(std::size_t clip, const AVStream* stream) const;
    // Where section i starts (0 for the first), in microseconds after the encode's first frame.
    std::int64_t StartOf(std::size_t clip) const { return clip == 0 ? 0 : starts[clip - 1]; }

    const AVFormatContext* encode;
    std::vector<std::int64_t> starts;
    std::FILE* console;
    ClipDone done;
    std::vector<std::unique_ptr<Clip>> clips;
    int video = -1;
    std::vector<Sound> sounds;
    // Sound that comes before the first frame waits for it, as the times count from that frame.
    std::deque<Cut::PacketPtr> early;
    bool started = false;
    std::int64_t origin = 0;   // the first frame's time, in the video stream's ticks
    std::int64_t originUs = 0; // the same in microseconds
    std::size_t videoClip = 0;
    std::int64_t videoZero = 0;
    // The latest frame time written to the current video clip, in microseconds after the first frame.
    std::int64_t latestUs = INT64_MIN;
    std::size_t firstOpen = 0;
    // Whether the clips' container keeps sound that starts before a clip and hides it.
    bool soundStartsEarly = false;
};

} // namespace Together
