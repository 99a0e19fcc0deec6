// The encoder front-end. The runner starts it once per clip, or once for all the clips of a stream copy.
// A stream copy is cut here, in this process, with FFmpeg's libraries; anything else goes to ffmpeg with
// rewritten arguments, run as a child that dies with the front-end, so that stopping the front-end stops
// the encoder and no orphan is left behind. A clip that ended well is then read back: one that holds no
// packet fails.
#include "argumentcheck.h"
#include "clipcontent.h"
#include "clipfile.h"
#include "contract/cliprequest.h"
#include "contract/sessionprotocol.h"
#include "cut/clipcutter.h"
#include "cut/decodererrors.h"
#include "encoderarguments.h"
#include "seekpoint.h"
#include "size/sizelimitedcut.h"
#include "sourcecheck.h"
#include "sourcelength.h"
#include "together/sectionsencode.h"

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
int CutInProcess(const Cut::CutRequest& request, Cut::SourceCache& sources, std::int64_t maxBytes = 0) {
    Cut::ProgressPrinter printer(stderr);
    try {
        if (maxBytes > 0)
            SizeLimit::CutWithin(request, maxBytes, printer, sources);
        else
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

volatile std::sig_atomic_t runningChild = 0;

// A polite stop meant for the encoder reaches ffmpeg, which ends the clip as it would on its own; with no
// ffmpeg running, the front-end stops as it would have without this handler.
void PassStopToChild(int signal) {
    if (runningChild > 0) {
        kill(runningChild, signal);
        return;
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// ffmpeg runs as a child that dies with the front-end; its exit code is the clip's.
int RunFfmpeg(const std::vector<std::string>& given, const std::string& ownFolder) {
    std::fflush(stderr);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        std::fprintf(stderr, "wmaspi: cannot start ffmpeg: %s\n", std::strerror(errno));
        return 126;
    }
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The front-end may have died before the death signal was asked for.
        if (getppid() != parent)
            std::_Exit(128 + SIGKILL);
        std::_Exit(ExecFfmpeg(given, ownFolder));
    }
    runningChild = child;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    runningChild = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

void PassStopsToChild() {
    struct sigaction action = {};
    action.sa_handler = PassStopToChild;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

// ffmpeg ends well also when the range held nothing for the clip. A clip file that is not there at all
// (its folder was removed) is the runner's to report.
int CheckWritten(int code, const std::string& clip) {
    if (code != 0 || access(clip.c_str(), F_OK) != 0 || EncoderFrontEnd::ClipHoldsPackets(clip))
        return code;
    std::fprintf(stderr, "\n%s\n", EncoderFrontEnd::NoFramesWritten);
    return 1;
}

int RunClip(const std::vector<std::string>& given, const std::string& ownFolder, Cut::SourceCache& sources) {
    // Refused before anything else, also before ffmpeg is looked for.
    const EncoderFrontEnd::CheckedClip checked = EncoderFrontEnd::CheckClipArguments(given);
    if (!checked.problem.empty()) {
        std::fprintf(stderr, "wmaspi: %s\n", checked.problem.c_str());
        return 2;
    }
    // The source is one media file, whatever it is named or holds; the clip replaces what is planted at
    // its name.
    const std::string& clip = checked.request.output;
    std::string problem = EncoderFrontEnd::SourceRefusal(checked.request.source);
    if (problem.empty())
        problem = EncoderFrontEnd::ClearClipName(clip);
    if (!problem.empty()) {
        std::fprintf(stderr, "wmaspi: %s\n", problem.c_str());
        return 1;
    }
    if (checked.request.maxBytes > 0) {
        const auto request = Cut::ParseCutRequest(checked.arguments);
        if (!request) {
            std::fprintf(stderr, "wmaspi: refused: a size limit is kept only for a stream copy\n");
            return 2;
        }
        return CheckWritten(CutInProcess(*request, sources, checked.request.maxBytes), clip);
    }
    if (const auto request = Cut::ParseCutRequest(checked.arguments))
        return CheckWritten(CutInProcess(*request, sources), clip);
    return CheckWritten(RunFfmpeg(checked.arguments, ownFolder), clip);
}

void EndClip(int code) {
    const std::string record = Contract::ClipEndRecord(code);
    std::fwrite(record.data(), 1, record.size(), stderr);
    std::fflush(stderr);
}

int RunClipOfSession(const std::vector<std::string>& given, const std::string& ownFolder,
                     Cut::SourceCache& sources) {
    try {
        return RunClip(given, ownFolder, sources);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "wmaspi: %s\n", error.what());
    }
    return 1;
}

// Sections of one range encoded by one ffmpeg; returns the first clip left to be made on its own, after
// reporting the ones before it.
std::size_t EncodeSectionsTogether(const std::vector<std::vector<std::string>>& group,
                                   const std::string& ownFolder) {
    std::vector<EncoderFrontEnd::CheckedClip> clips;
    for (const std::vector<std::string>& given : group) {
        clips.push_back(EncoderFrontEnd::CheckClipArguments(given));
        // Each clip that is refused says why on its own.
        if (!clips.back().problem.empty() ||
            !EncoderFrontEnd::ClearClipName(clips.back().request.output).empty())
            return 0;
    }
    const auto ffmpeg =
        EncoderFrontEnd::FindFfmpeg(std::getenv("TESSEL_FFMPEG"), ownFolder, std::getenv("PATH"));
    if (!ffmpeg || !EncoderFrontEnd::SourceRefusal(clips.front().request.source).empty())
        return 0;
    std::size_t reported = 0;
    try {
        return Together::EncodeTogether(
            clips, *ffmpeg,
            [&](std::size_t, int code) {
                EndClip(code);
                ++reported;
            },
            [](pid_t child) { runningChild = child; });
    } catch (const Cut::CutError& error) {
        std::fprintf(stderr, "wmaspi: %s\n", error.message.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "wmaspi: %s\n", error.what());
    }
    runningChild = 0;
    return reported;
}

int RunSession(const std::string& ownFolder) {
    Cut::SourceCache sources;
    std::vector<std::vector<std::string>> group;
    while (auto given = Contract::ReadClipArguments(stdin)) {
        if (group.empty() && given->size() == 2 && given->front() == Contract::SourceLengthOption) {
            const std::string record = Contract::Record(Contract::SourceLengthWord,
                                                        EncoderFrontEnd::SourceLengthAnswer(given->back()));
            std::fwrite(record.data(), 1, record.size(), stderr);
            std::fflush(stderr);
            continue;
        }
        const bool withNext = !given->empty() && given->front() == Contract::WithNextOption;
        if (withNext)
            given->erase(given->begin());
        group.push_back(std::move(*given));
        if (withNext)
            continue;
        // An input that ends before a group's last clip ends the front-end without them.
        const std::size_t from = group.size() > 1 ? EncodeSectionsTogether(group, ownFolder) : 0;
        for (std::size_t i = from; i < group.size(); ++i)
            EndClip(RunClipOfSession(group[i], ownFolder, sources));
        group.clear();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    // The console carries progress and errors only, as ffmpeg's does with the options given to it.
    av_log_set_level(AV_LOG_ERROR);
    Cut::DecoderErrors::Install();
    const std::string ownFolder = OwnFolder(argv[0]);
    PassStopsToChild();
    if (argc == 2 && std::strcmp(argv[1], Contract::ClipsOption) == 0)
        return RunSession(ownFolder);
    Cut::SourceCache sources;
    return RunClip({argv + 1, argv + argc}, ownFolder, sources);
}
