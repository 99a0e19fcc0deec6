#pragma once

#include <string>

// What a clip file that the encoder reported as written really holds. ffmpeg ends well also when nothing
// went into the clip (a range past the source's end), and its progress text cannot tell: with the source's
// own timestamps an audio-only clip always reports a time of zero.
namespace EncoderFrontEnd {

// The reason for one line on the console.
inline constexpr const char* NoFramesWritten = "the encoder wrote no frames";

// True when the file opens as media and at least one of its streams holds a packet. The file is read
// through the file protocol only, and only as far as its first packet.
bool ClipHoldsPackets(const std::string& path);

} // namespace EncoderFrontEnd
