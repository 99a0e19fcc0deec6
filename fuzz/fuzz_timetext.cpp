// Typed time texts and the encoder's own time texts.
#include "app/timetext.h"
#include "fuzzcheck.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const double typed = TimeTextToSeconds(text);
    FUZZ_CHECK(std::isfinite(typed));
    FUZZ_CHECK(std::isfinite(EncoderTimeToSeconds(text)));

    // A whole number of seconds survives the trip through its text.
    if (typed >= 0 && typed < 1e12) {
        const double whole = std::trunc(typed);
        FUZZ_CHECK(TimeTextToSeconds(SecondsToTimeText(whole)) == whole);
    }
    return 0;
}
