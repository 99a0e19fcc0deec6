#include "clipcontent.h"

#include "cut/avhandles.h"

namespace EncoderFrontEnd {

namespace {

// What the demuxer finds wrong with a clip without packets is no news: the one line that says so follows.
class QuietLog {
public:
    QuietLog() : level(av_log_get_level()) { av_log_set_level(AV_LOG_QUIET); }
    ~QuietLog() { av_log_set_level(level); }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    int level;
};

} // namespace

bool ClipHoldsPackets(const std::string& path) {
    const QuietLog quiet;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, ("file:" + path).c_str(), nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false;
    // Streams of a program stream appear only as its packets are read.
    const Cut::InputPtr input(raw);
    const Cut::PacketPtr packet = Cut::NewPacket();
    for (int retries = 0;;) {
        const int read = av_read_frame(input.get(), packet.get());
        if (read == AVERROR(EAGAIN) && ++retries < 100)
            continue;
        if (read < 0)
            return false;
        const bool holds = packet->size > 0;
        av_packet_unref(packet.get());
        if (holds)
            return true;
    }
}

} // namespace EncoderFrontEnd
