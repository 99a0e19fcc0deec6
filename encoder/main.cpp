// The encoder front-end. The runner starts it once per clip; it rewrites the arguments for ffmpeg and
// replaces itself with ffmpeg, so that stopping it stops the encoder and no orphan is left behind.
#include "argumentcheck.h"
#include "cut/clipcutter.h"
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

extern "C" {
#include <libavutil/log.h>
}

namespace {

std::string OwnFolder(const char* argv0) {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (length > 0)
        return EncoderFrontEnd::FolderOfPath(std::string(buffer, static_cast<std::size_t>(length)));
    return EncoderFrontEnd::FolderOfPath(argv0 ? argv0 : "");
}

// A stream copy is cut here, in this process, so that every clip starts on the frame asked for.
int CutInProcess(const Cut::CutRequest& request) {
    Cut::ProgressPrinter printer(stderr);
    // The console carries progress and errors only, as ffmpeg's does with the options given to it.
    av_log_set_level(AV_LOG_ERROR);
    try {
        Cut::CutClip(request, printer);
        return 0;
    } catch (const Cut::CutError& error) {
        printer.Error(error.message);
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    // Refused before anything else, also before ffmpeg is looked for.
    if (const std::string problem = EncoderFrontEnd::FileCountProblem({argv + 1, argv + argc});
        !problem.empty()) {
        std::fprintf(stderr, "wmaspi: %s\n", problem.c_str());
        return 2;
    }

    std::vector<std::string> given(argv + 1, argv + argc);
    if (const auto request = Cut::ParseCutRequest(given))
        return CutInProcess(*request);

    const auto ffmpeg =
        EncoderFrontEnd::FindFfmpeg(std::getenv("TESSEL_FFMPEG"), OwnFolder(argv[0]), std::getenv("PATH"));
    if (!ffmpeg) {
        std::fprintf(stderr, "wmaspi: ffmpeg was not found (set TESSEL_FFMPEG or install ffmpeg)\n");
        return 127;
    }

    // Cut points matter to stream copies only; a clip that is encoded starts on its frame anyway.
    for (auto option = given.begin(); option != given.end() && option + 1 != given.end();) {
        if (*option == "-cut_points")
            option = given.erase(option, option + 2);
        else
            ++option;
    }
    std::vector<std::string> arguments = EncoderFrontEnd::FfmpegArguments(given);
    std::vector<char*> pointers;
    pointers.push_back(const_cast<char*>(ffmpeg->c_str()));
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    execv(ffmpeg->c_str(), pointers.data());
    std::fprintf(stderr, "wmaspi: cannot start %s: %s\n", ffmpeg->c_str(), std::strerror(errno));
    return 126;
}
