#include "profiles/profileitems.h"

#include "platform/inifile.h"
#include "profiles/commalist.h"

#include <QList>
#include <algorithm>

namespace {
const QString MainSection = QStringLiteral("Main");
}

QStringList ProfileItemNames(const IniFile& profile) {
    const int count = profile.ReadInteger(MainSection, QStringLiteral("Para"), 0);
    QList<int> positions;
    for (const QString& key : profile.Keys(MainSection)) {
        bool isNumber = false;
        const int position = key.toInt(&isNumber);
        // Only a position written in plain decimal names an item: "01" or "+1" is another key.
        if (isNumber && position >= 0 && position < count && QString::number(position) == key.trimmed())
            positions << position;
    }
    std::sort(positions.begin(), positions.end());
    QStringList names;
    names.reserve(positions.size());
    for (const int position : positions)
        names << profile.ReadString(MainSection, QString::number(position), QString());
    return names;
}

int ItemChoiceIndex(const IniFile& profile, const QString& item, const QString& value) {
    const QStringList choices =
        SplitCommaList(profile.ReadString(item, QStringLiteral("Caption"), QString()));
    for (int i = 0; i < choices.size(); ++i) {
        if (choices.at(i).compare(value, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString ProfileType(const IniFile& profile) {
    return profile.ReadString(MainSection, QStringLiteral("Type"), "mp4");
}
