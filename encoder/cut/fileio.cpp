#include "fileio.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cut {

namespace {

constexpr int BufferSize = 1 << 20;

int ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
    const int descriptor = *static_cast<int*>(opaque);
    for (;;) {
        const ssize_t count = read(descriptor, buffer, std::size_t(size));
        if (count > 0)
            return int(count);
        if (count == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

int WritePacket(void* opaque, std::uint8_t* buffer, int size) {
    const int descriptor = *static_cast<int*>(opaque);
    int written = 0;
    while (written < size) {
        const ssize_t count = write(descriptor, buffer + written, std::size_t(size - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return count < 0 ? AVERROR(errno) : AVERROR(EIO);
        written += int(count);
    }
    return written;
}

std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
    const int descriptor = *static_cast<int*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat status {};
        return fstat(descriptor, &status) == 0 ? std::int64_t(status.st_size) : AVERROR(errno);
    }
    const off_t position = lseek(descriptor, off_t(offset), whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : std::int64_t(position);
}

} // namespace

FileIo::FileIo(const std::string& path, Mode mode) {
    descriptor = mode == Mode::Read
                     ? open(path.c_str(), O_RDONLY | O_CLOEXEC)
                     : open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor < 0)
        throw CutError{path + ": " + ErrorText(AVERROR(errno))};
    Attach(mode, true);
    context->seekable = AVIO_SEEKABLE_NORMAL;
}

FileIo::FileIo(int pipeReadEnd) : descriptor(pipeReadEnd) {
    Attach(Mode::Read, false);
}

void FileIo::Attach(Mode mode, bool seekable) {
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(BufferSize));
    context = buffer
                  ? avio_alloc_context(buffer, BufferSize, mode == Mode::Write, &descriptor,
                                       mode == Mode::Read ? ReadPacket : nullptr,
                                       mode == Mode::Write ? WritePacket : nullptr, seekable ? Seek : nullptr)
                  : nullptr;
    if (!context) {
        av_free(buffer);
        close(descriptor);
        throw CutError{"out of memory"};
    }
}

FileIo::~FileIo() {
    if (context) {
        av_freep(&context->buffer);
        avio_context_free(&context);
    }
    if (descriptor >= 0)
        close(descriptor);
}

void FileIo::Close() {
    avio_flush(context);
    const int error = context->error;
    const int closed = close(descriptor);
    descriptor = -1;
    if (error < 0)
        throw CutError{"the clip cannot be written: " + ErrorText(error)};
    if (closed != 0)
        throw CutError{"the clip cannot be written: " + ErrorText(AVERROR(errno))};
}

} // namespace Cut
