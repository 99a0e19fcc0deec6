#include "app/timetext.h"

#include "app/numbers.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

QString TwoDigits(std::int64_t value) {
    // Delphi's "00" pattern: the sign stands before the padded digits.
    const QString digits = QString::number(value < 0 ? -value : value).rightJustified(2, QLatin1Char('0'));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

// Splits "h:m:rest" into its three pieces; false when there are fewer than two colons.
bool SplitTimeText(const QString& text, QString& hours, QString& minutes, QString& seconds) {
    const int first = text.indexOf(QLatin1Char(':'));
    if (first < 0)
        return false;
    const int second = text.indexOf(QLatin1Char(':'), first + 1);
    if (second < 0)
        return false;
    hours = text.left(first);
    minutes = text.mid(first + 1, second - first - 1);
    seconds = text.mid(second + 1);
    return true;
}

double Combine(const QString& hoursText, const QString& minutesText, double seconds) {
    const auto hours = ParseWholeNumber(hoursText);
    const auto minutes = ParseWholeNumber(minutesText);
    if (!hours || !minutes)
        return -1;
    const std::int64_t whole =
        static_cast<std::int64_t>(*hours) * 3600 + static_cast<std::int64_t>(*minutes) * 60;
    return static_cast<double>(whole) + seconds;
}

} // namespace

QString SecondsToTimeText(double seconds) {
    if (!std::isfinite(seconds))
        seconds = 0;
    // Converting a double beyond the 64-bit range to a whole number is undefined.
    constexpr double Limit = 9.2e18;
    const auto total = static_cast<std::int64_t>(std::trunc(std::clamp(seconds, -Limit, Limit)));
    const std::int64_t h = total / 3600;
    const std::int64_t m = (total - h * 3600) / 60;
    const std::int64_t s = total - h * 3600 - m * 60;
    return TwoDigits(h) + QLatin1Char(':') + TwoDigits(m) + QLatin1Char(':') + TwoDigits(s);
}

double TimeTextToSeconds(const QString& text) {
    QString hours, minutes, secondsText;
    if (!SplitTimeText(text, hours, minutes, secondsText))
        return -1;
    const QLocale locale;
    if (secondsText.isEmpty() || secondsText.startsWith(QLatin1Char('.')) ||
        secondsText.startsWith(locale.decimalPoint()))
        return -1;
    bool ok = false;
    const double seconds = locale.toDouble(secondsText, &ok);
    if (!ok || !std::isfinite(seconds))
        return -1;
    const double total = Combine(hours, minutes, seconds);
    return std::fabs(total) > MaxTimeSeconds ? -1 : total;
}

double EncoderTimeToSeconds(const QString& text) {
    const QLocale c = QLocale::c();
    bool ok = false;
    const double plain = c.toDouble(text, &ok);
    if (ok)
        return std::isfinite(plain) ? plain : -1;
    QString hours, minutes, secondsText;
    if (!SplitTimeText(text, hours, minutes, secondsText) || secondsText.isEmpty() ||
        secondsText.startsWith(QLatin1Char('.')))
        return -1;
    const double seconds = c.toDouble(secondsText, &ok);
    if (!ok || !std::isfinite(seconds))
        return -1;
    return Combine(hours, minutes, seconds);
}
