#pragma once

#include <QString>

// One line of a headless run's progress: "Clip 2/3  current 45%  total 48%  elapsed 00:00:05  remaining
// 00:00:05". The remaining time is the window's estimate from the elapsed time and the total.
QString ProgressLineText(int clip, int clipCount, int current, int total, qint64 elapsedSeconds);
