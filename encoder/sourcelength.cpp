#include "sourcelength.h"

#include "sourcecheck.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstdio>

namespace EncoderFrontEnd {

std::string SourceLengthAnswer(const std::string& source) {
    if (!SourceRefusal(source).empty())
        return {};
    bool allFound = false;
    AVFormatContext* input = OpenSourceAsFfmpegDoes(source, &allFound);
    if (!input)
        return {};
    std::string answer;
    if (allFound && input->duration != AV_NOPTS_VALUE && input->duration >= 0 &&
        input->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE) {
        AVRational rate{0, 0};
        for (unsigned i = 0; i < input->nb_streams; ++i) {
            if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                rate = input->streams[i]->avg_frame_rate;
                break;
            }
        }
        // ffprobe's own forms, so that the runner reads the same figures from either.
        char text[96];
        std::snprintf(text, sizeof(text), "%f %d/%d", double(input->duration) * av_q2d(AV_TIME_BASE_Q),
                      rate.num, rate.den);
        answer = text;
    }
    avformat_close_input(&input);
    return answer;
}

} // namespace EncoderFrontEnd
