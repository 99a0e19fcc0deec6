#pragma once

#include "profiles/profileoptions.h"

#include <QString>

// The profile options that a text such as " -c:v libx264 -an " stands for, as tests write them: a word that
// begins with "-" is an option, and a word after an option is its value.
inline ProfileOptions OptionsFromText(const QString& text) {
    ProfileOptions options;
    QList<ProfileOption> pending;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.startsWith(QLatin1Char('-')) || pending.isEmpty() || pending.last().value)
            pending << ProfileOption{word, std::nullopt};
        else
            pending.last().value = word;
    }
    for (const ProfileOption& option : pending)
        options.Append(option);
    return options;
}
