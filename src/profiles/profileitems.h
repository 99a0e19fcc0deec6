#pragma once

#include <QStringList>

class IniFile;

// The item names of a profile, by position: [Main] "Para" items, the name of each under its position as
// key. Positions past the last key that [Main] really holds are left out: their names would all be empty,
// and a damaged "Para" must not make the readers loop billions of times.
QStringList ProfileItemNames(const IniFile& profile);
