#pragma once

#include "split/clipplan.h"
#include "split/inputcheck.h"

#include <QString>
#include <QStringList>

class ProfileOptions;

// One clip of a run as the encoder gets it: the file it writes and its command line, as text for display
// and as the argument list it is started with.
struct ClipJob {
    int clip = 1;
    double start = 0;
    double length = 0;
    QString outputPath;
    // The muxer the clip is written with, from the clip's extension; empty when the extension is not one
    // this program writes, and the clip then cannot be made.
    QString muxer;
    QString commandLine;
    QStringList arguments;
};

// Clip i (from 1) of a checked run; outputFolder ends in the separator. outputExt is the extension of the
// profile loaded last, read afresh for every clip: a profile loaded during a run changes the later clips.
ClipJob MakeClipJob(const SplitInputs& inputs, const ClipPlan& plan, int clip, const QString& outputFolder,
                    const ProfileOptions& profileOptions, const QString& outputExt);
// Clip i of a split by size: it may run from start to the range's end and stops where the plan's size is
// reached; the front-end tells where that is.
ClipJob MakeSizeClipJob(const SplitInputs& inputs, const ClipPlan& plan, int clip, double start,
                        const QString& outputFolder, const ProfileOptions& profileOptions,
                        const QString& outputExt);

// The encoder writes the clip to path (a temporary file beside it) rather than to its output path; the
// command line shown keeps the clip's own name.
void WriteClipTo(ClipJob& job, const QString& path);
