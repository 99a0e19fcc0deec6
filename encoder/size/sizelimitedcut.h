#pragma once

#include "cut/clipcutter.h"

#include <cstdint>

namespace SizeLimit {

// The runner's "-fs BYTES" for a stream copy: the clip runs from the request's start towards its end
// and stops at the last cut that keeps the file at or under maxBytes. The planned stop is printed as
// a clip-stop record (seconds of the source) before the clip is written; a clip that still comes out too
// large is written again with a smaller plan, and one that cannot be made small enough fails. Throws
// Cut::CutError.
void CutWithin(Cut::CutRequest request, std::int64_t maxBytes, Cut::ProgressPrinter& printer,
               Cut::SourceCache& sources);

} // namespace SizeLimit
