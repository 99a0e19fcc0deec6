#pragma once

#include <QString>
#include <QStringList>

class IniFile;

// The item names of a profile, in position order: [Main] "Para" items, the name of each under its position
// as key. Positions that [Main] holds no key for are left out: their names would be empty and name no
// item, and a damaged "Para" (or a lone key far past the others) must not make the readers loop billions
// of times or reserve room for them.
QStringList ProfileItemNames(const IniFile& profile);

// The profile's [Main] "Type": the clips' extension without its dot, "mp4" when the profile names none.
QString ProfileType(const IniFile& profile);

// The position of value among the choices of a list item (its "Caption" comma list), compared without
// regard to case; -1 when it is none of them.
int ItemChoiceIndex(const IniFile& profile, const QString& item, const QString& value);
