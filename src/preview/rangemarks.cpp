#include "preview/rangemarks.h"

#include "app/numbers.h"
#include "app/timetext.h"

#include <algorithm>
#include <cmath>
#include <limits>

const QString RangeMarks::LengthPrefix = QStringLiteral("The length of the marked rang is ");
const QString RangeMarks::EndBeforeStart =
    QStringLiteral("The End Time should be later than the Start Time.");

namespace {

// Far enough off the window to be invisible, small enough for any widget coordinate.
constexpr double PixelLimit = 1e7;

int PixelOf(double value) {
    return static_cast<int>(RoundHalfEven(std::clamp(value, -PixelLimit, PixelLimit)));
}

// Where a mark lies along the track, in pixels from the track's left edge. A track without length (a
// source shorter than a second) has every mark at its left edge.
double MarkOffset(int mark, int max, int trackWidth) {
    if (max == 0)
        return 0;
    return static_cast<double>(mark) / max * trackWidth;
}

} // namespace

int RangeMarks::StartLabelLeft(int selStart, int max, int trackLeft, int trackWidth) {
    return PixelOf(MarkOffset(selStart, max, trackWidth) + trackLeft);
}

int RangeMarks::EndLabelLeft(int selEnd, int max, int trackLeft, int trackWidth, int endWidth) {
    if (max == 0)
        return trackLeft;
    return PixelOf(MarkOffset(selEnd, max, trackWidth) + trackLeft - endWidth);
}

int RangeMarks::EndLabelTop(int startLeft, int startWidth, int startTop, int endLeft, int endWidth) {
    const qint64 startRight = qint64(startLeft) + startWidth;
    const qint64 endRight = qint64(endLeft) + endWidth;
    if (startRight < endLeft || endRight < startLeft)
        return startTop;
    return startTop + 10;
}

QString RangeMarks::LengthText(int selStart, int selEnd, double lengthSeconds) {
    if (selStart < selEnd)
        return LengthPrefix + SecondsToTimeText(lengthSeconds);
    return EndBeforeStart;
}

double RangeMarks::PullBack(double seconds, qint64 durationMs) {
    const double length = static_cast<double>(durationMs) / 1000.0;
    return length >= seconds ? seconds : length;
}

int RangeMarks::WholeSecondMark(double seconds) {
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    if (std::isnan(seconds))
        return 0;
    return static_cast<int>(RoundHalfEven(std::clamp(seconds, low, high)));
}

QString RangeMarks::NormalForm(const QString& text) {
    const double seconds = TimeTextToSeconds(text);
    return seconds == -1 ? text : SecondsToTimeText(seconds);
}

void RangeMarks::PlaceStart(RangeView& view, const MeasureWidth& measure) {
    view.startCaption = QStringLiteral("[ ") + view.startField;
    view.startWidth = measure(view.startCaption);
    view.startLeft = StartLabelLeft(view.selStart, view.max, view.trackLeft, view.trackWidth);
    Separate(view);
    view.startShown = true;
    view.lengthShown = true;
}

void RangeMarks::PlaceEnd(RangeView& view, const MeasureWidth& measure) {
    view.endCaption = view.endField + QStringLiteral(" ]");
    view.endWidth = measure(view.endCaption);
    view.endLeft = EndLabelLeft(view.selEnd, view.max, view.trackLeft, view.trackWidth, view.endWidth);
    Separate(view);
    view.endShown = true;
    view.lengthShown = true;
}

void RangeMarks::Separate(RangeView& view) {
    view.endTop = EndLabelTop(view.startLeft, view.startWidth, view.startTop, view.endLeft, view.endWidth);
}

void RangeMarks::MarkStart(RangeView& view, const MeasureWidth& measure) {
    view.selStart = view.position;
    view.startField = SecondsToTimeText(view.position);
    PlaceStart(view, measure);
    view.lengthText = LengthText(view.selStart, view.selEnd, double(view.selEnd) - view.selStart);
}

void RangeMarks::MarkEnd(RangeView& view, const MeasureWidth& measure) {
    view.selEnd = view.position;
    view.endField = SecondsToTimeText(view.position);
    PlaceEnd(view, measure);
    view.lengthText = LengthText(view.selStart, view.selEnd, double(view.selEnd) - view.selStart);
}

void RangeMarks::SetStart(RangeView& view, double seconds, qint64 durationMs, const MeasureWidth& measure) {
    const double start = PullBack(seconds, durationMs);
    view.selStart = WholeSecondMark(start);
    // The field keeps what was typed, in normal form, even when the mark was pulled back.
    view.startField = NormalForm(view.startField);
    PlaceStart(view, measure);
    view.lengthText = LengthText(view.selStart, view.selEnd, double(view.selEnd) - view.selStart);
}

void RangeMarks::SetEnd(RangeView& view, double seconds, qint64 durationMs, const MeasureWidth& measure) {
    const double end = PullBack(seconds, durationMs);
    view.selEnd = WholeSecondMark(end);
    view.endField = NormalForm(view.endField);
    PlaceEnd(view, measure);
    // The length comes from the typed end, not the rounded mark, and the display truncates it.
    view.lengthText = LengthText(view.selStart, view.selEnd, end - view.selStart);
}

void RangeMarks::Clear(RangeView& view) {
    view.selStart = 0;
    view.selEnd = 0;
    view.startField = SecondsToTimeText(0);
    view.endField = SecondsToTimeText(0);
    view.startShown = false;
    view.endShown = false;
    view.lengthShown = false;
}
