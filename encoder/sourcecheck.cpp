#include "sourcecheck.h"

#include "contract/mediaformats.h"

#include <sys/stat.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace EncoderFrontEnd {

namespace {

std::string ErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof(text));
    return text;
}

} // namespace

std::string SourceRefusal(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return "the source must be named by its absolute path";
    // A FIFO or a device would block or never end.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return path + ": the source is not a regular file";
    AVDictionary* options = nullptr;
    for (const Contract::OpenOption& option : Contract::SourceOpenOptions())
        av_dict_set(&options, option.name.c_str(), option.value.c_str(), 0);
    const std::string url = Contract::FileUrl(path);
    AVIOContext* io = nullptr;
    int result = avio_open2(&io, url.c_str(), AVIO_FLAG_READ, nullptr, &options);
    av_dict_free(&options);
    if (result < 0)
        return path + ": " + ErrorText(result);
    // Only the head is read: the demuxer that would follow a list never starts.
    const AVInputFormat* format = nullptr;
    result = av_probe_input_buffer2(io, &format, url.c_str(), nullptr, 0, 0);
    avio_closep(&io);
    if (result < 0 || !format)
        return path + ": " + ErrorText(result < 0 ? result : AVERROR_INVALIDDATA);
    return Contract::SourceDemuxerRefusal(format->name);
}

AVFormatContext* OpenSourceAsFfmpegDoes(const std::string& path, bool* allFound) {
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* input = nullptr;
    AVDictionary* options = nullptr;
    // ffmpeg reads every program of a transport stream; so must we, to see the same streams.
    av_dict_set(&options, "scan_all_pmts", "1", AV_DICT_DONT_OVERWRITE);
    for (const Contract::OpenOption& option : Contract::SourceOpenOptions())
        av_dict_set(&options, option.name.c_str(), option.value.c_str(), 0);
    const int opened = avformat_open_input(&input, Contract::FileUrl(path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return nullptr;
    const bool found = avformat_find_stream_info(input, nullptr) >= 0;
    if (allFound)
        *allFound = found;
    if (!found && input->nb_streams == 0)
        avformat_close_input(&input);
    return input;
}

} // namespace EncoderFrontEnd
