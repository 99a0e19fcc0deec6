#include "cli/progressline.h"

#include "app/timetext.h"
#include "split/clipprogress.h"

#include <limits>

QString ProgressLineText(int clip, int clipCount, int current, int total, qint64 elapsedSeconds) {
    const int elapsed = static_cast<int>(qMin<qint64>(elapsedSeconds, std::numeric_limits<int>::max()));
    const long long remaining = RemainingSeconds(elapsed, total);
    // Clips of a chosen size are counted only as they are written.
    const QString clipText =
        clipCount > 0 ? QStringLiteral("%1/%2").arg(clip).arg(clipCount) : QString::number(clip);
    return QStringLiteral("Clip %1  current %2%  total %3%  elapsed %4  remaining %5")
        .arg(clipText)
        .arg(current)
        .arg(total)
        .arg(SecondsToTimeText(static_cast<double>(elapsed)),
             SecondsToTimeText(static_cast<double>(remaining)));
}
