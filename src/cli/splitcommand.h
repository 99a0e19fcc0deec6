#pragma once

#include <QStringList>

// The whole of tessel-split after the application object exists: reads the command line (without the
// program name), prepares the run as the window would, and carries it out or prints its command lines.
// Returns the exit code: 0 done, 1 a clip failed or the run stopped, 2 bad input, 130 interrupted.
int RunSplitCommand(const QStringList& arguments);
