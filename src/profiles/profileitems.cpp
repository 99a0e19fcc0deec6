#include "profiles/profileitems.h"

#include "platform/inifile.h"

#include <algorithm>

namespace {
const QString MainSection = QStringLiteral("Main");
}

QStringList ProfileItemNames(const IniFile& profile) {
    const int count = profile.ReadInteger(MainSection, QStringLiteral("Para"), 0);
    int bound = 0;
    for (const QString& key : profile.Keys(MainSection)) {
        bool isNumber = false;
        const int position = key.toInt(&isNumber);
        // Only a position written in plain decimal names an item: "01" or "+1" is another key.
        if (isNumber && position >= 0 && position < count && QString::number(position) == key.trimmed())
            bound = std::max(bound, position + 1);
    }
    QStringList names;
    names.reserve(bound);
    for (int i = 0; i < bound; ++i)
        names << profile.ReadString(MainSection, QString::number(i), QString());
    return names;
}
