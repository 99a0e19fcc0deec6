#include "clipwriter.h"

#include "contract/mediaformats.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace Cut {

ClipWriter::ClipWriter(const std::string& path, bool overwrite, const std::string& muxer)
    : path(path), overwrite(overwrite) {
    // Only a muxer from our list, never one guessed from the name (which may read it as a pattern).
    const auto format = Contract::OutputFormatOfMuxer(muxer);
    if (!format)
        throw CutError{"the clip's container \"" + muxer + "\" is not one this program writes"};
    AVFormatContext* context = nullptr;
    const int result = avformat_alloc_output_context2(&context, nullptr, muxer.c_str(), nullptr);
    output.reset(context);
    if (result < 0 || !output)
        throw CutError{"no container is known for " + path + ": " + ErrorText(result)};
    if (output->oformat->flags & AVFMT_NOFILE)
        throw CutError{"the clip's container \"" + muxer + "\" writes no file of its own"};
    // The muxer would otherwise empty the file's buffer after every packet: a system call for each
    // audio frame, which on a busy machine takes its time from the encoder.
    output->flush_packets = 0;
}

ClipWriter::~ClipWriter() {
    output.reset();
    io.reset();
    // A clip that was not finished is no clip; nothing half-written is left behind.
    if (opened && !finished)
        std::remove(path.c_str());
}

bool MuxerCanHold(const std::string& muxer, const AVStream* source) {
    // Containers that keep no list of codecs answer with an error: they are tried, and say so on writing.
    // An unknown muxer is refused when the clip is set up.
    const AVOutputFormat* format = av_guess_format(muxer.c_str(), nullptr, nullptr);
    return !format || avformat_query_codec(format, source->codecpar->codec_id, FF_COMPLIANCE_NORMAL) != 0;
}

void ClipWriter::AddStream(const AVStream* source) {
    AVStream* stream = avformat_new_stream(output.get(), nullptr);
    if (!stream || avcodec_parameters_copy(stream->codecpar, source->codecpar) < 0)
        throw CutError{"the clip's streams cannot be set up"};
    // Keep the source's codec tag only where the container knows it for the same codec.
    const unsigned tag = source->codecpar->codec_tag;
    const AVCodecTag* const* tags = output->oformat->codec_tag;
    if (tags && tag && av_codec_get_id(tags, tag) != source->codecpar->codec_id)
        stream->codecpar->codec_tag = 0;
    else if (!tags)
        stream->codecpar->codec_tag = 0;
    stream->time_base = source->time_base;
    stream->sample_aspect_ratio = source->sample_aspect_ratio;
    stream->avg_frame_rate = source->avg_frame_rate;
    stream->r_frame_rate = source->r_frame_rate;
    stream->disposition = source->disposition;
    av_dict_copy(&stream->metadata, source->metadata, 0);
    if (int(sourceIndexOf.size()) <= source->index)
        sourceIndexOf.resize(std::size_t(source->index) + 1, -1);
    sourceIndexOf[std::size_t(source->index)] = stream->index;
}

int ClipWriter::OutputIndex(const AVStream* source) const {
    return source->index < int(sourceIndexOf.size()) ? sourceIndexOf[std::size_t(source->index)] : -1;
}

void ClipWriter::Open() {
    if (!overwrite && access(path.c_str(), F_OK) == 0)
        throw CutError{"File '" + path + "' already exists"};
    if (!(output->oformat->flags & AVFMT_NOFILE)) {
        io = std::make_unique<FileIo>(path, FileIo::Mode::Write);
        output->pb = io->Context();
    }
    opened = true;
    if (const int result = avformat_write_header(output.get(), nullptr); result < 0)
        throw CutError{"the clip cannot be started: " + ErrorText(result)};
}

void ClipWriter::Write(const AVStream* source, AVPacket* packet) {
    const int index = OutputIndex(source);
    if (index < 0)
        return;
    AVStream* stream = output->streams[index];
    packet->stream_index = index;
    av_packet_rescale_ts(packet, source->time_base, stream->time_base);
    packet->pos = -1;
    if (const int result = av_interleaved_write_frame(output.get(), packet); result < 0)
        throw CutError{"the clip cannot be written: " + ErrorText(result)};
}

std::int64_t ClipWriter::Tick(const AVStream* source) const {
    const int index = OutputIndex(source);
    if (index < 0)
        return 1;
    const std::int64_t tick =
        av_rescale_q_rnd(1, output->streams[index]->time_base, source->time_base, AV_ROUND_UP);
    return std::max<std::int64_t>(1, tick);
}

void ClipWriter::Finish() {
    if (const int result = av_write_trailer(output.get()); result < 0)
        throw CutError{"the clip cannot be completed: " + ErrorText(result)};
    if (io)
        io->Close();
    finished = true;
}

} // namespace Cut
