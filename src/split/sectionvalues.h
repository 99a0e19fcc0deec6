#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// How the marked range is shared out into clips when it is not written as one clip.
enum class SectionsMode {
    Equal, // a number of equal sections
    Every, // clips of a chosen length; the last one holds the rest
    Size,  // clips of at most a chosen number of bytes, cut from a stream copy
};

// A clip length as a person types it: seconds ("30", "12.5", the user's decimal separator) or a time text
// ("0:10:00"). Nothing for any other text, or for a length that is not above zero.
std::optional<double> ParseClipLength(const QString& text);

// A clip size as a person types it: a number (either decimal separator) with an optional K, M or G for
// thousands, millions or billions of bytes ("25", "9.5M", "700K"); a number alone counts in unitBytes.
// Whole bytes, rounded down; nothing for any other text or for less than one byte.
std::optional<qint64> ParseClipSize(const QString& text, qint64 unitBytes);
