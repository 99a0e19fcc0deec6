#include "cli/progressline.h"

#include "app/timetext.h"
#include "split/clipprogress.h"

#include <limits>

QString ProgressLineText(int clip, int clipCount, int current, int total, qint64 elapsedSeconds) {
    const int elapsed = static_cast<int>(qMin<qint64>(elapsedSeconds, std::numeric_limits<int>::max()));
    const long long remaining = RemainingSeconds(elapsed, total);
    return QStringLiteral("Clip %1/%2  current %3%  total %4%  elapsed %5  remaining %6")
        .arg(clip)
        .arg(clipCount)
        .arg(current)
        .arg(total)
        .arg(SecondsToTimeText(static_cast<double>(elapsed)),
             SecondsToTimeText(static_cast<double>(remaining)));
}
