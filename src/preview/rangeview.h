#pragma once

#include <QString>

// What the range marking shows, as plain values: the track's marks and place, the two time fields, the
// labels under the track and the length line. The window copies its controls into one of these, lets
// RangeMarks change it and copies it back, so every decision can be checked without a window.
struct RangeView {
    int max = 10;
    int position = 0;
    int trackLeft = 0;
    int trackWidth = 0;
    int selStart = 0;
    int selEnd = 0;

    QString startField = QStringLiteral("00:00:00");
    QString endField = QStringLiteral("00:00:00");

    QString startCaption;
    int startLeft = 0;
    int startTop = 0;
    int startWidth = 0;
    bool startShown = false;

    QString endCaption;
    int endLeft = 0;
    int endTop = 0;
    int endWidth = 0;
    bool endShown = false;

    QString lengthText;
    bool lengthShown = false;
};
