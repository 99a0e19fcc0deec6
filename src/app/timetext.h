#pragma once

#include <QString>

// Seconds as hours, minutes and seconds joined by ":", each with at least two digits, truncated to the
// whole second toward zero (3723.5 gives 01:02:03).
QString SecondsToTimeText(double seconds);

// Whole hours and minutes and real seconds (the user's number format), no range checks; -1 when the text
// is not a time.
double TimeTextToSeconds(const QString& text);

// Reads the "time" that ffmpeg prints: a real number of seconds with a decimal point, or hours, minutes
// and seconds ("00:01:02.48"). Returns -1 for anything else.
double EncoderTimeToSeconds(const QString& text);
