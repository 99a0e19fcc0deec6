#pragma once

#include "split/splitresult.h"

// tessel-split's exit code for a run: 0 when every clip was written or skipped as asked, 1 when a clip
// failed or the run ended before its last clip, 2 for refused inputs, 130 when a signal cancelled it.
int SplitExitCode(const SplitResult& result, bool interrupted);
