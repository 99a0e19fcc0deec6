#pragma once

#include "avhandles.h"

#include <string>

namespace Cut {

// A file for FFmpeg's demuxer or muxer, read and written through a large buffer: a clip moves hundreds of
// megabytes, and FFmpeg's own 32 KB buffer costs a system call every 32 KB.
class FileIo {
public:
    enum class Mode { Read, Write };
    // Throws CutError when the file cannot be opened.
    FileIo(const std::string& path, Mode mode);
    // Reads what comes through a pipe, whose read end it takes over; nothing can be sought.
    explicit FileIo(int pipeReadEnd);
    ~FileIo();
    FileIo(const FileIo&) = delete;
    FileIo& operator=(const FileIo&) = delete;

    AVIOContext* Context() const { return context; }
    // Writes out what the buffer holds and closes the file; throws CutError when that fails.
    void Close();

private:
    // Puts FFmpeg's buffered I/O over the open descriptor; closes it and throws CutError when that fails.
    void Attach(Mode mode, bool seekable);

    int descriptor = -1;
    AVIOContext* context = nullptr;
};

} // namespace Cut
