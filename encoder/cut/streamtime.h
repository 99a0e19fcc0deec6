#pragma once

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

#include <cstdint>
#include <limits>

namespace Cut {

// A time on one stream's clock, as a count of that clock's ticks. Times of two clocks meet only through
// In(), which moves one onto the other's clock. A clip that runs to the end of the file ends Open.
class StreamTime {
public:
    StreamTime() = default;
    StreamTime(std::int64_t ticks, AVRational base) : ticks(ticks), base(base) {}
    static StreamTime Open(AVRational base) { return {OpenTicks, base}; }

    std::int64_t Ticks() const { return ticks; }
    AVRational Base() const { return base; }
    bool IsOpen() const { return ticks == OpenTicks; }
    // The same moment in ticks of another clock, rounded to the nearest; an open time stays open.
    std::int64_t In(AVRational other) const {
        return IsOpen() ? OpenTicks : av_rescale_q(ticks, base, other);
    }
    double Seconds() const { return double(ticks) * av_q2d(base); }

    static constexpr std::int64_t OpenTicks = std::numeric_limits<std::int64_t>::max();

private:
    std::int64_t ticks = 0;
    AVRational base{1, AV_TIME_BASE};
};

} // namespace Cut
