#include "sourcereader.h"

#include "contract/mediaformats.h"

#include <cmath>

namespace Cut {

SourceReader::SourceReader(const std::string& path) {
    io = std::make_unique<FileIo>(path, FileIo::Mode::Read);
    AVFormatContext* context = avformat_alloc_context();
    if (!context)
        throw CutError{"out of memory"};
    context->pb = io->Context();
    // The source is this one file: a demuxer that would open another one is refused, and so is the open.
    context->io_open = [](AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
        return AVERROR(EPERM);
    };
    AVDictionary* options = nullptr;
    for (const Contract::OpenOption& option : Contract::SourceOpenOptions())
        av_dict_set(&options, option.name.c_str(), option.value.c_str(), 0);
    const int opened = avformat_open_input(&context, path.c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        throw CutError{path + ": " + ErrorText(opened)};
    input.reset(context);
    if (const int result = avformat_find_stream_info(context, nullptr); result < 0)
        throw CutError{path + ": " + ErrorText(result)};
    for (unsigned i = 0; i < context->nb_streams; ++i) {
        AVStream* stream = context->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            video = stream;
            break;
        }
    }
    origin = context->start_time != AV_NOPTS_VALUE ? context->start_time : 0;
    unpacker = std::make_unique<PackedFrames>(video);
    filler = std::make_unique<TimeFiller>(video);
    if (video && video->codecpar->codec_id == AV_CODEC_ID_H264)
        ReadEncoderVersion();
}

void SourceReader::ReadEncoderVersion() {
    // The reading goes back to the start before the first cut reads anything.
    readAny = true;
    const Bitstream::Bytes extradata(video->codecpar->extradata,
                                     video->codecpar->extradata + video->codecpar->extradata_size);
    for (int packets = 0; packets < 64; ++packets) {
        const PacketPtr packet = ReadFromFile();
        if (!packet)
            return;
        if (packet->stream_index == video->index) {
            encoderVersion =
                Bitstream::EncoderVersionUnits(AV_CODEC_ID_H264, packet->data, std::size_t(packet->size),
                                               Bitstream::NalLengthSize(AV_CODEC_ID_H264, extradata));
            return;
        }
    }
}

std::int64_t SourceReader::FileTime(double seconds) const {
    return origin + std::llround(seconds * AV_TIME_BASE);
}

std::int64_t SourceReader::StreamTime(const AVStream* stream, double seconds) const {
    return av_rescale_q_rnd(FileTime(seconds), AV_TIME_BASE_Q, stream->time_base,
                            AVRounding(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX));
}

double SourceReader::Seconds(const AVStream* stream, std::int64_t time) const {
    return double(av_rescale_q(time, stream->time_base, AV_TIME_BASE_Q) - origin) / AV_TIME_BASE;
}

double SourceReader::Duration() const {
    // A length guessed from the bit rate is no length: a raw MPEG video stream of 20 s claims 0.009 s.
    if (input->duration == AV_NOPTS_VALUE || input->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE)
        return -1;
    return double(input->duration) / AV_TIME_BASE;
}

void SourceReader::SeekTo(double seconds) {
    AVFormatContext* context = input.get();
    if (seconds <= 0 && !readAny)
        return;
    filler = std::make_unique<TimeFiller>(video);
    unpacker->Reset();
    unpackerDrained = false;
    readAny = false;
    if (seconds <= 0) {
        // The very start. In a transport or program stream a timestamp search lands behind the first
        // keyframe, so those go back to their first byte.
        const bool byBytes = (context->iformat->flags & AVFMT_TS_DISCONT) &&
                             avformat_seek_file(context, -1, 0, 0, 0, AVSEEK_FLAG_BYTE) >= 0;
        if (!byBytes && avformat_seek_file(context, -1, INT64_MIN, origin, origin, 0) < 0)
            throw CutError{"the source cannot be read from its start again"};
        return;
    }
    const std::int64_t target = FileTime(seconds);
    if (avformat_seek_file(context, -1, INT64_MIN, target, target, 0) < 0)
        SeekTo(0);
}

PacketPtr SourceReader::Read() {
    for (;;) {
        if (PacketPtr packet = filler->Take())
            return packet;
        if (PacketPtr packet = unpacker->Take()) {
            filler->Put(std::move(packet));
            continue;
        }
        PacketPtr packet = ReadFromFile();
        if (!packet && !unpackerDrained) {
            unpackerDrained = true;
            unpacker->Flush();
            continue;
        }
        if (!packet) {
            filler->Flush();
            return filler->Take();
        }
        readAny = true;
        unpacker->Put(std::move(packet));
    }
}

PacketPtr SourceReader::ReadFromFile() {
    PacketPtr packet = NewPacket();
    const int result = av_read_frame(input.get(), packet.get());
    if (result == AVERROR_EOF)
        return nullptr;
    if (result < 0) {
        if (input->pb && avio_feof(input->pb))
            return nullptr;
        throw CutError{"the source cannot be read: " + ErrorText(result)};
    }
    return packet;
}

} // namespace Cut
