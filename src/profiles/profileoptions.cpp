#include "profiles/profileoptions.h"

#include <algorithm>

namespace {

bool IsVideoFilters(const QString& option) {
    return option == QLatin1String("-vf") || option == QLatin1String("-filter:v");
}

} // namespace

void ProfileOptions::Append(const ProfileOption& option) {
    if (IsVideoFilters(option.option) && option.value)
        for (ProfileOption& earlier : options)
            if (IsVideoFilters(earlier.option) && earlier.value) {
                *earlier.value += QLatin1Char(',') + *option.value;
                return;
            }
    options << option;
}

QStringList ProfileOptions::Arguments() const {
    QStringList arguments;
    for (const ProfileOption& option : options) {
        arguments << option.option;
        if (option.value)
            arguments << *option.value;
    }
    return arguments;
}

QString ProfileOptions::Text() const {
    QString text;
    for (const ProfileOption& option : options) {
        const QString value = option.value.value_or(QString());
        const bool quoted = std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c.isSpace(); });
        text += QLatin1Char(' ') + option.option + QLatin1Char(' ') +
                (quoted ? QLatin1Char('"') + value + QLatin1Char('"') : value);
    }
    return text;
}
