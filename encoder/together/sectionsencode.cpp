#include "sectionsencode.h"

#include "contract/mediaformats.h"
#include "cut/avhandles.h"
#include "cut/fileio.h"
#include "sectionsplan.h"
#include "sectionsplitter.h"
#include "seekpoint.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace Together {

namespace {

using EncoderFrontEnd::CheckedClip;

// Whether ffmpeg would give the clips subtitles: the source has some, the container takes them and the
// options do not drop them. The pipe carries no subtitles, so such clips are encoded on their own.
bool WouldCarrySubtitles(const CheckedClip& clip) {
    const AVOutputFormat* format = av_guess_format(clip.request.muxer.c_str(), nullptr, nullptr);
    const std::vector<std::string>& options = clip.request.options;
    if (!format || format->subtitle_codec == AV_CODEC_ID_NONE ||
        std::find(options.begin(), options.end(), "-sn") != options.end())
        return false;
    AVDictionary* open = nullptr;
    for (const Contract::OpenOption& option : Contract::SourceOpenOptions())
        av_dict_set(&open, option.name.c_str(), option.value.c_str(), 0);
    AVFormatContext* raw = nullptr;
    const int opened =
        avformat_open_input(&raw, Contract::FileUrl(clip.request.source).c_str(), nullptr, &open);
    av_dict_free(&open);
    if (opened < 0)
        return true;
    const Cut::InputPtr input(raw);
    avformat_find_stream_info(input.get(), nullptr);
    for (unsigned i = 0; i < input->nb_streams; ++i)
        if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE)
            return true;
    return false;
}

// The exact cuts of these requests, planned side by side: each reads its own part of the source, and
// with many sections the planning would otherwise hold back the encode's start.
std::vector<std::optional<EncoderFrontEnd::ExactCut>>
PlanSideBySide(const std::vector<std::optional<EncoderFrontEnd::ClipRequest>>& requests) {
    std::vector<std::optional<EncoderFrontEnd::ExactCut>> cuts(requests.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < requests.size(); i = next++)
            if (requests[i])
                cuts[i] = EncoderFrontEnd::PlanExactCut(*requests[i]);
    };
    const std::size_t count = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
    std::vector<std::thread> workers;
    for (std::size_t i = 1; i < count && i < requests.size(); ++i)
        workers.emplace_back(work);
    work();
    for (std::thread& worker : workers)
        worker.join();
    return cuts;
}

// The exact cut of the whole range, and where each section after the first starts, after the first
// section's first frame; nothing when a cut cannot be found or the sections do not follow one another.
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
    const std::vector<std::optional<EncoderFrontEnd::ExactCut>> cuts = PlanSideBySide(requests);
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

// ffmpeg writing into a pipe, as a child that dies with the front-end.
class PipedEncoder {
public:
    PipedEncoder(const std::string& ffmpeg, const std::vector<std::string>& arguments) {
        int ends[2];
        if (pipe(ends) != 0)
            return;
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
    // The pipe's read end, which the caller then closes.
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

// The encode as NUT from the pipe; nothing when it does not start as such.
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
    if (!GroupRefusal(clips).empty() || WouldCarrySubtitles(clips.front()))
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
