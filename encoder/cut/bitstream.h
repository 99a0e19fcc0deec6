#pragma once

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <cstdint>
#include <vector>

// The parameter sets that tell a decoder how to read a stream (H.264 and HEVC parameter sets, the MPEG-2
// sequence header, the MPEG-4 video object layer). A clip that joins re-encoded frames with copied ones
// switches between two sets of them, so each part carries its own in the stream itself.
namespace Cut::Bitstream {

using Bytes = std::vector<std::uint8_t>;

// How the stream's packets hold their units: with start codes (0 when there are no lengths) or each unit
// behind a big-endian length of 1 to 4 bytes, as MP4 and Matroska store H.264 and HEVC.
int NalLengthSize(AVCodecID codec, const Bytes& extradata);

// The source's parameter sets from its codec private data, ready to be put in front of a packet in the
// stream's own form (start codes when lengthSize is 0).
Bytes ParameterSetsForPacket(AVCodecID codec, const Bytes& extradata, int lengthSize);

// Whether a packet already begins a new sequence with its own parameter sets.
bool CarriesParameterSets(AVCodecID codec, const std::uint8_t* data, std::size_t size, int lengthSize);

// The units in which an H.264 encoder names itself, in the stream's own form: x264 does so in an SEI
// message of the first frame only, and FFmpeg's decoder reads its build from there to work around faults
// of older builds (4:4:4 video of builds before 151 decodes wrongly without it). Empty when there are none.
Bytes EncoderVersionUnits(AVCodecID codec, const std::uint8_t* data, std::size_t size, int lengthSize);
// The x264 build that such units name, or -1.
int X264Build(const Bytes& units, int lengthSize);

// Units with start codes rewritten with lengths of lengthSize bytes (unchanged for 0).
Bytes AnnexBToLengthPrefixed(const std::uint8_t* data, std::size_t size, int lengthSize);

} // namespace Cut::Bitstream
