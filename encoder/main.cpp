// The encoder front-end. The runner starts it once per clip, or once for all the clips of a stream copy.
// A stream copy is cut here, in this process, with FFmpeg's libraries; anything else goes to ffmpeg with
// rewritten arguments, and a lone clip's front-end replaces itself with ffmpeg, so that stopping it stops
// the encoder and no orphan is left behind.
#include "argumentcheck.h"
#include "clipsession.h"
#include "cut/clipcutter.h"
#include "cut/decodererrors.h"
#include "encoderarguments.h"
#include "seekpoint.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
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

// Whatever goes wrong in a clip fails that clip with its reason; the front-end goes on with the next.
int CutInProcess(const Cut::CutRequest& request, Cut::SourceCache& sources) {
    Cut::ProgressPrinter printer(stderr);
    try {
        Cut::CutClip(request, printer, sources);
        return 0;
    } catch (const Cut::CutError& error) {
        printer.Error(error.message);
    } catch (const std::bad_alloc&) {
        printer.Error("out of memory");
    } catch (const std::exception& error) {
        printer.Error(std::string("the clip cannot be cut: ") + error.what());
    } catch (...) {
        printer.Error("the clip cannot be cut: an unexpected error");
    }
    // The source may be left in any state.
    sources.Close();
    return 1;
}

// Replaces this process with ffmpeg; returns only when it cannot.
int ExecFfmpeg(const std::vector<std::string>& given, const std::string& ownFolder) {
    const auto ffmpeg =
        EncoderFrontEnd::FindFfmpeg(std::getenv("TESSEL_FFMPEG"), ownFolder, std::getenv("PATH"));
    if (!ffmpeg) {
        std::fprintf(stderr, "wmaspi: ffmpeg was not found (set TESSEL_FFMPEG or install ffmpeg)\n");
        return 127;
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

// In a run of several clips, ffmpeg runs as a child that dies with the front-end.
int RunFfmpeg(const std::vector<std::string>& given, const std::string& ownFolder) {
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0) {
        std::fprintf(stderr, "wmaspi: cannot start ffmpeg: %s\n", std::strerror(errno));
        return 126;
    }
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        std::_Exit(ExecFfmpeg(given, ownFolder));
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

int RunClip(const std::vector<std::string>& given, const std::string& ownFolder, Cut::SourceCache& sources,
            bool session) {
    // Refused before anything else, also before ffmpeg is looked for.
    if (const std::string problem = EncoderFrontEnd::FileCountProblem(given); !problem.empty()) {
        std::fprintf(stderr, "wmaspi: %s\n", problem.c_str());
        return 2;
    }
    if (const auto request = Cut::ParseCutRequest(given))
        return CutInProcess(*request, sources);
    return session ? RunFfmpeg(given, ownFolder) : ExecFfmpeg(given, ownFolder);
}

int RunSession(const std::string& ownFolder) {
    Cut::SourceCache sources;
    while (const auto given = EncoderFrontEnd::ReadClipArguments(stdin)) {
        int code = 1;
        try {
            code = RunClip(*given, ownFolder, sources, true);
        } catch (const std::exception& error) {
            std::fprintf(stderr, "wmaspi: %s\n", error.what());
        }
        std::fprintf(stderr, "\n%s%d\n", EncoderFrontEnd::ClipEndMark, code);
        std::fflush(stderr);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The console carries progress and errors only, as ffmpeg's does with the options given to it.
    av_log_set_level(AV_LOG_ERROR);
    Cut::DecoderErrors::Install();
    const std::string ownFolder = OwnFolder(argv[0]);
    if (argc == 2 && std::strcmp(argv[1], EncoderFrontEnd::ClipsOption) == 0)
        return RunSession(ownFolder);
    Cut::SourceCache sources;
    return RunClip({argv + 1, argv + argc}, ownFolder, sources, false);
}
