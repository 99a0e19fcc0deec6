#pragma once

#include <QString>

class ProfileOptions;
class ProfileWorkingLists;

// Appends the profile's encoder options to options: the item's option and its value for every item with an
// option and a non-empty value, in position order. The items and their option texts come from the file;
// the current values from the working lists, without the blanks around them. A missing file adds nothing;
// one that cannot be read throws AppError "Unable to read %s". The first item whose option or value is not
// allowed (ProfileOptionRefusal) refuses the whole profile, naming the item. Throws AppError "List index
// out of bounds (%d)" when the chosen caption has no argument value at its position.
void BuildProfileArguments(const QString& path, ProfileOptions& options, const ProfileWorkingLists& lists);
