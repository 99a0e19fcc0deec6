#pragma once

#include "preview/rangeview.h"

#include <QString>
#include <QtGlobal>
#include <functional>

// The marked range: the start and end marks taken from the player's position or typed as time text, the
// labels that show them under the track, and the line that reports the range's length.
class RangeMarks {
public:
    // The width of a label sized to the given caption.
    using MeasureWidth = std::function<int(const QString& caption)>;

    static const QString LengthPrefix;
    static const QString EndBeforeStart;

    // Mark the start or the end at the track's position.
    static void MarkStart(RangeView& view, const MeasureWidth& measure);
    static void MarkEnd(RangeView& view, const MeasureWidth& measure);
    // Apply a typed time; a time beyond the source's end is pulled back to the end for the mark.
    static void SetStart(RangeView& view, double seconds, qint64 durationMs, const MeasureWidth& measure);
    static void SetEnd(RangeView& view, double seconds, qint64 durationMs, const MeasureWidth& measure);
    // Marks at 0, fields "00:00:00", labels and length line hidden.
    static void Clear(RangeView& view);

    // Left edge of the start label: its left edge stands at the start mark.
    static int StartLabelLeft(int selStart, int max, int trackLeft, int trackWidth);
    // Left edge of the end label: its right edge stands at the end mark.
    static int EndLabelLeft(int selEnd, int max, int trackLeft, int trackWidth, int endWidth);
    // The end label's top: on the start label's line, or 10 pixels lower when the two overlap or touch.
    static int EndLabelTop(int startLeft, int startWidth, int startTop, int endLeft, int endWidth);
    static QString LengthText(int selStart, int selEnd, double lengthSeconds);
    // The typed time, or the source's length when the time lies beyond it.
    static double PullBack(double seconds, qint64 durationMs);
    // Whole seconds, halves to even, kept within the track's integer range.
    static int WholeSecondMark(double seconds);
    // The field's text rewritten as time text (1:2:3.7 becomes 01:02:03); a text that is no time is kept.
    static QString NormalForm(const QString& text);

private:
    static void PlaceStart(RangeView& view, const MeasureWidth& measure);
    static void PlaceEnd(RangeView& view, const MeasureWidth& measure);
    static void Separate(RangeView& view);
};
