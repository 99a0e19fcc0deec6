#include "app/numbers.h"

#include <QLocale>
#include <cmath>
#include <limits>

std::optional<int> ParseWholeNumber(const QString& text) {
    int i = 0;
    const int n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= n)
        return std::nullopt;

    bool hex = false;
    if (text.at(i) == QLatin1Char('$') || text.at(i).toLower() == QLatin1Char('x')) {
        hex = true;
        ++i;
    } else if (text.at(i) == QLatin1Char('0') && i + 1 < n && text.at(i + 1).toLower() == QLatin1Char('x')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;

    long long value = 0;
    if (hex) {
        const int digits = n - i;
        if (digits > 8)
            return std::nullopt;
        for (; i < n; ++i) {
            const int d = text.at(i).toLower().unicode() < 128 ? QString(text.at(i)).toInt(nullptr, 16) : -1;
            const bool isDigit = QStringLiteral("0123456789abcdefABCDEF").contains(text.at(i));
            if (!isDigit || d < 0)
                return std::nullopt;
            value = value * 16 + d;
        }
        // Up to eight hex digits fill the 32 bits; the sign then applies to that bit pattern.
        const auto bits = static_cast<unsigned int>(value);
        int result = static_cast<int>(bits);
        return negative ? static_cast<int>(0u - bits) : result;
    }
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

long long RoundHalfEven(double value) {
    return static_cast<long long>(std::nearbyint(value));
}

QString FormatOneDecimal(double value) {
    // Round half away from zero on the tenths, then print with a point.
    const double tenths = std::round(value * 10.0);
    QString text = QString::number(tenths / 10.0, 'f', 1);
    if (text == QLatin1String("-0.0"))
        text = QStringLiteral("0.0");
    return text;
}

QString FormatGeneral(double value) {
    QString text = QString::number(value, 'g', 15);
    return text;
}

QString FormatExact(double value) {
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}
