#pragma once

#include <string>

struct AVFormatContext;

// The front-end's look at a source before anything reads it: a regular file, opened with the file
// protocol only, whose content FFmpeg recognises as one of the demuxers we list.
namespace EncoderFrontEnd {

// Why the source is not opened, for one line on standard error; empty when it may be.
std::string SourceRefusal(const std::string& path);

// The source opened as ffmpeg and ffprobe open it (the file protocol and our demuxers only, every program
// of a transport stream), with its streams' parameters found; nothing when it cannot be opened. The
// caller closes it with avformat_close_input. FFmpeg's log is silenced: the runner reads this console.
// allFound tells whether every stream's parameters were found: ffmpeg goes on without, ffprobe does not.
AVFormatContext* OpenSourceAsFfmpegDoes(const std::string& path, bool* allFound = nullptr);

} // namespace EncoderFrontEnd
