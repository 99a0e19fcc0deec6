// Typed time texts and the encoder's own time texts.
#include "app/timetext.h"
#include "fuzzcheck.h"

#include <QLocale>
#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const double typed = TimeTextToSeconds(text);
    FUZZ_CHECK(std::isfinite(typed));
    FUZZ_CHECK(typed == -1 || std::fabs(typed) <= MaxTimeSeconds);
    FUZZ_CHECK(std::isfinite(EncoderTimeToSeconds(text)));

    // A whole number of seconds survives the trip through its text, whatever was typed.
    if (typed >= 0) {
        const double whole = std::trunc(typed);
        FUZZ_CHECK(TimeTextToSeconds(SecondsToTimeText(whole)) == whole);
    }

    // Any number at all, however far past a time, makes a time text without undefined behaviour.
    bool isNumber = false;
    const double number = QLocale::c().toDouble(text, &isNumber);
    if (isNumber)
        FUZZ_CHECK(SecondsToTimeText(number).count(QLatin1Char(':')) == 2);
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof(raw));
        FUZZ_CHECK(SecondsToTimeText(raw).count(QLatin1Char(':')) == 2);
    }
    return 0;
}
