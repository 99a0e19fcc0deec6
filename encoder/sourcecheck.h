#pragma once

#include <string>

// The front-end's look at a source before anything reads it: a regular file, opened with the file
// protocol only, whose content FFmpeg recognises as one of the demuxers we list.
namespace EncoderFrontEnd {

// Why the source is not opened, for one line on standard error; empty when it may be.
std::string SourceRefusal(const std::string& path);

} // namespace EncoderFrontEnd
