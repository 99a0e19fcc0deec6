#pragma once

#include <string>

namespace EncoderFrontEnd {

// The source's length as ffprobe tells it, for a runner that asks its session front-end, which has
// FFmpeg's libraries loaded already, rather than start ffprobe: "<seconds> <frame rate>", the container's
// duration as ffprobe prints it and the average frame rate of its first video stream ("0/0" without
// one). Empty where only ffprobe can tell: a source that is refused, cannot be opened or has a stream
// whose parameters are not found, or whose container tells no length or guesses it from the bit rate
// (ffprobe then reads every packet).
std::string SourceLengthAnswer(const std::string& source);

} // namespace EncoderFrontEnd
