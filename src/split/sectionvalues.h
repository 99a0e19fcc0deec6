#pragma once

#include <QString>
#include <optional>

// How the marked range is shared out into clips when it is not written as one clip.
enum class SectionsMode {
    Equal, // a number of equal sections
    Every, // clips of a chosen length; the last one holds the rest
};

// A clip length as a person types it: seconds ("30", "12.5", the user's decimal separator) or a time text
// ("0:10:00"). Nothing for any other text, or for a length that is not above zero.
std::optional<double> ParseClipLength(const QString& text);
