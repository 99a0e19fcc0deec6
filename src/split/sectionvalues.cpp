#include "split/sectionvalues.h"

#include "app/timetext.h"

#include <QLocale>
#include <cmath>

namespace {

// A positive, finite number in the user's format or with a decimal point; no exponent, no sign.
std::optional<double> PositiveNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('e'), Qt::CaseInsensitive) ||
        trimmed.startsWith(QLatin1Char('+')) || trimmed.startsWith(QLatin1Char('-')))
        return std::nullopt;
    // Either decimal separator, but never a thousands separator: "9.5" must not become 95.
    QLocale local;
    local.setNumberOptions(QLocale::RejectGroupSeparator);
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = local.toDouble(trimmed, &ok);
    if (!ok)
        value = c.toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value) || !(value > 0))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ParseClipLength(const QString& text) {
    if (text.contains(QLatin1Char(':'))) {
        const double seconds = TimeTextToSeconds(text.trimmed());
        return seconds > 0 ? std::optional<double>(seconds) : std::nullopt;
    }
    const auto seconds = PositiveNumber(text);
    return seconds && *seconds <= MaxTimeSeconds ? seconds : std::nullopt;
}
