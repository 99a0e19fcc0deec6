#pragma once

#include "argumentcheck.h"
#include "encoderarguments.h"

#include <cstdint>
#include <string>
#include <vector>

// Sections of one range that are encoded together: one ffmpeg encodes the whole range, with a keyframe
// forced at each section's first frame, and writes it to a pipe; the front-end writes each section's clip
// from it. Sections that cannot come from one encode are encoded one by one, as any other clip.
namespace Together {

// Why these clips cannot come from one encode of their range, or an empty text when they can as far as
// their arguments tell: two or more clips of one source, one after the other, with the same options and
// container, re-encoding their video at its own frame rate into a container that keeps codec headers
// apart from the frames (the frames then read the same in the pipe as in the clip).
std::string GroupRefusal(const std::vector<EncoderFrontEnd::CheckedClip>& clips);

// The request for the whole range of the clips, from the first clip's start to the last one's end.
Contract::ClipRequest WholeRange(const std::vector<EncoderFrontEnd::CheckedClip>& clips);

// The encoders ffmpeg would pick for a clip of this muxer when the options name none.
struct DefaultEncoders {
    std::string video;
    std::string audio;
};
DefaultEncoders DefaultEncodersOf(const std::string& muxer);

// Where each section after the first starts, in microseconds after the first section's first frame, as
// the exact cuts of the sections on their own find their first frames.
using SectionStarts = std::vector<std::int64_t>;

// ffmpeg's arguments (without the program's name) for the whole range: the exact cut of a clip of it,
// without progress lines (the front-end prints each clip's), a keyframe forced a little before each
// section's first frame, and the output as NUT on standard output.
std::vector<std::string> PipeArguments(const Contract::ClipRequest& whole,
                                       const EncoderFrontEnd::ExactCut& cut, const SectionStarts& starts,
                                       const DefaultEncoders& encoders);

// A keyframe is forced at the first frame at or after its time: this much before the frame it is meant
// for, so that rounding the time to the encoder's clock cannot push it onto the next one.
inline constexpr std::int64_t ForcedKeyLeadUs = 100;

} // namespace Together
