#include "split/clipprogress.h"

#include "app/numbers.h"
#include "app/timetext.h"

#include <QString>
#include <algorithm>
#include <cmath>

double ChunkEncoderTime(const QByteArray& chunk) {
    const int zero = chunk.indexOf('\0');
    const QByteArray text = zero >= 0 ? chunk.left(zero) : chunk;
    const int at = text.indexOf("time");
    // Without "time" the part still starts at the fifth character, as if "time" stood at the front.
    const int from = at >= 0 ? at + 5 : 4;
    if (from >= text.size())
        return -1;
    const QByteArray rest = text.mid(from);
    const int blank = rest.indexOf(' ');
    if (blank < 0)
        return -1;
    return EncoderTimeToSeconds(QString::fromLocal8Bit(rest.left(blank)));
}

int BarPosition(double percent) {
    if (std::isnan(percent))
        return 0;
    if (percent <= 0)
        return 0;
    if (percent >= 100)
        return 100;
    return static_cast<int>(RoundHalfEven(percent));
}

long long RemainingSeconds(int elapsedSeconds, int totalPercent) {
    if (totalPercent == 0)
        return 0;
    const double elapsed = elapsedSeconds;
    return RoundHalfEven(elapsed / (totalPercent / 100.0) - elapsed);
}

QString RemainingTimeText(int elapsedSeconds, int totalPercent) {
    if (totalPercent <= 0 || (totalPercent < 100 && elapsedSeconds <= 0))
        return QString();
    return SecondsToTimeText(static_cast<double>(RemainingSeconds(elapsedSeconds, totalPercent)));
}

ClipProgress::ClipProgress(const ClipPlan& plan)
    : plan(plan), clipLength(plan.ClipLength(1)), count(plan.Count()) {}

void ClipProgress::SetClip(int i) {
    clip = i;
    clipLength = plan.ClipLength(i);
}

void ClipProgress::SetSizeClip(int i, double from) {
    clip = i;
    clipFrom = from;
    SetClipEnd(plan.Start() + plan.Length());
}

void ClipProgress::SetClipEnd(double to) {
    clipLength = to - clipFrom;
}

void ClipProgress::EndClip() {
    current = 0;
    bestTime = 0;
}

void ClipProgress::Feed(const QByteArray& chunk) {
    const double time = ChunkEncoderTime(chunk);
    if (time > bestTime && time < 1e9)
        bestTime = time;
    if (clipLength != 0)
        current = BarPosition(bestTime / clipLength * 100);
    if (count > 0)
        total = BarPosition((current + (clip - 1) * 100.0) / count);
    else if (plan.Length() > 0)
        total = BarPosition((clipFrom - plan.Start() + std::min(bestTime, clipLength)) / plan.Length() * 100);
}
