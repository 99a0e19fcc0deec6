#pragma once

#include "split/inputcheck.h"

#include <QString>
#include <QStringList>

struct Preferences;
struct SplitOptions;

// The fields a headless run starts from, filled as the window would have them: what the command line
// says, and the program folder's preferences for the rest.
struct HeadlessInputs {
    SplitInputs inputs;
    bool overwrite = true;
};

// The profile names of the program folder, as the window's list shows them; empty when the folder
// cannot be read.
QStringList ProgramProfileNames();

// The source is taken relative to the current folder, like every path typed in a shell. Without
// --profile the stored choice is used, or the first profile when it is out of range; without --output
// the fixed output folder when "Aptotic" is on, else the source's own folder. The source's duration is
// left at 0 for the caller to probe.
HeadlessInputs ResolveHeadlessInputs(const SplitOptions& options, const Preferences& preferences,
                                     const QStringList& profileNames);
