// Encoder output cut into chunks and fed to the progress bars of a run.
#include "fuzzcheck.h"
#include "split/clipplan.h"
#include "split/clipprogress.h"

#include <QByteArray>
#include <QList>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first bytes choose the plan; the rest is the output, cut into chunks at each 0xff byte.
    if (size < 4)
        return 0;
    const int count = 1 + data[0] % 12;
    const bool oneClip = (data[1] & 1) != 0;
    double clipLength = 0;
    switch (data[2] % 4) {
    case 0:
        clipLength = 0.001 * data[3];
        break;
    case 1:
        clipLength = 1 + data[3];
        break;
    case 2:
        clipLength = 3600.0 * data[3];
        break;
    default:
        clipLength = 0;
    }
    const ClipPlan plan(0, clipLength * (oneClip ? 1 : count), oneClip ? 1 : count, oneClip);
    ClipProgress progress(plan);

    const QByteArray output(reinterpret_cast<const char*>(data + 4), static_cast<qsizetype>(size - 4));
    const QList<QByteArray> chunks = output.split('\xff');
    int clip = 1;
    int lastTotal = 0;
    progress.SetClip(clip);
    for (const QByteArray& chunk : chunks) {
        // An empty piece ends the clip, as the encoder's exit does.
        if (chunk.isEmpty()) {
            progress.EndClip();
            clip = clip % plan.Count() + 1;
            if (clip == 1)
                lastTotal = 0;
            progress.SetClip(clip);
            continue;
        }
        const int lastCurrent = progress.Current();
        const double time = ChunkEncoderTime(chunk.left(4095));
        FUZZ_CHECK(time == -1 || std::isfinite(time));
        progress.Feed(chunk.left(4095));
        FUZZ_CHECK(progress.Current() >= 0 && progress.Current() <= 100);
        FUZZ_CHECK(progress.Total() >= 0 && progress.Total() <= 100);
        // Within a clip the bars only move forward.
        FUZZ_CHECK(progress.Current() >= lastCurrent);
        FUZZ_CHECK(progress.Total() >= lastTotal);
        lastTotal = progress.Total();
    }
    for (int percent : {0, 1, 50, 99, 100})
        FUZZ_CHECK(RemainingSeconds(static_cast<int>(size), percent) >= 0);
    return 0;
}
