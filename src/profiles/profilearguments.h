#pragma once

#include <QString>

class ProfileWorkingLists;

// Appends the profile's encoder options to text: " option value" for every item with an option and a
// non-empty value, in position order. The items and their option texts come from the file; the current
// values from the working lists. A missing file adds nothing; one that cannot be read throws AppError
// "Unable to read %s". Throws AppError "List index out of bounds (%d)" when the chosen caption has no
// argument value at its position.
void BuildProfileArguments(const QString& path, QString& text, const ProfileWorkingLists& lists);
