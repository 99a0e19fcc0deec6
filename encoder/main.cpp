// The encoder front-end. The runner starts it once per clip; it rewrites the arguments for ffmpeg and
// replaces itself with ffmpeg, so that stopping it stops the encoder and no orphan is left behind.
#include "encoderarguments.h"
#include "seekpoint.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string OwnFolder(const char* argv0) {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length > 0)
        return EncoderFrontEnd::FolderOfPath(std::string(buffer, static_cast<std::size_t>(length)));
    return EncoderFrontEnd::FolderOfPath(argv0 ? argv0 : "");
}

} // namespace

int main(int argc, char** argv) {
    const auto ffmpeg =
        EncoderFrontEnd::FindFfmpeg(std::getenv("TESSEL_FFMPEG"), OwnFolder(argv[0]), std::getenv("PATH"));
    if (!ffmpeg) {
        std::fprintf(stderr, "wmaspi: ffmpeg was not found (set TESSEL_FFMPEG or install ffmpeg)\n");
        return 127;
    }

    std::vector<std::string> arguments(argv + 1, argv + argc);
    arguments = EncoderFrontEnd::FfmpegArguments(arguments);
    std::vector<char*> pointers;
    pointers.push_back(const_cast<char*>(ffmpeg->c_str()));
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    execv(ffmpeg->c_str(), pointers.data());
    std::fprintf(stderr, "wmaspi: cannot start %s: %s\n", ffmpeg->c_str(), std::strerror(errno));
    return 126;
}
