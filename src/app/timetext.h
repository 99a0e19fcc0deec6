#pragma once

#include <QString>

// The largest time a person may type, either side of zero: 100 hours.
constexpr double MaxTimeSeconds = 100 * 3600;

// Seconds as hours, minutes and seconds joined by ":", each with at least two digits, truncated to the
// whole second toward zero (3723.5 gives 01:02:03). Any number gives a text; those far beyond what a
// time can be are held at the largest whole number of seconds.
QString SecondsToTimeText(double seconds);

// Whole hours and minutes and real seconds (the user's number format), with no range check on each piece;
// -1 when the text is not a time or adds up to more than MaxTimeSeconds either side of zero.
double TimeTextToSeconds(const QString& text);

// Reads the "time" that ffmpeg prints: a real number of seconds with a decimal point, or hours, minutes
// and seconds ("00:01:02.48"). Returns -1 for anything else.
double EncoderTimeToSeconds(const QString& text);
