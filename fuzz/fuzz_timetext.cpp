// Typed time texts and the encoder's own time texts.
#include "app/timetext.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const double typed = TimeTextToSeconds(text);
    if (std::isnan(typed) || std::isinf(typed))
        std::abort();
    const double encoder = EncoderTimeToSeconds(text);
    if (std::isnan(encoder) || std::isinf(encoder))
        std::abort();

    // A whole number of seconds survives the trip through its text.
    if (typed >= 0 && typed < 1e12) {
        const double whole = std::trunc(typed);
        if (TimeTextToSeconds(SecondsToTimeText(whole)) != whole)
            std::abort();
    }
    return 0;
}
