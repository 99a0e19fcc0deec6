#include "sectionsencode.h"

#include "contract/mediaformats.h"
#include "cut/avhandles.h"
#include "cut/fileio.h"
#include "sectionsplan.h"
#include "sectionsplitter.h"
#include "seekpoint.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace Together {

namespace {

using EncoderFrontEnd::CheckedClip;

// The encode comes through a local socket rather than a pipe: a read waits until this much has come (or
// the end), so the front-end wakes a few times a second instead of for every block ffmpeg writes, and
// takes less time from the encoder on a machine whose cores it keeps busy.
constexpr int ReadAtLeastBytes = 128 << 10;
// Room for a few such reads, so that ffmpeg seldom waits while a clip is being completed (the system
// may grant less).
constexpr int InFlightBytes = 1 << 20;

// Whether ffmpeg would give the clips subtitles where the source has some: the container takes them and
// the options do not drop them. The encode carries no subtitles, so such clips are encoded on their own.
bool TakesSubtitles(const CheckedClip& clip) {
    const AVOutputFormat* format = av_guess_format(clip.request.muxer.c_str(), nullptr, nullptr);
    const std::vector<std::string>& options = clip.request.options;
    return format && format->subtitle_codec != AV_CODEC_ID_NONE &&
           std::find(options.begin(), options.end(), "-sn") == options.end();
}

bool HasSubtitles(const AVFormatContext& source) {
    for (unsigned i = 0; i < source.nb_streams; ++i)
        if (source.streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE)
            return true;
    return false;
}

// The exact cuts of these requests, planned in a few runs side by side, each on one opening of the
// source: with many sections, opening it for each would hold back the encode's start. Whether the source
// has subtitles is seen on the way. Nothing when a request cannot be read.
struct PlannedCuts {
    std::vector<std::optional<EncoderFrontEnd::ExactCut>> cuts;
    bool subtitles = false;
};
std::optional<PlannedCuts>
PlanSideBySide(const std::vector<std::optional<EncoderFrontEnd::ClipRequest>>& requests) {
    if (std::any_of(requests.begin(), requests.end(), [](const auto& request) { return !request; }))
        return std::nullopt;
    PlannedCuts planned{std::vector<std::optional<EncoderFrontEnd::ExactCut>>(requests.size())};
    const std::size_t runs =
        std::min(requests.size(), std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4));
    const std::size_t each = (requests.size() + runs - 1) / runs;
    const auto plan = [&](std::size_t run) {
        const std::size_t from = run * each;
        const std::size_t to = std::min(requests.size(), from + each);
        std::vector<EncoderFrontEnd::ClipRequest> part;
        for (std::size_t i = from; i < to; ++i)
            part.push_back(*requests[i]);
        std::function<void(const AVFormatContext&)> sees;
        if (run == 0)
            sees = [&](const AVFormatContext& source) { planned.subtitles = HasSubtitles(source); };
        // The first run plans the whole range first, on a source that nothing has been read from yet.
        const auto cuts = EncoderFrontEnd::PlanExactCuts(part, sees);
        std::copy(cuts.begin(), cuts.end(), planned.cuts.begin() + std::ptrdiff_t(from));
    };
    std::vector<std::thread> workers;
    for (std::size_t run = 1; run < runs && run * each < requests.size(); ++run)
        workers.emplace_back(plan, run);
    plan(0);
    for (std::thread& worker : workers)
        worker.join();
    return planned;
}

// The exact cut of the whole range, and where each section after the first starts, after the first
// section's first frame; nothing when a cut cannot be found, the sections do not follow one another or
// the clips would carry subtitles.
struct WholePlan {
    EncoderFrontEnd::ExactCut cut;
    SectionStarts starts;
};
std::optional<WholePlan> PlanWhole(const std::vector<CheckedClip>& clips,
                                   const Contract::ClipRequest& whole) {
    std::vector<std::optional<EncoderFrontEnd::ClipRequest>> requests{
        EncoderFrontEnd::ReadClipRequest(Contract::ClipArguments(whole))};
    for (std::size_t i = 1; i < clips.size(); ++i)
        requests.push_back(EncoderFrontEnd::ReadClipRequest(clips[i].arguments));
    const std::optional<PlannedCuts> planned = PlanSideBySide(requests);
    if (!planned || (planned->subtitles && TakesSubtitles(clips.front())))
        return std::nullopt;
    const std::vector<std::optional<EncoderFrontEnd::ExactCut>>& cuts = planned->cuts;
    if (std::any_of(cuts.begin(), cuts.end(), [](const auto& cut) { return !cut; }))
        return std::nullopt;
    WholePlan plan{*cuts.front(), {}};
    for (std::size_t i = 1; i < cuts.size(); ++i) {
        const std::int64_t start = cuts[i]->outputStart - plan.cut.outputStart;
        if (start <= (plan.starts.empty() ? 0 : plan.starts.back()) || start >= plan.cut.outputLength)
            return std::nullopt;
        plan.starts.push_back(start);
    }
    return plan;
}

// ffmpeg writing into a local socket, as a child that dies with the front-end.
class PipedEncoder {
public:
    PipedEncoder(const std::string& ffmpeg, const std::vector<std::string>& arguments) {
        int ends[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
            return;
        setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &InFlightBytes, sizeof(InFlightBytes));
        setsockopt(ends[0], SOL_SOCKET, SO_RCVBUF, &InFlightBytes, sizeof(InFlightBytes));
        setsockopt(ends[0], SOL_SOCKET, SO_RCVLOWAT, &ReadAtLeastBytes, sizeof(ReadAtLeastBytes));
        std::fflush(stderr);
        const pid_t parent = getpid();
        child = fork();
        if (child == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent)
                std::_Exit(128 + SIGKILL);
            dup2(ends[1], STDOUT_FILENO);
            close(ends[0]);
            close(ends[1]);
            std::vector<char*> pointers{const_cast<char*>(ffmpeg.c_str())};
            for (const std::string& argument : arguments)
                pointers.push_back(const_cast<char*>(argument.c_str()));
            pointers.push_back(nullptr);
            execv(ffmpeg.c_str(), pointers.data());
            std::_Exit(126);
        }
        close(ends[1]);
        if (child < 0) {
            close(ends[0]);
            return;
        }
        output = ends[0];
    }
    ~PipedEncoder() {
        if (output >= 0)
            close(output);
        Stop();
    }
    PipedEncoder(const PipedEncoder&) = delete;
    PipedEncoder& operator=(const PipedEncoder&) = delete;

    bool Started() const { return output >= 0; }
    pid_t Child() const { return child; }
    // The socket's reading end, which the caller then closes.
    int TakeOutput() { return std::exchange(output, -1); }
    // Ends ffmpeg at once; nothing more of its output is wanted.
    void Stop() {
        if (child > 0) {
            kill(child, SIGKILL);
            Wait();
        }
    }
    // ffmpeg's exit code once it ended.
    int Wait() {
        int status = 0;
        while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        child = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    }

private:
    pid_t child = -1;
    int output = -1;
};

// The encode as NUT from the socket; nothing when it does not start as such.
Cut::InputPtr OpenPipe(Cut::FileIo& io) {
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        return nullptr;
    raw->pb = io.Context();
    raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&raw, nullptr, av_find_input_format("nut"), nullptr) < 0)
        return nullptr;
    Cut::InputPtr input(raw);
    // The packets' durations (an audio frame's samples) come from the codecs' parameters, which NUT
    // leaves for the reader to find; without them a clip's sound would end a frame early.
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        return nullptr;
    return input;
}

} // namespace

std::size_t EncodeTogether(const std::vector<CheckedClip>& clips, const std::string& ffmpeg,
                           const ClipReport& report, const ChildReport& running) {
    if (!GroupRefusal(clips).empty())
        return 0;
    const Contract::ClipRequest whole = WholeRange(clips);
    const std::optional<WholePlan> plan = PlanWhole(clips, whole);
    if (!plan)
        return 0;
    const SectionStarts& starts = plan->starts;
    const std::vector<std::string> arguments =
        PipeArguments(whole, plan->cut, starts, DefaultEncodersOf(whole.muxer));
    if (arguments.empty())
        return 0;

    PipedEncoder encoder(ffmpeg, arguments);
    if (!encoder.Started())
        return 0;
    running(encoder.Child());
    const auto io = std::make_unique<Cut::FileIo>(encoder.TakeOutput());
    const Cut::InputPtr input = OpenPipe(*io);
    if (!input || !SectionSplitter::StreamsRefusal(input.get()).empty()) {
        encoder.Stop();
        running(0);
        return 0;
    }

    std::vector<SectionClip> targets;
    for (const CheckedClip& clip : clips)
        targets.push_back(SectionClip{clip.request.output, clip.request.muxer, clip.request.overwrite});
    SectionSplitter splitter(input.get(), std::move(targets), starts, stderr,
                             [&](std::size_t clip, int code, const std::string&) { report(clip, code); });
    const Cut::PacketPtr packet = Cut::NewPacket();
    int read = 0;
    while ((read = av_read_frame(input.get(), packet.get())) >= 0) {
        const bool taken = splitter.Feed(packet.get());
        av_packet_unref(packet.get());
        if (!taken) {
            // The encoder did not cut its groups of pictures at the sections: the rest go one by one.
            encoder.Stop();
            running(0);
            return splitter.FirstOpen();
        }
    }
    if (read != AVERROR_EOF)
        encoder.Stop();
    const int code = encoder.Wait();
    running(0);
    splitter.End(read == AVERROR_EOF ? code : (code != 0 ? code : 1));
    return splitter.FirstOpen();
}

} // namespace Together
