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

std::optional<qint64> ParseClipSize(const QString& text, qint64 unitBytes) {
    QString number = text.trimmed();
    const QString suffixes = QStringLiteral("KMG");
    const int suffix = number.isEmpty() ? -1 : suffixes.indexOf(number.back().toUpper());
    double unit = double(unitBytes);
    if (suffix >= 0) {
        unit = std::pow(1000.0, suffix + 1);
        number.chop(1);
    }
    const auto value = PositiveNumber(number);
    // Far beyond any file, and still exact in a double.
    constexpr double Largest = 1e15;
    if (!value || *value * unit > Largest || *value * unit < 1)
        return std::nullopt;
    // 4.35 million is 4349999.999... in binary; a thousandth of a byte is never meant.
    return qint64(std::floor(*value * unit + 1e-3));
}
