#include "sectionsplitter.h"

#include "clipcontent.h"
#include "cut/clipwriter.h"
#include "cut/progressprinter.h"
#include "sectionsplan.h"

#include <algorithm>
#include <optional>

namespace Together {

namespace {

constexpr AVRational Microsecond{1, AV_TIME_BASE};
// A keyframe this close before a section's start is the one forced for it.
constexpr std::int64_t KeySlackUs = 2 * ForcedKeyLeadUs;

} // namespace

struct SectionSplitter::Clip {
    SectionClip target;
    std::unique_ptr<Cut::ClipWriter> writer;
    Cut::ProgressPrinter printer;
    std::int64_t frames = 0;
    // The clip's exit code once it is complete or failed, and why it failed.
    std::optional<int> result;
    std::string reason;

    Clip(SectionClip target, std::FILE* console) : target(std::move(target)), printer(console) {}
};

SectionSplitter::SectionSplitter(const AVFormatContext* encode, std::vector<SectionClip> targets,
                                 std::vector<std::int64_t> starts, std::FILE* console, ClipDone done)
    : encode(encode), starts(std::move(starts)), console(console), done(std::move(done)) {
    if (!targets.empty()) {
        const AVOutputFormat* format = av_guess_format(targets.front().muxer.c_str(), nullptr, nullptr);
        soundStartsEarly = format && (format->flags & AVFMT_TS_NEGATIVE);
    }
    for (SectionClip& target : targets)
        clips.push_back(std::make_unique<Clip>(std::move(target), console));
    for (unsigned i = 0; i < encode->nb_streams; ++i) {
        if (encode->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            video = int(i);
        else
            sounds.push_back(Sound{int(i), 0});
    }
}

SectionSplitter::~SectionSplitter() = default;

std::string SectionSplitter::StreamsRefusal(const AVFormatContext* encode) {
    int videos = 0;
    for (unsigned i = 0; i < encode->nb_streams; ++i) {
        const AVMediaType type = encode->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO)
            ++videos;
        else if (type != AVMEDIA_TYPE_AUDIO)
            return "the encode holds a stream that is neither video nor sound";
    }
    return videos == 1 ? std::string() : "the encode does not hold exactly one video stream";
}

std::int64_t SectionSplitter::Microseconds(std::int64_t time, const AVStream* stream) const {
    return av_rescale_q(time, stream->time_base, Microsecond);
}

bool SectionSplitter::Feed(AVPacket* packet) {
    if (packet->stream_index < 0 || unsigned(packet->stream_index) >= encode->nb_streams ||
        packet->pts == AV_NOPTS_VALUE)
        return false;
    if (packet->stream_index == video) {
        if (!FeedVideo(packet))
            return false;
        while (!early.empty()) {
            FeedSound(early.front().get());
            early.pop_front();
        }
    } else if (!started) {
        Cut::PacketPtr kept = Cut::NewPacket();
        av_packet_move_ref(kept.get(), packet);
        early.push_back(std::move(kept));
        return true;
    } else {
        FeedSound(packet);
    }
    CompleteFinished();
    return true;
}

bool SectionSplitter::FeedVideo(AVPacket* packet) {
    const AVStream* stream = encode->streams[video];
    const bool key = packet->flags & AV_PKT_FLAG_KEY;
    if (!started) {
        // Decoding begins at the encode's first packet, a keyframe shown first.
        if (!key)
            return false;
        started = true;
        origin = packet->pts;
        originUs = Microseconds(origin, stream);
        videoZero = origin;
    }
    const std::int64_t timeUs = Microseconds(packet->pts - origin, stream);
    const bool pastNextStart = videoClip + 1 < clips.size() && timeUs >= StartOf(videoClip + 1) - KeySlackUs;
    if (pastNextStart) {
        // The next section's first frame must be a keyframe, and no frame of this section may follow it.
        if (!key || latestUs >= StartOf(videoClip + 1) - KeySlackUs)
            return false;
        ++videoClip;
        videoZero = packet->pts;
        latestUs = INT64_MIN;
        // One keyframe for two sections: a section without a frame of its own.
        if (videoClip + 1 < clips.size() && timeUs >= StartOf(videoClip + 1) - KeySlackUs)
            return false;
    }
    // A frame shown before the keyframe that starts its section leans on the section before.
    if (packet->pts < videoZero)
        return false;
    latestUs = std::max(latestUs, timeUs);
    Clip& clip = *clips[videoClip];
    ++clip.frames;
    // Progress follows the frame's writing, so that a clip said to be under way has its file open.
    Write(videoClip, stream, packet, videoZero);
    // A clip's frames may all come while a clip before it is still being completed: its progress is then
    // noted, to be shown when its turn comes.
    const double written = double(timeUs - StartOf(videoClip)) / AV_TIME_BASE;
    if (videoClip == firstOpen)
        clip.printer.Progress(written);
    else
        clip.printer.Reach(written);
    return true;
}

void SectionSplitter::FeedSound(AVPacket* packet) {
    const AVStream* stream = encode->streams[packet->stream_index];
    const auto sound = std::find_if(sounds.begin(), sounds.end(),
                                    [&](const Sound& s) { return s.stream == packet->stream_index; });
    if (sound == sounds.end())
        return;
    // An audio frame goes to the section it starts in, so that each clip's sound lasts to its end or a
    // little beyond. One that spans a cut also starts the next clip where the container can hide what
    // comes before the clip (an MP4's edit list): that clip's sound then starts exactly with it. Elsewhere
    // the next clip's sound starts with its first whole audio frame, less than a frame late.
    const std::int64_t startUs = Microseconds(packet->pts, stream) - originUs;
    const std::int64_t endUs = startUs + std::max<std::int64_t>(1, Microseconds(packet->duration, stream));
    const auto sectionOf = [&](std::int64_t timeUs) {
        return std::size_t(std::upper_bound(starts.begin(), starts.end(), timeUs) - starts.begin());
    };
    const std::size_t first = std::max(sound->clip, sectionOf(startUs));
    const std::size_t last = soundStartsEarly ? std::max(first, sectionOf(endUs - 1)) : first;
    sound->clip = last;
    if (last > first) {
        Cut::PacketPtr copy = Cut::NewPacket();
        if (av_packet_ref(copy.get(), packet) == 0)
            Write(first, stream, copy.get(), ZeroOf(first, stream));
    }
    Write(last, stream, packet, ZeroOf(last, stream));
}

std::int64_t SectionSplitter::ZeroOf(std::size_t clip, const AVStream* stream) const {
    return av_rescale_q(originUs + StartOf(clip), Microsecond, stream->time_base);
}

void SectionSplitter::Write(std::size_t index, const AVStream* stream, AVPacket* packet, std::int64_t zero) {
    Clip& clip = *clips[index];
    if (clip.result)
        return;
    try {
        if (!clip.writer) {
            clip.writer =
                std::make_unique<Cut::ClipWriter>(clip.target.path, clip.target.overwrite, clip.target.muxer);
            for (unsigned i = 0; i < encode->nb_streams; ++i) {
                if (!Cut::MuxerCanHold(clip.target.muxer, encode->streams[i]))
                    throw Cut::CutError{"the clip's container cannot hold the encoded streams"};
                clip.writer->AddStream(encode->streams[i]);
            }
            clip.writer->Open();
        }
        packet->pts -= zero;
        if (packet->dts != AV_NOPTS_VALUE)
            packet->dts -= zero;
        clip.writer->Write(stream, packet);
    } catch (const Cut::CutError& error) {
        Fail(index, 1, error.message);
    }
}

void SectionSplitter::Fail(std::size_t index, int code, const std::string& reason) {
    Clip& clip = *clips[index];
    if (clip.result)
        return;
    // An unfinished writer removes what it wrote.
    clip.writer.reset();
    if (!reason.empty())
        clip.printer.Error(reason);
    clip.result = code;
    clip.reason = reason;
}

void SectionSplitter::Finish(std::size_t index) {
    Clip& clip = *clips[index];
    if (clip.result)
        return;
    if (!clip.writer || clip.frames == 0) {
        Fail(index, 1, EncoderFrontEnd::NoFramesWritten);
        return;
    }
    try {
        clip.writer->Finish();
    } catch (const Cut::CutError& error) {
        Fail(index, 1, error.message);
        return;
    }
    // The clip's last progress line shows how far it was written.
    clip.printer.Progress(0, true);
    clip.result = 0;
}

// Clips are reported in their order, each once every stream has passed its end.
void SectionSplitter::CompleteFinished() {
    while (firstOpen < clips.size()) {
        Clip& clip = *clips[firstOpen];
        if (!clip.result) {
            const bool soundPassed = std::all_of(sounds.begin(), sounds.end(),
                                                 [&](const Sound& sound) { return sound.clip > firstOpen; });
            if (videoClip <= firstOpen || !soundPassed)
                return;
            Finish(firstOpen);
        }
        done(firstOpen, *clip.result, clip.reason);
        ++firstOpen;
    }
}

void SectionSplitter::End(int exitCode) {
    while (!early.empty() && started) {
        FeedSound(early.front().get());
        early.pop_front();
    }
    if (exitCode != 0) {
        // The clip being written fails as it would have on its own; those after it are left to be made
        // on their own.
        if (firstOpen < clips.size())
            Fail(firstOpen, exitCode, std::string());
        CompleteFinished();
        return;
    }
    // Every stream has passed every clip: each is completed and reported in turn, so that a clip's last
    // progress line comes after the end of the clip before, not among its output.
    videoClip = clips.size();
    for (Sound& sound : sounds)
        sound.clip = clips.size();
    CompleteFinished();
}

} // namespace Together
